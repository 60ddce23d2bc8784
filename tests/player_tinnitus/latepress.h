#pragma once

#include "player/tinnitus/hearingcheck.h"

#include <cstdint>
#include <functional>
#include <vector>

// A simulated listener's press: due some time after what they heard began, made at the first
// tick at or after that time.
class LatePress {
public:
    // A listener who presses 300 ms after a sound they hear begins; `played` lists the sounds
    // played so far, of which the first `seen` were there before.
    LatePress() = default;
    LatePress(const std::vector<sonaveil::player::TestSound>& played, std::size_t seen)
        : m_played(&played)
        , m_seen(seen)
    {
    }

    void dueAt(std::int64_t ms) { m_dueMs = ms; }

    // After a tick at `nowMs`: a sound begun since the last tick and heard makes a press due; a
    // press that is due is made.
    void listen(sonaveil::player::HearingCheck& check, std::int64_t nowMs,
                const std::function<bool(const sonaveil::player::TestSound&)>& hears)
    {
        if (m_played && m_played->size() > m_seen) {
            m_seen = m_played->size();
            if (hears(m_played->back()))
                dueAt(nowMs + kReactionMs);
        }
        pressIfDue(check, nowMs);
    }

    void pressIfDue(sonaveil::player::HearingCheck& check, std::int64_t nowMs)
    {
        if (m_dueMs >= 0 && nowMs >= m_dueMs) {
            check.press(nowMs);
            m_dueMs = -1;
        }
    }

private:
    static constexpr std::int64_t kReactionMs = 300;
    const std::vector<sonaveil::player::TestSound>* m_played = nullptr;
    std::size_t m_seen = 0;
    std::int64_t m_dueMs = -1; // -1: no press due
};
