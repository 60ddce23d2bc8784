#pragma once

#include "player/app/tinnituswindow.h"

#include <QLocale>
#include <QString>

#include <cmath>

// Wordings the tinnitus window shares between its pages and its printed report.
namespace sonaveil::player::tinnitustext {

inline QString hzText(double hz)
{
    return hz < 1000 ? TinnitusWindow::tr("%1 Hz").arg(std::lround(hz))
                     : TinnitusWindow::tr("%1 kHz").arg(QLocale().toString(hz / 1000.0, 'f', hz < 10000 ? 2 : 1));
}

inline QString dbText(double db)
{
    return TinnitusWindow::tr("%1 dB").arg(QLocale().toString(db, 'f', 0));
}

inline QString earText(Ear ear)
{
    return ear == Ear::Left ? TinnitusWindow::tr("left ear") : ear == Ear::Right ? TinnitusWindow::tr("right ear") : TinnitusWindow::tr("both ears");
}

} // namespace sonaveil::player::tinnitustext
