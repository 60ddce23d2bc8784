#include "player/presets/playeroptions.h"

#include "common/atomicfile.h"
#include "common/inifile.h"
#include "common/textrecord.h"

namespace sonaveil::player {

std::string StartupFile::toText() const
{
    return TextRecordWriter().integer(autoLaunch).boolean(fullyDisplayed).boolean(systemTray).endLine().bytes();
}

std::optional<StartupFile> StartupFile::parse(std::string_view text)
{
    TextRecordReader reader(text);
    const auto fields = reader.take(3);
    if (!fields)
        return std::nullopt;
    const auto launch = fieldToInt16((*fields)[0]);
    const auto fully = fieldToBoolean((*fields)[1]);
    const auto tray = fieldToBoolean((*fields)[2]);
    if (!launch || !fully || !tray)
        return std::nullopt;
    return StartupFile{*launch, *fully, *tray};
}

PlayerOptions::PlayerOptions(std::filesystem::path programFolder, platform::Autostart& autostart,
                             QString programPath, EndlessSounds* endless)
    : m_folder(std::move(programFolder))
    , m_autostart(autostart)
    , m_programPath(std::move(programPath))
    , m_endless(endless)
{
    if (m_endless)
        m_endless->setEnabled(m_endlessOn);
}

void PlayerOptions::writeSetting(const char* key, const std::string& value) const
{
    // Failures are ignored: the setting stays in force for this run.
    IniFile::writeString(file(kSettingsName), kSection, key, value);
}

void PlayerOptions::chooseDisplay(int index)
{
    if (index < FullyDisplayed || index > SystemTray)
        return;
    m_display = index;
    writeSetting("Display", std::to_string(index));
}

PlayerOptions::LaunchChange PlayerOptions::setLaunchAtLogOn(bool on)
{
    if (m_launch == on)
        return LaunchChange::Done;
    if (on && !platform::autostartCanName(m_programPath))
        return LaunchChange::ProgramNotNameable;
    if (on && !m_autostart.enable(kEntryName, m_programPath))
        return LaunchChange::NotWritten;
    if (!on)
        m_autostart.disable(kEntryName);
    m_launch = on;
    writeSetting("AutoLaunch", on ? "1" : "0");
    return LaunchChange::Done;
}

void PlayerOptions::setResumeLastMix(bool on)
{
    if (m_resume == on)
        return;
    m_resume = on;
    writeSetting("ResumeLastMix", on ? "1" : "0");
}

void PlayerOptions::setEndlessSounds(bool on)
{
    if (m_endless)
        m_endless->setEnabled(on);
    if (m_endlessOn == on)
        return;
    m_endlessOn = on;
    writeSetting("EndlessSounds", on ? "1" : "0");
}

void PlayerOptions::readSettings()
{
    const auto resume = IniFile::readString(file(kSettingsName), kSection, "ResumeLastMix");
    m_resume = resume && *resume == "1";
    const auto endless = IniFile::readString(file(kSettingsName), kSection, "EndlessSounds");
    m_endlessOn = !(endless && *endless == "0");
    if (m_endless)
        m_endless->setEnabled(m_endlessOn);
}

bool PlayerOptions::readSoundCard()
{
    const auto content = readWholeFile(file(kSoundCardName));
    if (!content)
        return false;
    TextRecordReader reader(*content);
    const auto field = reader.next();
    if (!field)
        return false;
    const auto number = fieldToInt16(*field);
    if (!number)
        return false;
    m_driver = *number;
    return true;
}

bool PlayerOptions::writeSoundCard() const
{
    return writeFileAtomically(file(kSoundCardName), TextRecordWriter().integer(m_driver).endLine().bytes());
}

std::optional<StartupFile> PlayerOptions::readStartupFile() const
{
    const auto content = readWholeFile(file(kStartupName));
    if (!content)
        return std::nullopt;
    return StartupFile::parse(*content);
}

void PlayerOptions::applyStartupFile(const StartupFile& stored)
{
    if (stored.fullyDisplayed)
        chooseDisplay(FullyDisplayed);
    if (stored.systemTray)
        chooseDisplay(SystemTray);
    if (!stored.fullyDisplayed && !stored.systemTray)
        m_display = Taskbar; // not stored: the case where neither stored choice is set
    setLaunchAtLogOn(stored.autoLaunch == 1);
}

StartupFile PlayerOptions::startupFile() const
{
    return StartupFile{std::int16_t(m_launch ? 1 : 0), m_display == FullyDisplayed, m_display == SystemTray};
}

bool PlayerOptions::writeStartupFile() const
{
    return writeFileAtomically(file(kStartupName), startupFile().toText());
}

std::vector<int> PlayerOptions::listOrder(int driverCount)
{
    std::vector<int> order;
    for (int d = driverCount - 1; d >= 0; --d)
        order.push_back(d);
    return order;
}

} // namespace sonaveil::player
