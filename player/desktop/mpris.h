#pragma once

#include "player/desktop/mediacontrol.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace sonaveil::player {

// The player on the session bus as a media player (MPRIS 2), so that media keys and the
// desktop's sound menu reach it. All it does goes through a MediaControl.
class Mpris : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.mpris.MediaPlayer2.sonaveil";
    static constexpr const char* kPath = "/org/mpris/MediaPlayer2";

    Mpris(MediaControl& control, QString desktopEntry, QObject* parent = nullptr);
    ~Mpris() override;

    // Puts the player on `bus` under kService. False (and the player runs on without) when
    // there is no bus or the name is taken.
    bool registerOn(QDBusConnection bus);
    bool registered() const { return m_registered; }

    // Compares what the bus was last told with the player's state and sends PropertiesChanged
    // for what differs. The player calls it after every change of its mix.
    void refresh();

    MediaControl& control() { return m_control; }
    const QString& desktopEntry() const { return m_desktopEntry; }
    static QString statusName(MediaControl::Status status);
    QVariantMap metadata() const;
    // The title the desktop shows: the mix that plays, or the program's name.
    QString shownTitle() const;

private:
    MediaControl& m_control;
    QString m_desktopEntry;
    QDBusConnection m_bus{QString()};
    bool m_registered = false;
    QString m_sentStatus;
    QString m_sentTitle;
    bool m_sentCanPlay = true;
    double m_sentVolume = -1;
};

// org.mpris.MediaPlayer2
class MprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    explicit MprisRoot(Mpris* owner);
    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return QStringLiteral("Sonaveil"); }
    QString desktopEntry() const { return m_owner->desktopEntry(); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }

public slots:
    void Raise();
    void Quit();

private:
    Mpris* m_owner;
};

// org.mpris.MediaPlayer2.Player
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    explicit MprisPlayer(Mpris* owner);
    QString playbackStatus() const;
    double rate() const { return 1.0; }
    void setRate(double) {}
    QVariantMap metadata() const { return m_owner->metadata(); }
    double volume() const;
    void setVolume(double volume);
    qlonglong position() const { return 0; }
    bool yes() const { return true; }
    bool canPlay() const { return m_owner->control().canPlay(); }
    bool no() const { return false; }

public slots:
    void Next() {}
    void Previous() {}
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong position);

private:
    Mpris* m_owner;
};

} // namespace sonaveil::player
