#include "player/tinnitus/updowntrack.h"

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

UpDownTrack::UpDownTrack(double startDb, double floorDb, double ceilingDb)
    : m_level(std::clamp(startDb, floorDb, ceilingDb))
    , m_floor(floorDb)
    , m_ceiling(ceilingDb)
{
}

int UpDownTrack::key(double db)
{
    return int(std::lround(db * 10.0));
}

void UpDownTrack::giveUp(State why)
{
    if (m_state == State::Running)
        m_state = why;
}

void UpDownTrack::answer(bool heard)
{
    if (m_state != State::Running)
        return;
    ++m_presentations;
    if (m_confirming) {
        // 5 dB over a threshold is heard by anyone whose answers follow the sound.
        if (heard) {
            m_state = State::Found;
        } else {
            m_threshold.reset();
            m_state = State::Inconsistent;
        }
        return;
    }
    const int here = key(m_level);
    if (!heard)
        for (const auto& [level, count] : m_heardAny)
            if (here - level >= key(kContradictionDb)) {
                ++m_contradictions;
                break;
            }
    if (heard)
        ++m_heardAny[here];
    if (m_ascending) {
        if (heard)
            ++m_heard[here];
        else
            ++m_missed[here];
        const int h = m_heard[here], m = m_missed[here];
        if (h >= 2 && h + m <= 3) {
            m_threshold = m_level;
            m_confirming = true;
            m_level = std::min(m_ceiling, m_level + kConfirmDb);
            return;
        }
    }
    if (heard && m_level <= m_floor && ++m_heardAtFloor >= 2) {
        m_threshold = m_floor;
        m_state = State::Found;
        return;
    }
    if (m_contradictions >= kMaxContradictions) {
        m_state = State::Inconsistent;
        return;
    }
    if (m_presentations >= kMaxPresentations) {
        m_state = State::TooLong;
        return;
    }
    if (heard) {
        m_level = std::max(m_floor, m_level - kDownDb);
        m_ascending = false;
    } else {
        if (m_level >= m_ceiling - 1e-9) {
            m_state = State::NotHeard;
            return;
        }
        m_level = std::min(m_ceiling, m_level + kUpDb);
        m_ascending = true;
    }
}

} // namespace sonaveil::player
