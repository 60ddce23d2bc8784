#pragma once

#include "player/tinnitus/bandstop.h"
#include "player/tinnitus/night.h"

#include <array>
#include <functional>
#include <string>

namespace sonaveil::player {

// The status display as its owners write it, with the marks added: line 1 (the clock) gets the
// sleep time, line 3 (the equaliser) the band-stop. The texts are kept, so that a mark that
// comes or goes shows at once.
class StatusLines {
public:
    StatusLines(const Night& night, const BandStop& bandStop) : m_night(night), m_bandStop(bandStop) {}

    // A line 1 … 4 as its owner gives it.
    void set(int line, const std::string& text);
    // Lines 1 and 3 again, with the marks as they are now.
    void refresh();

    // Shows a line on the display.
    std::function<void(int line, const std::string& text)> show;

private:
    const Night& m_night;
    const BandStop& m_bandStop;
    std::array<std::string, 4> m_text;
};

} // namespace sonaveil::player
