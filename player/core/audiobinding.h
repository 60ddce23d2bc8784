#pragma once

#include "audio/cachedloop.h"
#include "audio/decodedcache.h"
#include "audio/engine.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::player {

// The engine calls the channel model makes, behind an interface so that tests can watch them.
class AudioBinding {
public:
    virtual ~AudioBinding() = default;
    virtual audio::SampleHandle loadSample(const std::string& path) = 0;
    // Several files at once, in order; the engine decodes them in parallel.
    virtual std::vector<audio::SampleHandle> loadSamples(const std::vector<std::string>& paths)
    {
        std::vector<audio::SampleHandle> handles;
        for (const std::string& path : paths)
            handles.push_back(loadSample(path));
        return handles;
    }
    virtual audio::ChannelHandle playSound(audio::SampleHandle sample) = 0;
    // A voice playing what `generator` makes, without end (see audio::Engine::playGenerator);
    // -1 where the binding has no such voices.
    virtual audio::ChannelHandle playGenerator(std::unique_ptr<audio::Generator> generator)
    {
        (void)generator;
        return -1;
    }
    // A voice that streams the sound file `path` from disk and loops the whole of it without
    // end, never holding it decoded; -1 where the binding does not stream (the caller then plays
    // the loaded sample).
    virtual audio::ChannelHandle playFile(const std::string& path)
    {
        (void)path;
        return -1;
    }
    virtual void setVolume(audio::ChannelHandle channel, int volume) = 0;
    virtual void setFrequency(audio::ChannelHandle channel, int hertz) = 0;
    virtual void setPan(audio::ChannelHandle channel, int pan) = 0;
    virtual void setLoopMode(audio::ChannelHandle channel, int mode) = 0;
    virtual void stopSound(audio::ChannelHandle channel) = 0;
    // A fade on top of the volume: the channel moves to `gain` (0 … 1) in a straight line over
    // `milliseconds`, continuously (see audio::Engine::setFade).
    virtual void setFade(audio::ChannelHandle channel, float gain, int milliseconds)
    {
        (void)channel, (void)gain, (void)milliseconds;
    }
};

// Forwards to the real engine with the values the player always passes.
class EngineBinding : public AudioBinding {
public:
    explicit EngineBinding(audio::Engine& engine) : m_engine(engine) {}
    audio::SampleHandle loadSample(const std::string& path) override
    {
        return m_engine.loadSample(audio::kFree, path, audio::kSampleNormal, 0, 0);
    }
    std::vector<audio::SampleHandle> loadSamples(const std::vector<std::string>& paths) override
    {
        return m_engine.loadSamples(paths);
    }
    audio::ChannelHandle playSound(audio::SampleHandle sample) override
    {
        return m_engine.playSound(audio::kFree, sample);
    }
    audio::ChannelHandle playGenerator(std::unique_ptr<audio::Generator> generator) override
    {
        return m_engine.playGenerator(audio::kFree, std::move(generator));
    }
    // Sample files are streamed from disk by playFile() (the player's choice), rather than
    // decoded and held.
    void setStreamFiles(bool on) { m_streamFiles = on; }
    // Streamed files are decoded once into `folder` and played from there afterwards (see
    // audio::DecodedCache); an empty folder: always decoded as they play.
    void setDecodedCache(const std::filesystem::path& folder)
    {
        m_cache = folder.empty() ? nullptr : std::make_unique<audio::DecodedCache>(folder);
    }
    audio::ChannelHandle playFile(const std::string& path) override
    {
        if (!m_streamFiles)
            return -1;
        auto source = audio::CachedLoop::make(path, m_cache.get());
        return source ? m_engine.playGenerator(audio::kFree, std::move(source)) : -1;
    }
    void setVolume(audio::ChannelHandle c, int v) override { m_engine.setVolume(c, v); }
    void setFrequency(audio::ChannelHandle c, int hz) override { m_engine.setFrequency(c, hz); }
    void setPan(audio::ChannelHandle c, int pan) override { m_engine.setPan(c, pan); }
    void setLoopMode(audio::ChannelHandle c, int mode) override { m_engine.setLoopMode(c, mode); }
    void stopSound(audio::ChannelHandle c) override { m_engine.stopSound(c); }
    void setFade(audio::ChannelHandle c, float gain, int ms) override { m_engine.setFade(c, gain, ms); }

private:
    audio::Engine& m_engine;
    bool m_streamFiles = false;
    std::unique_ptr<audio::DecodedCache> m_cache;
};

} // namespace sonaveil::player
