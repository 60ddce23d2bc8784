#pragma once

#include "player/diary/diarystore.h"

#include <QList>
#include <QPointF>

namespace sonaveil::player {

// The plots' data, from the diary: points ready for a chart or a table.
namespace profileseries {

// The latest threshold at each pitch in one ear: (Hz, dB), by pitch; pitches not heard are left out.
QList<QPointF> audiogram(const QList<MeasureRecord>& measures, MeasureRecord::Ear ear);
// One measure over time: (ms since the epoch, value). Loudness and masking give their dB above
// the threshold when it was known, else their level; residual inhibition its seconds; the
// pitch its hertz.
QList<QPointF> overTime(const QList<MeasureRecord>& measures, MeasureRecord::Kind kind);

enum class Rating { Loudness, Bother, Sleep };
// One rating of the entries over time: (ms since the epoch, 0 … 10); sleep from mornings only.
QList<QPointF> ratings(const QList<DiaryEntry>& entries, Rating rating);

} // namespace profileseries

} // namespace sonaveil::player
