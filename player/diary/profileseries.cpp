#include "player/diary/profileseries.h"

#include <cmath>
#include <map>
#include <optional>

namespace sonaveil::player::profileseries {

QList<QPointF> audiogram(const QList<MeasureRecord>& measures, MeasureRecord::Ear ear)
{
    std::map<long, std::optional<double>> latest;
    for (const MeasureRecord& m : measures)
        if (m.kind == MeasureRecord::Kind::Threshold && m.ear == ear)
            latest[std::lround(m.hz)] = m.value;
    QList<QPointF> out;
    for (const auto& [hz, db] : latest)
        if (db)
            out.append(QPointF(double(hz), *db));
    return out;
}

QList<QPointF> overTime(const QList<MeasureRecord>& measures, MeasureRecord::Kind kind)
{
    QList<QPointF> out;
    for (const MeasureRecord& m : measures)
        if (m.kind == kind && m.value) {
            const double v = m.aboveThreshold ? *m.aboveThreshold : *m.value;
            out.append(QPointF(double(m.at.toMSecsSinceEpoch()), v));
        }
    return out;
}

QList<QPointF> ratings(const QList<DiaryEntry>& entries, Rating rating)
{
    QList<QPointF> out;
    for (const DiaryEntry& e : entries) {
        const double x = double(e.at.toMSecsSinceEpoch());
        if (rating == Rating::Loudness)
            out.append(QPointF(x, e.loudness));
        else if (rating == Rating::Bother)
            out.append(QPointF(x, e.bother));
        else if (e.sleep)
            out.append(QPointF(x, *e.sleep));
    }
    return out;
}

} // namespace sonaveil::player::profileseries
