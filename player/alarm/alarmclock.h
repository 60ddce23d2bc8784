#pragma once

#include "player/core/audiobinding.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace sonaveil::player {

// A local time of day.
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    // "hh:mm:ss", 24-hour, leading zeros.
    std::string text() const;
};

// What "alarm.tmp" holds: one line of eight fields.
struct AlarmSettings {
    std::string time = "00:00:00";
    int durationIndex = -1;
    bool repeat = false;
    bool fadeIn = false;
    int volume = 100;
    bool closeProgram = false;
    bool shutDown = false;
    std::string file;

    std::string toFileText() const;
    // Takes the fields of a stored file in order over these values; a field that cannot be read
    // ends the reading and leaves it and the ones after it as they were. Returns the number taken.
    int readFileText(std::string_view text);
};

// The alarm clock and sleep timer without a window: the armed flag, the settings the window
// shows, the four timers (the owner runs them at the given intervals and calls tick()), the
// alarm sound, the sleep options and lines 1 and 2 of the status display.
class AlarmClock {
public:
    enum Timer { AlarmCheck = 0, Clock = 1, Fade = 2, Countdown = 3 };
    static constexpr int kTimerCount = 4;
    static constexpr std::array<int, kTimerCount> kIntervalMs = {1000, 1000, 50, 1000};
    static constexpr std::array<const char*, 6> kDurations = {"10", "30", "60", "120", "300", "600"};
    static constexpr const char* kDesignDuration = "60";
    static constexpr int kDesignVolume = 100;
    static constexpr int kPowerOffDelaySeconds = 30;
    static constexpr const char* kSettingsName = "alarm.tmp";
    static constexpr const char* kAlarmsFolder = "config/alarms";
    static constexpr const char* kDefaultAlarm = "config/alarms/default.wav";
    static constexpr const char* kFilter = "All Supported Samples (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma";

    // What the alarm reaches outside itself.
    struct Hooks {
        // The local time of day now.
        std::function<TimeOfDay()> now;
        // A line of the main window's status display.
        std::function<void(int line, const std::string& text)> display;
        // Closes the player through its normal closing sequence.
        std::function<void()> closeProgram;
        // Asks the system to power off after the given seconds.
        std::function<void(int seconds)> powerOff;
        // A timer started (true) or stopped (false).
        std::function<void(Timer timer, bool running)> timerChanged;
        // Something the window shows changed (volume, buttons, boxes, file).
        std::function<void()> changed;
        // The armed flag, the alarm time or a sleep option changed: when the alarm is due, and
        // whether it ends the night, may be different now.
        std::function<void()> armingChanged;
    };

    AlarmClock(AudioBinding& audio, std::string programFolder, Hooks hooks);
    // The hooks, for the window to add its own.
    Hooks& hooks() { return m_hooks; }

    // The window's load: defaults, then "alarm.tmp" when present; the alarm check and the clock
    // start, and the clock line is written at once.
    void load();
    // The window's unload: every timer stops and "alarm.tmp" is written. False when it could not
    // be written (`error` says why).
    bool unload(std::string* error = nullptr);
    bool loaded() const { return m_loaded; }

    // The armed flag as the program keeps it: "", "True" or "False".
    const std::string& armedFlag() const { return m_armedFlag; }
    bool armed() const { return m_armedFlag == "True"; }
    // "Alarm On".
    void arm();
    // "Alarm Off": disarmed, line 2 refreshed, a playing alarm stopped.
    void disarm();
    // Line 2: "Alarm:" and the alarm time when armed, otherwise "Alarm:Off".
    void refreshLine();

    // The alarm time as the time control's Value ("hh:mm:00"); a new time refreshes line 2.
    const std::string& time() const { return m_settings.time; }
    void setTime(const std::string& value);

    // The duration box: its selected index (-1 none) and its text.
    int durationIndex() const { return m_settings.durationIndex; }
    const std::string& durationText() const { return m_durationText; }
    void setDurationIndex(int index);
    void setDurationText(const std::string& text);
    // Seconds an alarm plays when it does not repeat: the duration text's number, 60 when the
    // text holds none.
    int durationSeconds() const;

