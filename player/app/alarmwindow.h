#pragma once

#include "controls/forward.h"
#include "player/alarm/alarmclock.h"
#include "player/app/toolwindow.h"
#include "player/tinnitus/night.h"
#include "player/tinnitus/tinnitusstore.h"

#include <QTimer>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;

namespace sonaveil::player {

class Dialogs;

// The alarm window ("Alarm Clock"): the alarm time TimeControl1, the duration list scombobox1,
// the repeat, fade-in and sleep boxes, the volume slider hscroll2, the alarm file wavname and
// the buttons, and with the sleep options "Fade out over", the fade of the masking sounds before
// the alarm time. It shows an AlarmClock, forwards every action to it and runs its four timers;
// the fade choice goes to the Night and is kept in "tinnitus.ini". "Close" only hides it.
class AlarmWindow : public ToolWindow {
    Q_OBJECT
public:
    AlarmWindow(AlarmClock& alarm, Night& night, TinnitusStore& store, Dialogs& dialogs, QWidget* parent = nullptr);
    ~AlarmWindow() override;

    // Shows the model's state.
    void refresh();
    // Starts and stops a timer as the model asks.
    void runTimer(AlarmClock::Timer timer, bool running);
    QTimer& timer(AlarmClock::Timer timer) { return m_timers[std::size_t(timer)]; }
    // Whether the clock line can be seen: while it cannot (the main window in the tray), the
    // clock does not tick; seen again, it is written at once and ticks on.
    void setClockSeen(bool seen);
    bool clockSeen() const { return m_clockSeen; }

signals:
    // The alarm's arming, time or sleep options changed.
    void armingChanged();

public:

    controls::TimeControl* timeControl() const { return m_time; }
    controls::SComboBox* durationList() const { return m_duration; }
    QCheckBox* repeatBox() const { return m_repeat; }
    QCheckBox* fadeBox() const { return m_fade; }
    QCheckBox* closeBox() const { return m_close; }
    QCheckBox* shutDownBox() const { return m_shutDown; }
    controls::UcSlider* volumeSlider() const { return m_volume; }
    QLabel* fileLabel() const { return m_file; }
    QComboBox* fadeOutList() const { return m_fadeOut; }

    // "Choose Alarm".
    void chooseAlarm();

private:
    void startOnTheSecond(AlarmClock::Timer timer);
    void scheduleCheck();
    void chooseFadeOut(int index);

    AlarmClock& m_alarm;
    Night& m_night;
    TinnitusStore& m_store;
    Dialogs& m_dialogs;
    std::array<QTimer, AlarmClock::kTimerCount> m_timers;
    controls::TimeControl* m_time = nullptr;
    controls::SComboBox* m_duration = nullptr;
    QCheckBox* m_repeat = nullptr;
    QCheckBox* m_fade = nullptr;
    QCheckBox* m_close = nullptr;
    QCheckBox* m_shutDown = nullptr;
    controls::UcSlider* m_volume = nullptr;
    QLabel* m_volumeValue = nullptr;
    QLabel* m_file = nullptr;
    QComboBox* m_fadeOut = nullptr;
    bool m_refreshing = false;
    bool m_clockSeen = true;
};

} // namespace sonaveil::player
