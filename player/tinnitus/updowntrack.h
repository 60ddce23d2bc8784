#pragma once

#include <map>
#include <optional>

namespace sonaveil::player {

// The threshold at one frequency by the up-down procedure: down kDownDb after "heard", up kUpDb
// after "not heard"; the threshold is the lowest level heard on two of at most three ascents
// (presentations that follow a "not heard", and the first one), confirmed by one more
// presentation kConfirmDb above it that must be heard. The track starts quiet, so its first run
// is an ascent.
class UpDownTrack {
public:
    static constexpr double kDownDb = 10.0;
    static constexpr double kUpDb = 5.0;
    static constexpr double kConfirmDb = 5.0;
    // More presentations than this without a threshold is a run that takes too long.
    static constexpr int kMaxPresentations = 30;
    // Two misses this far above a level heard before make the answers inconsistent.
    static constexpr double kContradictionDb = 10.0;
    static constexpr int kMaxContradictions = 2;

    enum class State { Running, Found, NotHeard, Inconsistent, TooLong };

    UpDownTrack(double startDb, double floorDb, double ceilingDb);

    // The level to present next (while running).
    double level() const { return m_level; }
    void answer(bool heard);
    State state() const { return m_state; }
    // The threshold once found; at the floor it means "at the floor or below".
    std::optional<double> threshold() const { return m_threshold; }
    int presentations() const { return m_presentations; }
    // Marks the run inconsistent from outside (answers given where no sound was).
    void giveUp(State why);

private:
    static int key(double db);

    double m_level;
    double m_floor, m_ceiling;
    bool m_ascending = true;
    bool m_confirming = false;
    State m_state = State::Running;
    std::optional<double> m_threshold;
    int m_presentations = 0;
    int m_contradictions = 0;
    int m_heardAtFloor = 0;
    std::map<int, int> m_heard, m_missed; // on ascents, by level in tenths of a dB
    std::map<int, int> m_heardAny;
};

} // namespace sonaveil::player
