#pragma once

#include "player/tinnitus/sleepfade.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace sonaveil::player {

// The wall clock the night runs on. The program uses the system's local time; tests pass their
// own. Moments are milliseconds since the epoch.
struct NightClock {
    std::function<std::int64_t()> now;
    // The local time of day at a moment.
    std::function<ClockTime(std::int64_t ms)> timeOfDay;
    // The moment at local time `time` on the local date of `ms` moved by `days`.
    std::function<std::int64_t(std::int64_t ms, const ClockTime& time, int days)> dayAt;

    static NightClock system();
};

// The night's schedule: "Sleep in 30 / 60 / 90 min" and "Cancel sleep" from the tray, and the
// alarm window's "Fade out over" before an alarm time whose close or shut-down option ends the
// night. The two fades combine (the lower gain wins) into one gain for the masking sounds; at
// the sleep's moment every masking sound stops, and the player, its windows and the alarm stay.
// The owner calls tick() every kTickMs while ticking() holds, and followAlarm() once a second.
class Night {
public:
    static constexpr std::array<int, 3> kSleepChoices = {30, 60, 90};
    static constexpr int kTickMs = 250;
    // Past the alarm time the sounds stay silent this long while its option acts (a power-off
    // comes 30 s later); should nothing happen, they come back.
    static constexpr std::int64_t kAlarmHoldMs = 120'000;

    struct Hooks {
        // The gain the masking sounds get, 0 … 1.
        std::function<void(double gain)> fade;
        // The sleep's moment has come: every masking sound stops.
        std::function<void()> silence;
        // The tray's sleep entries or line 1's mark changed.
        std::function<void()> changed;
        // tick() is wanted (true) or no longer (false).
        std::function<void(bool)> tickingChanged;
    };

    explicit Night(NightClock clock = NightClock::system());
    Hooks& hooks() { return m_hooks; }

    // "Sleep in N min": replaces a sleep already set.
    void sleepIn(int minutes);
    // "Cancel sleep": the sounds come back over two seconds.
    void cancelSleep();

    // The "Fade out over" choice in minutes; 0 for none.
    int alarmFadeMinutes() const { return m_alarmFadeMinutes; }
    void setAlarmFadeMinutes(int minutes);
    // The alarm as it stands: whether its close or shut-down option is armed, and its time
    // ("hh:mm:ss"). Sets or clears the fade that ends at the next such time.
    void followAlarm(std::int64_t nowMs, bool endsTheNight, const std::string& alarmTime);
    // The moment the alarm's fade ends, while one is set.
    std::optional<std::int64_t> alarmFadeEnd() const { return m_alarmFadeEnd; }

    // The fades at a moment; the sleep's moment silences every sound.
    void tick(std::int64_t nowMs);
    bool ticking() const { return m_ticking; }
    // The gain last handed to the masking sounds.
    double gain() const { return m_gain; }
    const SleepTimer& sleep() const { return m_sleep; }

    // The tray: the sleep entry that is ticked (its minutes, 0 for none), and "Cancel sleep",
    // enabled with the time while a sleep is set.
    int tickedSleep() const { return m_sleep.active() ? m_sleepChoice : 0; }
    bool cancelEnabled() const { return m_sleep.active(); }
    std::string cancelText() const;
    // Line 1's mark after the clock: " S23:45" while a sleep is set, else nothing.
    std::string clockMark() const;

    // "07:30:00"; nothing for a text that is not a time of day.
    static std::optional<ClockTime> parseTime(const std::string& text);

private:
    void update(std::int64_t nowMs);
    void apply(double gain);
    void notify();
    std::string sleepTime() const;

    NightClock m_clock;
    Hooks m_hooks;
    SleepTimer m_sleep;
    int m_sleepChoice = 0;
    int m_alarmFadeMinutes = 0;
    std::optional<std::int64_t> m_alarmFadeEnd;
    bool m_alarmEndsTheNight = false;
    std::string m_alarmTime;
    double m_gain = 1.0;
    bool m_ticking = false;
};

} // namespace sonaveil::player
