#pragma once

#include "lumidot/displaymodel.h"

#include <string>
#include <utility>
#include <vector>

namespace lumidot_test {

using namespace sonaveil::lumidot;

// Records what a display tells its host, in order.
struct Recorder : DisplayListener {
    std::vector<std::string> properties;
    std::vector<std::pair<int, sonaveil::ColorValue>> colors;
    std::vector<int> completed;
    int sizeChanges = 0;
    int presents = 0;
    std::vector<int> lastPresent;
    void propertyChanged(std::string_view name) override { properties.emplace_back(name); }
    void present(int x, int y, int w, int h) override
    {
        ++presents;
        lastPresent = {x, y, w, h};
    }
    void sizeChanged() override { ++sizeChanges; }
    void colorChanged(LCDColor which, sonaveil::ColorValue c) override { colors.emplace_back(int(which), c); }
    void animationComplete(int line) override { completed.push_back(line); }
};

// The dots of one dot row of a cell as '#' (lit) and '.' (unlit), read from the drawn image.
inline std::string dotRow(const DisplayModel& m, int row, int column, int dot)
{
    const int pitch = m.CellWidth() / 5;
    const int x0 = m.clientOrigin() + m.ColBorderSize() + column * (m.CellWidth() + m.Colspace());
    const int y0 = m.clientOrigin() + m.RowBorderSize() + row * (m.CellHeight() + m.Rowspace());
    std::string s;
    for (int c = 0; c < 5; ++c)
        s += m.pixel(x0 + c * pitch, y0 + dot * pitch) == pixelOf(m.ColorLCDon()) ? '#' : '.';
    return s;
}

inline std::vector<std::string> cellDots(const DisplayModel& m, int row, int column)
{
    std::vector<std::string> rows;
    for (int r = 0; r < 7; ++r)
        rows.push_back(dotRow(m, row, column, r));
    return rows;
}

} // namespace lumidot_test
