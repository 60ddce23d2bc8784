#include "player/tinnitus/testsound.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

namespace {

int engineKind(TestKind kind)
{
    switch (kind) {
    case TestKind::Band:
        return audio::kToneBand;
    case TestKind::White:
        return audio::kToneWhite;
    case TestKind::Pink:
        return audio::kTonePink;
    case TestKind::Tone:
        break;
    }
    return audio::kToneSine;
}

int engineEar(Ear ear)
{
    return ear == Ear::Left ? audio::kEarLeft : ear == Ear::Right ? audio::kEarRight : audio::kEarBoth;
}

} // namespace

void EngineTestSoundOutput::play(const TestSound& sound)
{
    m_last = sound;
    m_engine.setTone(true, engineKind(sound.kind), float(sound.hz), float(sound.levelDb), engineEar(sound.ear));
}

void EngineTestSoundOutput::silence()
{
    m_engine.setTone(false, engineKind(m_last.kind), float(m_last.hz), float(m_last.levelDb), engineEar(m_last.ear));
}

double SafeSound::ceiling() const
{
    if (m_threshold)
        return std::min(kAbsoluteCeilingDb, *m_threshold + kAboveThresholdDb);
    return kAbsoluteCeilingDb;
}

double SafeSound::play(TestSound sound)
{
    double level = std::isfinite(sound.levelDb) ? sound.levelDb : kFloorDb;
    level = std::min(level, m_last ? *m_last + kMaxStepDb : kStartDb);
    level = std::clamp(level, kFloorDb, ceiling());
    sound.levelDb = level;
    m_last = level;
    m_sounding = true;
    m_output.play(sound);
    return level;
}

void SafeSound::silence()
{
    m_sounding = false;
    m_output.silence();
}

} // namespace sonaveil::player
