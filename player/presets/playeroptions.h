#pragma once

#include "platform/autostart.h"
#include "player/core/endlesssounds.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sonaveil::player {

// The three values of "startup.tmp": the launch check box, "Fully Displayed" and "System Tray".
struct StartupFile {
    std::int16_t autoLaunch = 0;
    bool fullyDisplayed = true;
    bool systemTray = false;

    // One line: the check box value, then the two choices as #TRUE# / #FALSE#, CR LF.
    std::string toText() const;
    static std::optional<StartupFile> parse(std::string_view text);
    bool operator==(const StartupFile&) const = default;
};

// The player's settings and their stores: "startup.tmp", "scard2.tmp", "settings.ini" and the
// run-at-log-on entry. The options window shows and changes them; the start-up and shutdown
// sequences read and write the files.
class PlayerOptions {
public:
    enum Display { FullyDisplayed = 0, Taskbar = 1, SystemTray = 2 };

    static constexpr const char* kStartupName = "startup.tmp";
    static constexpr const char* kSoundCardName = "scard2.tmp";
    static constexpr const char* kSettingsName = "settings.ini";
    static constexpr const char* kSection = "Startup";
    static constexpr const char* kEntryName = "Sonaveil";

    // `endless`, when given, follows the option "Endless sounds (never repeat)".
    PlayerOptions(std::filesystem::path programFolder, platform::Autostart& autostart,
                  QString programPath, EndlessSounds* endless = nullptr);

    // Start-up presentation: choosing an option writes its index to "settings.ini" (Display).
    int display() const { return m_display; }
    void chooseDisplay(int index);

    // Launch at log-on: a change creates or removes the autostart entry and writes AutoLaunch.
    // An entry that cannot be made leaves the option off, and says why.
    enum class LaunchChange { Done, ProgramNotNameable, NotWritten };
    bool launchAtLogOn() const { return m_launch; }
    LaunchChange setLaunchAtLogOn(bool on);

    // Resume the last mix at start-up: key ResumeLastMix ("1" or "0"), read at start-up.
    bool resumeLastMix() const { return m_resume; }
    void setResumeLastMix(bool on);

    // Endless sounds: key EndlessSounds ("1" or "0"; on when the key is missing), read at
    // start-up. A change applies to the sounds started from then on.
    bool endlessSounds() const { return m_endlessOn; }
    void setEndlessSounds(bool on);

    // Start-up: the keys of "settings.ini" the player reads (ResumeLastMix, EndlessSounds).
    void readSettings();

    // The selected sound-card number; the engine uses it from the next start on.
    std::int16_t driver() const { return m_driver; }
    void setDriver(int driver) { m_driver = std::int16_t(driver); }

    // Start-up: "scard2.tmp" into the driver number when the file holds one.
    bool readSoundCard();
    // Shutdown: the driver number to "scard2.tmp".
    bool writeSoundCard() const;
    // Start-up: the choices of "startup.tmp", or nothing when it is missing or malformed.
    std::optional<StartupFile> readStartupFile() const;
    // Sets the window's choices as stored: "Fully Displayed", then "System Tray" (each chosen one
    // runs its choice action), then the launch check box (its action runs when it changes).
    void applyStartupFile(const StartupFile& stored);
    StartupFile startupFile() const;
    // Shutdown of the options window: "startup.tmp".
    bool writeStartupFile() const;

    // Driver numbers in the order the list shows them: the last driver first.
    static std::vector<int> listOrder(int driverCount);

    std::filesystem::path file(const char* name) const { return m_folder / name; }

private:
    void writeSetting(const char* key, const std::string& value) const;

    std::filesystem::path m_folder;
    platform::Autostart& m_autostart;
    QString m_programPath;
    int m_display = FullyDisplayed;
    bool m_launch = false;
    bool m_resume = false;
    EndlessSounds* m_endless = nullptr;
    bool m_endlessOn = true;
    std::int16_t m_driver = 0;
};

} // namespace sonaveil::player
