#include "player/tinnitus/bandstop.h"

namespace sonaveil::player {

BandStop::BandStop(NotchOutput& output, TinnitusStore& store)
    : m_output(output)
    , m_store(store)
{
}

void BandStop::apply()
{
    const TinnitusSettings& s = m_store.settings();
    m_output.setNotch(s.notchEnabled, s.frequencyHz, s.notchWidth);
    if (changed)
        changed();
    if (lineChanged)
        lineChanged();
}

bool BandStop::setOn(bool on)
{
    const bool written = m_store.setNotchEnabled(on);
    apply();
    return written;
}

} // namespace sonaveil::player
