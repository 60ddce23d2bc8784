#pragma once

#include "player/core/audiobinding.h"
#include "player/core/channelmodel.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A generator of silence at `rate`, for voices whose sound does not matter.
class SilentGenerator : public sonaveil::audio::Generator {
public:
    explicit SilentGenerator(int rate = 44100, std::uint64_t seed = 0) : m_rate(rate), seed(seed) {}
    int rate() const override { return m_rate; }
    void generate(sonaveil::audio::SourceFrame* out, int frames) override { std::fill(out, out + frames, 0); }

private:
    int m_rate;

public:
    std::uint64_t seed;
};

// Records what the channel model asks of the engine, with a channel table that behaves like the
// engine's: handles of stopped voices name nothing.
class FakeBinding : public sonaveil::player::AudioBinding {
public:
    struct Channel {
        int sample = 0; // 0 for a generator's voice
        int generatorRate = 0;
        int volume = -1, frequency = -1, pan = -1, loop = -1;
        float fade = 1.0f;
        int fadeMs = 0;
        bool playing = true;
    };

    sonaveil::audio::SampleHandle loadSample(const std::string& path) override
    {
        loaded.push_back(path);
        return missing.count(path) ? 0 : int(loaded.size());
    }
    sonaveil::audio::ChannelHandle playSound(sonaveil::audio::SampleHandle sample) override
    {
        calls.push_back("play");
        if (sample == 0)
            return -1;
        channels[++lastHandle] = Channel{sample};
        return lastHandle;
    }
    sonaveil::audio::ChannelHandle playGenerator(std::unique_ptr<sonaveil::audio::Generator> generator) override
    {
        calls.push_back("play live");
        Channel c;
        c.generatorRate = generator->rate();
        channels[++lastHandle] = c;
        generators[lastHandle] = std::move(generator);
        return lastHandle;
    }
    void setVolume(int c, int v) override { if (auto* ch = live(c)) ch->volume = v; calls.push_back("volume " + std::to_string(c)); }
    void setFrequency(int c, int hz) override { if (auto* ch = live(c)) ch->frequency = hz; calls.push_back("frequency " + std::to_string(c)); }
    void setPan(int c, int pan) override { if (auto* ch = live(c)) ch->pan = pan; calls.push_back("pan " + std::to_string(c)); }
    void setLoopMode(int c, int mode) override { if (auto* ch = live(c)) ch->loop = mode; }
    void stopSound(int c) override { if (auto* ch = live(c)) ch->playing = false; calls.push_back("stop"); }
    void setFade(int c, float gain, int ms) override
    {
        if (auto* ch = live(c)) {
            ch->fade = gain;
            ch->fadeMs = ms;
        }
        calls.push_back("fade " + std::to_string(c));
    }

    Channel* live(int handle)
    {
        auto it = channels.find(handle);
        return it != channels.end() && it->second.playing ? &it->second : nullptr;
    }

    std::vector<std::string> loaded;
    std::map<std::string, int> missing;
    std::map<int, Channel> channels;
    std::map<int, std::unique_ptr<sonaveil::audio::Generator>> generators;
    std::vector<std::string> calls;
    int lastHandle = 100;
};

// Sound 1 switched on after its volume (200), pitch (4410) and balance (12) sliders and the
// master (75) were set: from a file or live alike, its channel plays at volume 150, 44100 Hz and
// pan 120.
inline void switchOnSoundOne(sonaveil::player::ChannelModel& model)
{
    model.setSlider(1, 200);
    model.setSlider(sonaveil::player::kMasterSlider, 75);
    model.setSlider(11, 4410);
    model.setSlider(21, 12);
    model.setCheck(1, sonaveil::CheckState::Checked);
}
