#pragma once

#include "player/app/tinnituswindow.h"
#include "player/diary/diaryreminder.h"
#include "player/diary/diarystore.h"
#include "player/diary/nightlog.h"
#include "player/diary/profilesession.h"
#include "player/equaliser/eqpreset.h"
#include "player/presets/presetrecord.h"
#include "player/tinnitus/testsound.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace sonaveil::player {

class Dialogs;
class Player;

// The tinnitus profile inside the player: the diary's file, the nights kept as the mix plays,
// the measures' session (the masking sounds and the alarm held silent while one runs), the
// "My Tinnitus" window, the diary's reminder notice, and trying a masking sound.
class TinnitusProfile : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kMaskingSoundName = "My masking sound";

    TinnitusProfile(Player& player, const QString& userFolder, Dialogs& dialogs);
    ~TinnitusProfile() override;

    // Opens the diary (once), tidies what a crash left, and offers the diary when asked to.
    void startUp();
    // The night ends with the player.
    void shutdown();

    DiaryStore& diary() { return m_diary; }
    ProfileSession& session() { return m_session; }
    NightLog& nightLog() { return m_nightLog; }
    TinnitusWindow* window();
    void showWindow(TinnitusWindow::Tab tab = TinnitusWindow::MeasureTab);
    // A measure runs: the masking sounds stay silent whatever the night's fade says.
    bool testing() const { return m_testing; }
    // What plays now, as a night would keep it; nothing when silent.
    std::optional<NightLog::Playing> playing() const;
    // Follows the mix into the night's record (after every change of the mix, and each minute).
    void followMix();

    // The wall clock the diary's reminder goes by; the system's when unset (tests set their own).
    std::function<QDateTime()> clock;

private:
    QDateTime now() const;
    void setTesting(bool testing);
    void offerDiary();
    void armReminder();
    void tryMaskingSound(const MaskingSound& sound);
    void keepMaskingSound();
    void discardMaskingSound();

    Player& m_player;
    Dialogs& m_dialogs;
    DiaryStore m_diary;
    bool m_opened = false;
    EngineTestSoundOutput m_output;
    ProfileSession m_session;
    NightLog m_nightLog;
    DiaryReminder m_reminder;
    std::unique_ptr<TinnitusWindow> m_window;
    bool m_testing = false;
    QTimer m_minute;
    QTimer m_reminderTimer;

    // What the masking sound replaced, while it is tried.
    struct Before {
        PresetRecord mix;
        EqualiserBands equaliser;
        bool equaliserOn = false;
        bool notchOn = false;
    };
    std::optional<Before> m_before;
};

} // namespace sonaveil::player
