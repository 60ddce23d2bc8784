#pragma once

#include "player/desktop/commandline.h"
#include "player/desktop/mediacontrol.h"
#include "player/desktop/mpris.h"
#include "player/desktop/singleinstance.h"
#include "player/mysounds/companionfile.h"
#include "player/presets/presetrecord.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sonaveil::player {

class Player;

// The player's doors to the desktop: the command line (its own and those of later starts) and
// the media-player interface on the session bus. Commands that arrive while the player is
// still starting wait for the start-up to finish.
class DesktopBridge : public QObject, public MediaControl {
    Q_OBJECT
public:
    using Answer = std::function<void(const InstanceReply&)>;

    explicit DesktopBridge(Player& player, QObject* parent = nullptr);
    ~DesktopBridge() override;

    // Runs the steps of `line` in order; the first that fails ends the run and its reason goes
    // to `done` with status 2. A plain start (no steps, no --tray) brings the window forward.
    void execute(const CommandLine& line, Answer done);
    // A later start's arguments.
    void receive(const std::vector<std::string>& arguments, Answer answer);
    // Offers the player on `bus` (MPRIS); false when there is no bus.
    bool publishOn(QDBusConnection bus);
    Mpris& mpris() { return m_mpris; }

    Status status() const override;
    QString title() const override;
    bool canPlay() const override;
    double volume() const override;
    void setVolume(double volume) override;
    void raise() override;
    void quit() override;
    void play() override;
    void pause() override;
    void stop() override;

private:
    InstanceReply run(const CommandLine& line);
    void runPending();

    Player& m_player;
    Mpris m_mpris;
    std::vector<std::pair<CommandLine, Answer>> m_pending;
    // The mix stop() switched off, for play() to bring back.
    std::optional<PresetRecord> m_stoppedMix;
    // The user's own sounds that were on then, with their settings.
    std::vector<CompanionFile::Entry> m_stoppedUserSounds;
};

} // namespace sonaveil::player
