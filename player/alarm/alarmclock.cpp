#include "player/alarm/alarmclock.h"

#include "common/atomicfile.h"
#include "common/textrecord.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace sonaveil::player {

namespace fs = std::filesystem;

std::string TimeOfDay::text() const
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hour, minute, second);
    return buffer;
}

namespace {

// "hh:mm:ss" → hours and minutes; nothing for any other text.
bool parseTime(std::string_view text, int& hour, int& minute)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return false;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (text[i] < '0' || text[i] > '9')
            return false;
    hour = (text[0] - '0') * 10 + (text[1] - '0');
    minute = (text[3] - '0') * 10 + (text[4] - '0');
    const int second = (text[6] - '0') * 10 + (text[7] - '0');
    return hour < 24 && minute < 60 && second < 60;
}

} // namespace

std::string AlarmSettings::toFileText() const
{
    TextRecordWriter w;
    w.text(time)
        .integer(durationIndex)
        .integer(repeat ? 1 : 0)
        .integer(fadeIn ? 1 : 0)
        .integer(volume)
        .integer(closeProgram ? 1 : 0)
        .integer(shutDown ? 1 : 0)
        .text(file);
    return w.bytes();
}

int AlarmSettings::readFileText(std::string_view text)
{
    TextRecordReader reader(text);
    int taken = 0;
    auto field = [&]() { return reader.next(); };
    // Boxes: 0/1 (or any boolean the reading rule knows); false at the first that holds none.
    auto readBoxes = [&](std::initializer_list<bool*> boxes) {
        for (bool* box : boxes) {
            auto f = field();
            const auto v = f ? fieldToBoolean(*f) : std::nullopt;
            if (!v)
                return false;
            *box = *v;
            ++taken;
        }
        return true;
    };

    auto f1 = field();
    int h = 0, m = 0;
    if (!f1 || !parseTime(*f1, h, m))
        return taken;
    time = *f1;
    time.replace(6, 2, "00");
    ++taken;

    auto f2 = field();
    const auto index = f2 ? fieldToInt16(*f2) : std::nullopt;
    if (!index || *index < -1 || *index >= int(6))
        return taken;
    durationIndex = *index;
    ++taken;

    // The boxes and the volume: 0 … 255.
    if (!readBoxes({&repeat, &fadeIn}))
        return taken;
    auto f5 = field();
    const auto v = f5 ? fieldToInt32(*f5) : std::nullopt;
    if (!v)
        return taken;
    volume = std::clamp<int>(*v, 0, 255);
    ++taken;
    if (!readBoxes({&closeProgram, &shutDown}))
        return taken;
    auto f8 = field();
    if (!f8 || f8->empty())
        return taken;
    file = *f8;
    return ++taken;
}

AlarmClock::AlarmClock(AudioBinding& audio, std::string programFolder, Hooks hooks)
    : m_audio(audio)
    , m_folder(std::move(programFolder))
    , m_hooks(std::move(hooks))
{
    m_settings.file = defaultFile();
}

std::string AlarmClock::defaultFile() const
{
    return (fs::path(m_folder) / kDefaultAlarm).string();
}

std::string AlarmClock::alarmsFolder() const
{
    return (fs::path(m_folder) / kAlarmsFolder).string();
}

bool AlarmClock::storablePath(std::string_view path)
{
    if (path.empty())
        return false;
    return std::none_of(path.begin(), path.end(), [](char c) {
        return c == '"' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7f;
    });
}

void AlarmClock::display(int line, const std::string& text) const
{
    if (m_hooks.display)
        m_hooks.display(line, text);
}

void AlarmClock::changed() const
{
    if (m_hooks.changed)
        m_hooks.changed();
}

void AlarmClock::armingChanged() const
{
    if (m_hooks.armingChanged)
        m_hooks.armingChanged();
}

void AlarmClock::setTimer(Timer timer, bool running)
{
    if (m_running[std::size_t(timer)] == running)
        return;
    m_running[std::size_t(timer)] = running;
    if (m_hooks.timerChanged)
        m_hooks.timerChanged(timer, running);
}

void AlarmClock::load()
{
    // The design defaults, then whatever "alarm.tmp" holds. The sleep options are stored but not
    // taken back: a sleep timer is chosen for one night, never inherited by the next.
    AlarmSettings stored;
    stored.file = defaultFile();
    if (const auto text = readWholeFile(fs::path(m_folder) / kSettingsName))
        stored.readFileText(*text);
    m_settings.time = stored.time;
    m_settings.repeat = stored.repeat;
    m_settings.fadeIn = stored.fadeIn;
    m_settings.file = storablePath(stored.file) ? stored.file : defaultFile();
    m_volume = stored.volume;
    setDurationIndex(stored.durationIndex);
    m_loaded = true;
    setTimer(AlarmCheck, true);
    setTimer(Clock, true);
    tick(Clock);
    changed();
}

