// The player's side of the user's own sounds: kept beside presets, watched while they play.
#include "player/app/player.h"

#include "player/app/dialogs.h"
#include "player/app/mainwindow.h"
#include "player/app/mysoundspage.h"
#include "player/app/notchchart.h"
#include "player/mysounds/companionfile.h"

#include <QDate>
#include <QFileInfo>
#include <QStringList>

#include <chrono>

namespace sonaveil::player {

void Player::wireUserSounds()
{
    // What a preset keeps of the user's sounds lies beside it; the preset itself stays as it is.
    m_presets.saved = [this](const std::string& path) {
        std::string why;
        if (!CompanionFile::write(path, m_userVoices.capture(), &why) && !m_shutDown)
            m_setup.dialogs->notice(m_main.get(), tr(kMessageTitle),
                                    tr("Your own sounds in this mix could not be kept beside \"%1\": %2")
                                        .arg(QString::fromStdString(path), QString::fromStdString(why)));
    };
    m_presets.loaded = [this](const std::string& path) {
        const auto entries = CompanionFile::read(path);
        const auto missing = m_userVoices.apply(entries.value_or(std::vector<CompanionFile::Entry>{}));
        if (!entries)
            m_setup.dialogs->notice(m_main.get(), tr(kMessageTitle),
                                    tr("The file that keeps your own sounds beside \"%1\" cannot be read; the "
                                       "rest of the preset was loaded.")
                                        .arg(QString::fromStdString(path)));
        if (!missing.empty()) {
            QStringList names;
            for (const std::string& name : missing)
                names << "\"" + QString::fromStdString(name) + "\"";
            const QString text = names.size() == 1
                                     ? tr("This preset plays your own sound %1, which is no longer there. Everything "
                                          "else of the preset was loaded.")
                                     : tr("This preset plays your own sounds %1, which are no longer there. "
                                          "Everything else of the preset was loaded.");
            m_setup.dialogs->notice(m_main.get(), tr(kMessageTitle), text.arg(names.join(", ")));
        }
    };
    m_userWatch.setInterval(kWatchMs);
    connect(&m_userWatch, &QTimer::timeout, this, [this] { watchUserSounds(kWatchMs / 1000); });
}

bool Player::audible() const
{
    if (m_model.slider(kMasterSlider) <= 0)
        return false;
    if (m_userVoices.anyOn())
        return true;
    for (int n = 1; n <= kSoundCount; ++n)
        if (m_model.entry(n).on())
            return true;
    return false;
}

void Player::watchUserSounds(int seconds)
{
    for (const std::string& name : m_userVoices.takeFailures())
        m_setup.dialogs->notice(m_main.get(), tr(kMessageTitle),
                                tr("Your sound \"%1\" has gone silent: its file or folder can no longer be read "
                                   "(moved, deleted or damaged).")
                                    .arg(QString::fromStdString(name)));
    const QString track = playingTrack();
    if (track != m_lastTrack) {
        m_lastTrack = track;
        emit trackChanged();
    }
    // That sound therapy is dosed in hours a day: the time the notch shapes something audible.
    if (m_bandStop.on() && audible()) {
        const QDate d = QDate::currentDate();
        const std::chrono::year_month_day today{std::chrono::year{d.year()}, std::chrono::month{unsigned(d.month())},
                                                std::chrono::day{unsigned(d.day())}};
        const int before = m_notchMinutes.minutes(today);
        m_notchMinutes.add(today, seconds);
        if (m_notchChart && m_notchMinutes.minutes(today) != before)
            m_notchChart->setMinutes(m_notchMinutes.lastDays(today));
        m_notchSecondsUnsaved += seconds;
        if (m_notchSecondsUnsaved >= 300) {
            m_notchSecondsUnsaved = 0;
            m_notchMinutes.save();
        }
    }
}

QString Player::playingTrack() const
{
    for (int i = 0; i < m_userSounds.count(); ++i)
        if (m_userSounds.at(i).on && m_userSounds.at(i).kind == UserSound::Kind::Folder)
            if (const std::string track = m_userVoices.playingTrack(i); !track.empty())
                return QFileInfo(QString::fromStdString(track)).completeBaseName();
    return {};
}

QString Player::addSound(const QString& path)
{
    prepare();
    const QString problem = m_mySoundsPage->add(path);
    // The window may have closed while the copy ran.
    if (problem.isEmpty() && m_main && m_mySoundsPage)
        m_main->showPage(MainWindow::kMySoundsPage);
    return problem;
}

} // namespace sonaveil::player
