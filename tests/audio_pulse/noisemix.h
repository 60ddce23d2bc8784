#pragma once

#include "audio/mixer.h"

#include "../audio/audiotestutil.h"

#include <memory>
#include <vector>

// A mixer playing six seconds of white noise in a loop, as the engine would set it up; with a
// history, it can be rewound as the deep output queue does.
struct NoiseMix {
    NoiseMix(int rate, bool history)
        : mixer(rate, 4), sample(sonaveil::audio::makeSample(whiteNoiseFrames(6 * rate, 0.5, 21), rate))
    {
        if (history)
            mixer.keepHistory(3 * rate);
        sonaveil::audio::VoiceSlot& slot = mixer.slot(0);
        slot.sample.store(sample.get());
        slot.frequency.store(rate);
        slot.volume.store(200);
        slot.loop.store(true);
        slot.keyOn.store(true);
        slot.generation.store(1);
    }

    std::vector<float> render(int frames)
    {
        std::vector<float> out(std::size_t(2 * frames));
        mixer.render(out.data(), frames);
        return out;
    }

    sonaveil::audio::Mixer mixer;
    std::unique_ptr<sonaveil::audio::Sample> sample;
};