bool AlarmClock::unload(std::string* error)
{
    for (int t = 0; t < kTimerCount; ++t)
        setTimer(Timer(t), false);
    m_loaded = false;
    return writeFileAtomically(fs::path(m_folder) / kSettingsName, settings().toFileText(), error);
}

AlarmSettings AlarmClock::settings() const
{
    AlarmSettings s = m_settings;
    // During a fade the slider is on its way up; the volume the user set is the fade's target.
    s.volume = m_fading ? m_fadeTarget : m_volume;
    return s;
}

void AlarmClock::arm()
{
    m_armedFlag = "True";
    m_fired = false;
    refreshLine();
    armingChanged();
}

void AlarmClock::disarm()
{
    m_armedFlag = "False";
    refreshLine();
    stopAlarm();
    armingChanged();
}

void AlarmClock::refreshLine()
{
    display(2, armed() ? "Alarm:" + m_settings.time : std::string("Alarm:Off"));
}

void AlarmClock::setTime(const std::string& value)
{
    int h = 0, m = 0;
    if (!parseTime(value, h, m))
        return;
    if (value != m_settings.time) {
        m_settings.time = value;
        // A new time is a new chance to fire.
        m_fired = false;
    }
    refreshLine();
    armingChanged();
}

void AlarmClock::setDurationIndex(int index)
{
    if (index < -1 || index >= int(kDurations.size()))
        return;
    m_settings.durationIndex = index;
    if (index >= 0)
        m_durationText = kDurations[std::size_t(index)];
    changed();
}

void AlarmClock::setDurationText(const std::string& text)
{
    m_durationText = text;
    const auto it = std::find(kDurations.begin(), kDurations.end(), text);
    m_settings.durationIndex = it == kDurations.end() ? -1 : int(it - kDurations.begin());
}

int AlarmClock::durationSeconds() const
{
    // The number at the start of the text, as the box shows it; a text without one would end an
    // alarm at once, so it counts as the design duration.
    std::size_t i = 0;
    while (i < m_durationText.size() && m_durationText[i] == ' ')
        ++i;
    long long value = 0;
    std::size_t digits = 0;
    for (; i < m_durationText.size() && m_durationText[i] >= '0' && m_durationText[i] <= '9'; ++i, ++digits)
        value = std::min<long long>(value * 10 + (m_durationText[i] - '0'), 24 * 3600);
    return digits == 0 || value == 0 ? 60 : int(value);
}

void AlarmClock::setRepeat(bool on)
{
    m_settings.repeat = on;
    changed();
}

void AlarmClock::setFadeIn(bool on)
{
    m_settings.fadeIn = on;
    changed();
}

void AlarmClock::setCloseProgram(bool on)
{
    setSleepOptions(on, on ? false : m_settings.shutDown);
}

void AlarmClock::setShutDown(bool on)
{
    setSleepOptions(on ? false : m_settings.closeProgram, on);
}

void AlarmClock::setSleepOptions(bool closeProgram, bool shutDown)
{
    m_settings.closeProgram = closeProgram;
    m_settings.shutDown = shutDown;
    changed();
    armingChanged();
}

void AlarmClock::setVolume(int volume)
{
    volume = std::clamp(volume, 0, 255);
    const bool moved = volume != m_volume;
    m_volume = volume;
    applyVolume();
    if (moved)
        changed();
}

void AlarmClock::setFile(const std::string& path)
{
    if (!storablePath(path))
        return;
    m_settings.file = path;
    changed();
}

audio::ChannelHandle AlarmClock::startSound()
{
    // The same unchanged file is not decoded again; a new or changed one is.
    auto keyOf = [](const std::string& path) {
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        const auto time = fs::last_write_time(path, ec);
        return path + '\n' + std::to_string(size) + '\n'
               + std::to_string(time.time_since_epoch().count());
    };
    const std::string key = keyOf(m_settings.file);
    if (m_sample == 0 || key != m_sampleKey) {
        m_sample = m_audio.loadSample(m_settings.file);
        m_sampleKey = key;
        // A file that cannot be played must not leave the alarm silent: the default sound plays.
        if (m_sample == 0 && m_settings.file != defaultFile()) {
            m_sample = m_audio.loadSample(defaultFile());
            m_sampleKey.clear();
        }
    }
    return m_audio.playSound(m_sample);
}

void AlarmClock::testAlarm()
{
    m_audio.stopSound(m_channel);
    m_channel = startSound();
    m_audio.setLoopMode(m_channel, audio::kLoopNormal);
    applyVolume();
    m_testing = true;
    changed();
}

