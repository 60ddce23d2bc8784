#include "player/app/desktopbridge.h"

#include "common/rounding.h"
#include "player/app/player.h"

#include <QTimer>

#include <algorithm>

#include <filesystem>

namespace sonaveil::player {

DesktopBridge::DesktopBridge(Player& player, QObject* parent)
    : QObject(parent)
    , m_player(player)
    , m_mpris(*this, QStringLiteral("sonaveil"))
{
    connect(&m_player, &Player::startUpFinished, this, &DesktopBridge::runPending);
    connect(&m_player, &Player::mixChanged, this, [this] { m_mpris.refresh(); });
    connect(&m_player, &Player::trackChanged, this, [this] { m_mpris.refresh(); });
}

DesktopBridge::~DesktopBridge() = default;

bool DesktopBridge::publishOn(QDBusConnection bus)
{
    return m_mpris.registerOn(bus);
}

void DesktopBridge::receive(const std::vector<std::string>& arguments, Answer answer)
{
    std::string error;
    const auto line = CommandLine::parse(arguments, error);
    if (!line) {
        answer({2, error});
        return;
    }
    execute(*line, std::move(answer));
}

void DesktopBridge::execute(const CommandLine& line, Answer done)
{
    if (m_player.shutDown()) {
        done({2, tr("the player is closing").toStdString()});
        return;
    }
    if (!m_player.started()) {
        m_pending.emplace_back(line, std::move(done));
        return;
    }
    done(run(line));
}

void DesktopBridge::runPending()
{
    auto pending = std::move(m_pending);
    m_pending.clear();
    for (auto& [line, done] : pending)
        execute(line, std::move(done));
}

InstanceReply DesktopBridge::run(const CommandLine& line)
{
    if (line.bringsWindowForward())
        m_player.showMainWindow();
    for (const CommandLine::Step& step : line.steps) {
        switch (step.action) {
        case CommandLine::Action::Load: {
            std::string why;
            if (!m_player.presets().load(step.file, &why))
                return {2, tr("cannot load \"%1\": %2")
                              .arg(QString::fromStdString(step.file), QString::fromStdString(why))
                              .toStdString()};
            break;
        }
        case CommandLine::Action::Previous: {
            const std::string previous = m_player.presets().lastMixPath();
            std::error_code ec;
            if (!std::filesystem::exists(previous, ec))
                return {2, tr("there is no previous mix (%1)").arg(QString::fromStdString(previous)).toStdString()};
            std::string why;
            if (!m_player.presets().load(previous, &why))
                return {2, tr("cannot load the previous mix: %1").arg(QString::fromStdString(why)).toStdString()};
            break;
        }
        case CommandLine::Action::AddSound: {
            const QString problem = m_player.addSound(QString::fromStdString(step.file));
            if (!problem.isEmpty())
                return {2, problem.toStdString()};
            break;
        }
        case CommandLine::Action::StopAll:
            stop();
            break;
        case CommandLine::Action::Mute:
            pause();
            break;
        case CommandLine::Action::Unmute:
            if (m_player.mix().muteMark())
                m_player.toggleMute();
            break;
        case CommandLine::Action::Quit:
            quit();
            return {0, {}};
        case CommandLine::Action::Tinnitus:
            m_player.showTinnitus();
            break;
        }
    }
    return {0, {}};
}

MediaControl::Status DesktopBridge::status() const
{
    bool anyOn = m_player.userVoices().anyOn();
    for (int n = 1; n <= kSoundCount && !anyOn; ++n)
        anyOn = m_player.model().entry(n).on();
    if (!anyOn)
        return Status::Stopped;
    return m_player.mix().muteMark() ? Status::Paused : Status::Playing;
}

QString DesktopBridge::title() const
{
    // A folder of the user's music: the track that plays.
    if (const QString track = m_player.playingTrack(); !track.isEmpty())
        return track;
    if (!m_player.presets().anyLoaded())
        return {};
    return QString::fromStdString(m_player.presets().currentName());
}

bool DesktopBridge::canPlay() const
{
    if (status() != Status::Stopped || m_stoppedMix)
        return true;
    std::error_code ec;
    return std::filesystem::exists(m_player.presets().lastMixPath(), ec);
}

double DesktopBridge::volume() const
{
    return m_player.model().slider(kMasterSlider) / 100.0;
}

void DesktopBridge::setVolume(double volume)
{
    m_player.model().setSlider(kMasterSlider, int(roundHalfEven(std::clamp(volume, 0.0, 1.0) * 100.0)));
}

void DesktopBridge::raise()
{
    if (m_player.started())
        m_player.showMainWindow();
}

void DesktopBridge::quit()
{
    // After the answer has gone out.
    QTimer::singleShot(0, &m_player, &Player::close);
}

void DesktopBridge::play()
{
    if (status() == Status::Stopped && m_stoppedMix) {
        m_stoppedMix->applyTo(m_player.model());
        m_player.userVoices().apply(m_stoppedUserSounds);
    } else if (status() == Status::Stopped) {
        const std::string previous = m_player.presets().lastMixPath();
        std::error_code ec;
        if (std::filesystem::exists(previous, ec))
            m_player.presets().load(previous);
    }
    if (m_player.mix().muteMark())
        m_player.toggleMute();
}

void DesktopBridge::pause()
{
    if (!m_player.mix().muteMark() && m_player.model().slider(kMasterSlider) > 0)
        m_player.toggleMute();
}

void DesktopBridge::stop()
{
    if (status() != Status::Stopped) {
        m_stoppedMix = PresetRecord::capture(m_player.model());
        m_stoppedUserSounds = m_player.userVoices().capture();
    }
    m_player.mix().stopAll();
    m_player.userVoices().stopAll();
}

} // namespace sonaveil::player
