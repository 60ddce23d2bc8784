#include "player/tinnitus/pitchmatch.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

double PitchLadder::frequency(int step)
{
    return TinnitusSettings::kLowestHz * std::exp2(double(std::clamp(step, 0, kTop)) / kStepsPerOctave);
}

int PitchLadder::nearestStep(double hz)
{
    if (!(hz > 0))
        return 0;
    const double s = std::round(kStepsPerOctave * std::log2(hz / TinnitusSettings::kLowestHz));
    return int(std::clamp(s, 0.0, double(kTop)));
}

PitchMatch::PitchMatch(ToneOutput& output)
    : m_output(output)
{
}

PitchMatch::~PitchMatch()
{
    if (m_playing || m_checking)
        m_output.setTone(false, m_kind, frequency(), m_levelDb);
}

void PitchMatch::notify()
{
    if (changed)
        changed();
}

void PitchMatch::apply()
{
    if (m_checking) {
        const int step = m_presenting ? m_checkStep + *m_presenting * PitchLadder::kStepsPerOctave : m_checkStep;
        m_output.setTone(m_presenting.has_value(), m_kind, PitchLadder::frequency(step), m_levelDb);
    } else {
        m_output.setTone(m_playing, m_kind, frequency(), m_levelDb);
    }
}

void PitchMatch::setStep(int step)
{
    step = std::clamp(step, 0, PitchLadder::kTop);
    if (step == m_step)
        return;
    m_step = step;
    if (m_checking) {
        // A new pitch ends the check: its octaves belong to the old one.
        m_checking = false;
        m_presenting.reset();
    }
    if (m_playing)
        apply();
    notify();
}

void PitchMatch::setKind(MatchKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    if (m_playing || m_checking)
        apply();
    notify();
}

void PitchMatch::setLevelDb(double db)
{
    if (!std::isfinite(db))
        return;
    db = std::clamp(db, kMinLevelDb, kMaxLevelDb);
    if (db == m_levelDb)
        return;
    m_levelDb = db;
    if (m_playing || m_checking)
        apply();
    notify();
}

void PitchMatch::play()
{
    if (m_checking) {
        m_checking = false;
        m_presenting.reset();
    }
    m_playing = true;
    apply();
    notify();
}

void PitchMatch::stop()
{
    if (!m_playing && !m_checking)
        return;
    m_playing = false;
    m_checking = false;
    m_presenting.reset();
    m_output.setTone(false, m_kind, frequency(), m_levelDb);
    notify();
}

bool PitchMatch::offers(Octave octave) const
{
    const int s = (m_checking ? m_checkStep : m_step) + octave * PitchLadder::kStepsPerOctave;
    return s >= 0 && s <= PitchLadder::kTop;
}

std::vector<PitchMatch::Presentation> PitchMatch::octaveCheck() const
{
    std::vector<Presentation> plan;
    int t = 0;
    for (Octave o : {Same, Below, Above}) {
        if (!offers(o))
            continue;
        plan.push_back({o, m_step + o * PitchLadder::kStepsPerOctave, t, t + kPresentMs});
        t += kPresentMs + kPauseMs;
    }
    return plan;
}

void PitchMatch::startOctaveCheck()
{
    m_playing = false;
    m_checking = true;
    m_checkStep = m_step;
    m_presenting.reset();
    advanceCheck(0);
}

bool PitchMatch::advanceCheck(int elapsedMs)
{
    if (!m_checking)
        return false;
    std::optional<Octave> now;
    bool more = false;
    const int saved = m_step;
    m_step = m_checkStep; // the timetable of the pitch the check started with
    const auto plan = octaveCheck();
    m_step = saved;
    for (const Presentation& p : plan) {
        if (elapsedMs >= p.startMs && elapsedMs < p.endMs)
            now = p.octave;
        if (elapsedMs < p.endMs)
            more = true;
    }
    if (!more) {
        m_checking = false;
        m_presenting.reset();
        m_output.setTone(false, m_kind, frequency(), m_levelDb);
        notify();
        return false;
    }
    if (now != m_presenting) {
        m_presenting = now;
        apply();
        notify();
    }
    return true;
}

bool PitchMatch::pick(Octave octave)
{
    if (!offers(octave))
        return false;
    const int base = m_checking ? m_checkStep : m_step;
    if (m_checking)
        stop();
    setStep(base + octave * PitchLadder::kStepsPerOctave);
    notify();
    return true;
}

void PitchMatch::load(const TinnitusSettings& settings)
{
    m_kind = settings.kind;
    setStep(PitchLadder::nearestStep(settings.frequencyHz));
    notify();
}

TinnitusSettings PitchMatch::matchSettings(TinnitusSettings base) const
{
    base.frequencyHz = frequency();
    base.kind = m_kind;
    return base;
}

} // namespace sonaveil::player
