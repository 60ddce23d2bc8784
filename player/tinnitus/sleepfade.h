#pragma once

#include "player/core/audiobinding.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <optional>
#include <string>

namespace sonaveil::player {

// The gain of a fade to silence: 1 until `durationMs` before the end, then falling smoothly and
// monotonically (a squared raised cosine: no corner at its start, none at its end) to exactly 0
// at `endMs`, and 0 from then on. Times are milliseconds on any one clock.
struct FadeOut {
    // u runs from 0 (start of the fade) to 1 (its end).
    static double curve(double u);
    static double gainAt(std::int64_t nowMs, std::int64_t endMs, std::int64_t durationMs);
};

// "Sleep in 30 / 60 / 90 min": the mix fades out over the last ten minutes before the set
// moment, then every sound is stopped. A cancelled sleep brings the mix back up over two
// seconds instead of at once.
class SleepTimer {
public:
    static constexpr int kFadeMinutes = 10;
    static constexpr std::int64_t kRecoverMs = 2000;

    // Sets the moment `minutes` from now (replacing one already set).
    void start(std::int64_t nowMs, int minutes);
    void cancel(std::int64_t nowMs);
    bool active() const { return m_end.has_value(); }
    // The set moment, while active.
    std::optional<std::int64_t> endMs() const { return m_end; }
    // The gain the masking sounds get now.
    double gain(std::int64_t nowMs) const;
    // True once the set moment has come; the owner then stops the sounds and calls finish().
    bool due(std::int64_t nowMs) const { return m_end && nowMs >= *m_end; }
    void finish();
    // True while the gain is below 1 or on its way back.
    bool fading(std::int64_t nowMs) const;

private:
    std::optional<std::int64_t> m_end;
    std::int64_t m_cancelledAt = 0;
    double m_gainAtCancel = 1.0;
};

// A time of day, for the display.
struct ClockTime {
    int hour = 0, minute = 0, second = 0;
};

// Line 1 of the status display: "Time:23:15:02", followed by " S23:45" while a sleep is set.
std::string clockLine(const ClockTime& now, const std::optional<ClockTime>& sleepAt);

// Sits between the channel model and the engine and gives every masking sound the fade's gain on
// top of its volume, through the engine's continuous per-voice gain: a fade touches the masking
// sounds only (not an alarm, not the test tone), follows its curve without steps down to
// silence, and the volumes stay exactly as the model sets them.
class FadingBinding : public AudioBinding {
public:
    explicit FadingBinding(AudioBinding& inner);

    // 0 … 1; every playing sound moves to it in a straight line over `rampMs` (0: at once, in a
    // few milliseconds). A sound switched on meanwhile starts at it.
    void setFade(double gain, int rampMs = 0);
    double fade() const { return m_fade; }

    audio::SampleHandle loadSample(const std::string& path) override;
    std::vector<audio::SampleHandle> loadSamples(const std::vector<std::string>& paths) override;
    audio::ChannelHandle playSound(audio::SampleHandle sample) override;
    audio::ChannelHandle playGenerator(std::unique_ptr<audio::Generator> generator) override;
    audio::ChannelHandle playFile(const std::string& path) override;
    void setVolume(audio::ChannelHandle channel, int volume) override;
    void setFrequency(audio::ChannelHandle channel, int hertz) override;
    void setPan(audio::ChannelHandle channel, int pan) override;
    void setLoopMode(audio::ChannelHandle channel, int mode) override;
    void stopSound(audio::ChannelHandle channel) override;
    void setFade(audio::ChannelHandle channel, float gain, int milliseconds) override;

private:
    AudioBinding& m_inner;
    // A voice the model has just started takes the fade as it stands.
    audio::ChannelHandle started(audio::ChannelHandle channel);

    double m_fade = 1.0;
    std::set<audio::ChannelHandle> m_playing;
};

} // namespace sonaveil::player
