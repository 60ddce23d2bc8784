#include "player/tinnitus/statuslines.h"

namespace sonaveil::player {

void StatusLines::set(int line, const std::string& text)
{
    if (line < 1 || line > 4)
        return;
    m_text[std::size_t(line - 1)] = text;
    std::string shown = text;
    if (line == 1)
        shown += m_night.clockMark();
    else if (line == 3)
        shown = m_bandStop.equaliserLine(text);
    if (show)
        show(line, shown);
}

void StatusLines::refresh()
{
    for (int line : {1, 3})
        if (!m_text[std::size_t(line - 1)].empty())
            set(line, m_text[std::size_t(line - 1)]);
}

} // namespace sonaveil::player