void AlarmClock::stopTest()
{
    m_armedFlag = "False";
    m_waiting = false;
    m_audio.stopSound(m_channel);
    m_testing = false;
    // The button also stops an alarm that fired during the test: it has ended, and line 2
    // says what plays (nothing) and that the alarm is off.
    if (m_playing) {
        setTimer(Countdown, false);
        m_countdown = 0;
        endFade();
        m_playing = false;
    }
    refreshLine();
    changed();
    armingChanged();
}

void AlarmClock::stopChannel()
{
    m_audio.stopSound(m_channel);
    if (m_testing) {
        m_testing = false;
        changed();
    }
}

void AlarmClock::stopAlarm()
{
    m_waiting = false;
    setTimer(Countdown, false);
    m_armedFlag = "False";
    refreshLine();
    m_audio.stopSound(m_channel);
    m_countdown = 0;
    endFade();
    const bool was = m_playing || m_testing;
    m_playing = false;
    m_testing = false;
    if (was)
        changed();
    armingChanged();
}

void AlarmClock::endFade()
{
    if (!m_fading)
        return;
    // A stopped fade leaves the slider where the user set it, not part of the way up.
    m_fading = false;
    setTimer(Fade, false);
    m_volume = m_fadeTarget;
    changed();
}

void AlarmClock::tick(Timer timer)
{
    if (!timerRunning(timer))
        return;
    switch (timer) {
    case AlarmCheck:
        checkAlarm();
        break;
    case Clock:
        if (m_hooks.now)
            display(1, "Time:" + m_hooks.now().text());
        break;
    case Fade:
        if (m_volume < m_fadeTarget)
            setVolume(m_volume + 1);
        if (m_volume >= m_fadeTarget) {
            m_fading = false;
            setTimer(Fade, false);
        }
        break;
    case Countdown:
        if (++m_countdown > durationSeconds()) {
            m_audio.stopSound(m_channel);
            m_armedFlag = "False";
            refreshLine();
            m_countdown = 0;
            setTimer(Countdown, false);
            endFade();
            m_playing = false;
            changed();
            armingChanged();
        }
        break;
    }
}

void AlarmClock::checkAlarm()
{
    if (!armed() || m_fired || !m_hooks.now)
        return;
    int h = 0, m = 0;
    if (!parseTime(m_settings.time, h, m))
        return;
    // Any tick within the set minute fires: a late tick or a clock step into the minute cannot
    // make the alarm miss its day.
    const TimeOfDay now = m_hooks.now();
    if (now.hour != h || now.minute != m)
        return;
    m_fired = true;
    fire();
}

void AlarmClock::fire()
{
    if (m_settings.shutDown) {
        if (m_hooks.powerOff)
            m_hooks.powerOff(kPowerOffDelaySeconds);
        return;
    }
    if (m_settings.closeProgram) {
        setTimer(AlarmCheck, false);
        if (m_hooks.closeProgram)
            m_hooks.closeProgram();
        return;
    }
    if (m_held) {
        m_waiting = true;
        return;
    }
    play(m_settings.fadeIn);
}

void AlarmClock::applyVolume()
{
    m_audio.setVolume(m_channel, m_held ? 0 : m_volume);
}

void AlarmClock::setHeld(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    if (!held && m_waiting) {
        m_waiting = false;
        // Armed still, unless "Alarm Off" came meanwhile (that ends the wait).
        play(m_settings.fadeIn);
        return;
    }
    if (m_playing || m_testing)
        applyVolume();
}

void AlarmClock::play(bool fading)
{
    // A test sound still looping would be left with no button to stop it.
    m_audio.stopSound(m_channel);
    m_testing = false;
    if (fading) {
        if (!m_fading)
            m_fadeTarget = m_volume;
        m_fading = true;
        setVolume(0);
        setTimer(Fade, true);
    }
    display(2, "Alarm:Playing");
    m_channel = startSound();
    applyVolume();
    m_audio.setLoopMode(m_channel, audio::kLoopNormal);
    m_playing = true;
    m_countdown = 0;
    if (!m_settings.repeat)
        setTimer(Countdown, true);
    m_armedFlag = "False";
    changed();
    armingChanged();
}

int AlarmClock::checkDelayMs(int msec) const
{
    int h = 0, m = 0;
    if (!armed() || m_fired || !m_hooks.now || !parseTime(m_settings.time, h, m))
        return kCheckSleepMs;
    const TimeOfDay now = m_hooks.now();
    constexpr int kDay = 24 * 3600;
    const int since = ((now.hour * 3600 + now.minute * 60 + now.second) - (h * 3600 + m * 60) + kDay) % kDay;
    if (since < 60)
        return 0; // within the set minute
    const long long untilMs = (long long)(kDay - since) * 1000 - std::clamp(msec, 0, 999);
    return int(std::min<long long>(untilMs, kCheckSleepMs));
}

} // namespace sonaveil::player