    bool repeat() const { return m_settings.repeat; }
    // The public `forever` (a macro in Qt, hence the name): 1 while "Repeat alarm continuously"
    // is ticked.
    int foreverFlag() const { return m_settings.repeat ? 1 : 0; }
    void setRepeat(bool on);
    bool durationEnabled() const { return !m_settings.repeat; }
    bool fadeIn() const { return m_settings.fadeIn; }
    void setFadeIn(bool on);
    // The two sleep options; ticking one unticks the other.
    bool closeProgram() const { return m_settings.closeProgram; }
    void setCloseProgram(bool on);
    bool shutDown() const { return m_settings.shutDown; }
    void setShutDown(bool on);
    // Armed with the close-program or the shut-down option: the alarm time ends the night.
    bool endsTheNight() const { return armed() && (closeProgram() || shutDown()); }

    // "Max Alarm Volume", 0 … 255; a change reaches the alarm channel at once.
    int volume() const { return m_volume; }
    void setVolume(int volume);

    // The alarm file: a full path. The default is the program folder's default alarm sound.
    const std::string& file() const { return m_settings.file; }
    void setFile(const std::string& path);
    void resetDefaultFile() { setFile(defaultFile()); }
    std::string defaultFile() const;
    std::string alarmsFolder() const;
    // A path that "alarm.tmp" can hold (no double quote, no line break or other control character).
    static bool storablePath(std::string_view path);

    // "Test Alarm" and "Stop Test" (which also disarms).
    void testAlarm();
    void stopTest();
    bool testing() const { return m_testing; }
    // "Stop Alarm".
    void stopAlarm();
    // Held (while a hearing measure runs): nothing of the alarm reaches the output. An alarm
    // due meanwhile waits and sounds, from its start, when the hold ends; one already sounding
    // goes silent and comes back.
    void setHeld(bool held);
    bool held() const { return m_held; }
    // Due while held, waiting for the hold to end.
    bool waiting() const { return m_waiting; }
    // Silences the alarm channel (before a new file is chosen).
    void stopChannel();
    bool playing() const { return m_playing; }
    audio::ChannelHandle channel() const { return m_channel; }
    int fadeTarget() const { return m_fadeTarget; }
    int countdown() const { return m_countdown; }

    bool timerRunning(Timer timer) const { return m_running[std::size_t(timer)]; }
    // How long the alarm check may sleep from now, `msec` milliseconds into the present second
    // (the owner runs it at this delay rather than at kIntervalMs): when armed, until the set
    // minute begins, and 0 within it; never longer than kCheckSleepMs, so that a step of the
    // system clock into the set minute is still noticed within it.
    int checkDelayMs(int msec) const;
    static constexpr int kCheckSleepMs = 10'000;
    // One tick of a running timer; a stopped timer's tick does nothing.
    void tick(Timer timer);

    // The values "alarm.tmp" would hold now.
    AlarmSettings settings() const;

private:
    void checkAlarm();
    void fire();
    void play(bool fading);
    audio::ChannelHandle startSound();
    void endFade();
    // The volume the channel gets: none while held.
    void applyVolume();
    void setTimer(Timer timer, bool running);
    void setSleepOptions(bool closeProgram, bool shutDown);
    void armingChanged() const;
    void display(int line, const std::string& text) const;
    void changed() const;

    AudioBinding& m_audio;
    std::string m_folder;
    Hooks m_hooks;
    AlarmSettings m_settings;
    std::string m_durationText = kDesignDuration;
    std::string m_armedFlag;
    int m_volume = kDesignVolume;
    int m_fadeTarget = 0;
    int m_countdown = 0;
    audio::ChannelHandle m_channel = 0;
    bool m_fading = false;
    bool m_playing = false;
    bool m_testing = false;
    bool m_loaded = false;
    bool m_held = false;
    bool m_waiting = false;
    // Set when the alarm has fired for the present arming: it never fires twice for one.
    bool m_fired = false;
    std::array<bool, kTimerCount> m_running{};
    // The last sample loaded, reused while the same unchanged file is played again.
    std::string m_sampleKey;
    audio::SampleHandle m_sample = 0;
};

} // namespace sonaveil::player
