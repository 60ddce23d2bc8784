#include "player/desktop/mpris.h"

#include <QDBusMessage>
#include <QDBusConnectionInterface>

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

namespace {
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
}

Mpris::Mpris(MediaControl& control, QString desktopEntry, QObject* parent)
    : QObject(parent)
    , m_control(control)
    , m_desktopEntry(std::move(desktopEntry))
{
    new MprisRoot(this);
    new MprisPlayer(this);
}

Mpris::~Mpris()
{
    if (m_registered) {
        m_bus.unregisterObject(kPath);
        m_bus.unregisterService(kService);
    }
}

bool Mpris::registerOn(QDBusConnection bus)
{
    if (m_registered || !bus.isConnected())
        return false;
    if (!bus.registerObject(kPath, this, QDBusConnection::ExportAdaptors))
        return false;
    if (!bus.registerService(kService)) {
        bus.unregisterObject(kPath);
        return false;
    }
    m_bus = bus;
    m_registered = true;
    m_sentStatus = statusName(m_control.status());
    m_sentTitle = shownTitle();
    m_sentCanPlay = m_control.canPlay();
    m_sentVolume = m_control.volume();
    return true;
}

QString Mpris::statusName(MediaControl::Status status)
{
    switch (status) {
    case MediaControl::Status::Playing:
        return QStringLiteral("Playing");
    case MediaControl::Status::Paused:
        return QStringLiteral("Paused");
    case MediaControl::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString Mpris::shownTitle() const
{
    const QString title = m_control.title();
    return title.isEmpty() ? QStringLiteral("Sonaveil") : title;
}

QVariantMap Mpris::metadata() const
{
    QVariantMap map;
    map.insert("mpris:trackid", QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/sonaveil/mix")));
    map.insert("xesam:title", shownTitle());
    return map;
}

void Mpris::refresh()
{
    if (!m_registered)
        return;
    QVariantMap changed;
    const QString status = statusName(m_control.status());
    if (status != m_sentStatus) {
        m_sentStatus = status;
        changed.insert("PlaybackStatus", status);
    }
    const QString title = shownTitle();
    if (title != m_sentTitle) {
        m_sentTitle = title;
        changed.insert("Metadata", metadata());
    }
    const bool canPlay = m_control.canPlay();
    if (canPlay != m_sentCanPlay) {
        m_sentCanPlay = canPlay;
        changed.insert("CanPlay", canPlay);
    }
    const double volume = m_control.volume();
    if (std::fabs(volume - m_sentVolume) > 1e-9) {
        m_sentVolume = volume;
        changed.insert("Volume", volume);
    }
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
    signal << QString(kPlayerInterface) << changed << QStringList();
    m_bus.send(signal);
}

MprisRoot::MprisRoot(Mpris* owner)
    : QDBusAbstractAdaptor(owner)
    , m_owner(owner)
{
}

void MprisRoot::Raise()
{
    m_owner->control().raise();
}

void MprisRoot::Quit()
{
    m_owner->control().quit();
}

MprisPlayer::MprisPlayer(Mpris* owner)
    : QDBusAbstractAdaptor(owner)
    , m_owner(owner)
{
}

QString MprisPlayer::playbackStatus() const
{
    return Mpris::statusName(m_owner->control().status());
}

double MprisPlayer::volume() const
{
    return m_owner->control().volume();
}

void MprisPlayer::setVolume(double volume)
{
    if (!std::isfinite(volume))
        return;
    m_owner->control().setVolume(std::clamp(volume, 0.0, 1.0));
    m_owner->refresh();
}

void MprisPlayer::Pause()
{
    m_owner->control().pause();
    m_owner->refresh();
}

void MprisPlayer::PlayPause()
{
    if (m_owner->control().status() == MediaControl::Status::Playing)
        m_owner->control().pause();
    else
        m_owner->control().play();
    m_owner->refresh();
}

void MprisPlayer::Stop()
{
    m_owner->control().stop();
    m_owner->refresh();
}

void MprisPlayer::Play()
{
    m_owner->control().play();
    m_owner->refresh();
}

} // namespace sonaveil::player
