#include "lettering.h"

#include <QRectF>

namespace sonaveil::artwork {

namespace {

constexpr double kX = 1.0;  // x-height
constexpr double kCap = 1.4;

// Adds one letter whose left edge is at x; returns its width.
double addLetter(QPainterPath& p, QChar c, double x)
{
    switch (c.unicode()) {
    case 'S': {
        const double w = 0.82;
        const double half = kCap / 2;
        // Upper bowl from its upper right round to the middle, then the lower bowl the other way.
        const QRectF upper(x + 0.02, -kCap, w - 0.04, half);
        const QRectF lower(x, -half, w, half);
        p.arcMoveTo(upper, 35);
        p.arcTo(upper, 35, 235);
        p.arcTo(lower, 90, -235);
        return w;
    }
    case 'o': {
        const double w = 0.92;
        p.addEllipse(QRectF(x, -kX, w, kX));
        return w;
    }
    case 'a': {
        const double w = 0.88;
        p.addEllipse(QRectF(x, -kX, w - 0.02, kX));
        p.moveTo(x + w, -kX);
        p.lineTo(x + w, 0);
        return w;
    }
    case 'n': {
        const double w = 0.8;
        p.moveTo(x, -kX);
        p.lineTo(x, 0);
        const QRectF arch(x, -kX, w, w);
        p.arcMoveTo(arch, 180);
        p.arcTo(arch, 180, -180);
        p.lineTo(x + w, 0);
        return w;
    }
    case 'v': {
        const double w = 0.86;
        p.moveTo(x, -kX);
        p.lineTo(x + w / 2, 0);
        p.lineTo(x + w, -kX);
        return w;
    }
    case 'e': {
        const double w = 0.92;
        const QRectF bowl(x, -kX, w, kX);
        p.moveTo(x, -kX / 2);
        p.lineTo(x + w, -kX / 2);
        p.arcTo(bowl, 0, 315);
        return w;
    }
    case 'i': {
        p.moveTo(x, -kX);
        p.lineTo(x, 0);
        p.addEllipse(QRectF(x - 0.07, -kX - 0.42, 0.14, 0.14));
        return 0;
    }
    case 'l': {
        p.moveTo(x, -kCap);
        p.lineTo(x, 0);
        return 0;
    }
    default:
        return -1;
    }
}

} // namespace

Lettering letter(const QString& text, double spacing)
{
    Lettering out;
    double x = 0;
    bool first = true;
    for (QChar c : text) {
        const double start = first ? 0 : x + spacing;
        const double w = addLetter(out.path, c, start);
        if (w < 0)
            continue;
        x = start + w;
        first = false;
    }
    out.advance = x;
    return out;
}

} // namespace sonaveil::artwork
