#pragma once

#include <QPainterPath>
#include <QString>

namespace sonaveil::artwork {

// Outline centre lines of a small monoline alphabet, meant to be stroked with a round pen.
// Units: the x-height is 1, capitals and ascenders are 1.4 high; y grows downwards and the
// baseline is at y = 0. Only the letters of the program's name are drawn: S a e i l n o v.
struct Lettering {
    QPainterPath path;   // centre lines of every letter, side by side
    double advance = 0;  // width from the first letter's left edge to the last one's right edge
};

// Lays out `text` with `spacing` units between letters; unknown characters are left out.
Lettering letter(const QString& text, double spacing = 0.3);

} // namespace sonaveil::artwork
