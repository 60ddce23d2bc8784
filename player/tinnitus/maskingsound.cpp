#include "player/tinnitus/maskingsound.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace sonaveil::player {

std::vector<MaskingSound::Threshold> MaskingSound::betterEar(const std::vector<Threshold>& left,
                                                             const std::vector<Threshold>& right)
{
    std::map<long, double> best;
    for (const auto* ear : {&left, &right})
        for (const Threshold& t : *ear) {
            const long key = std::lround(t.hz);
            const auto it = best.find(key);
            if (it == best.end() || t.db < it->second)
                best[key] = t.db;
        }
    std::vector<Threshold> out;
    for (const auto& [hz, db] : best)
        out.push_back({double(hz), db});
    return out;
}

double MaskingSound::curveAt(const std::vector<Threshold>& curve, double hz)
{
    std::vector<Threshold> sorted = curve;
    std::sort(sorted.begin(), sorted.end(), [](const Threshold& a, const Threshold& b) { return a.hz < b.hz; });
    if (hz <= sorted.front().hz)
        return sorted.front().db;
    if (hz >= sorted.back().hz)
        return sorted.back().db;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (hz <= sorted[i].hz) {
            const Threshold& a = sorted[i - 1];
            const Threshold& b = sorted[i];
            const double t = std::log2(hz / a.hz) / std::log2(b.hz / a.hz);
            return a.db + t * (b.db - a.db);
        }
    return sorted.back().db;
}

std::optional<MaskingSound> MaskingSound::make(const std::vector<Threshold>& curve, double maskingLevelDb, TestKind noise,
                                               std::optional<double> matchedHz, int masterPosition)
{
    if (curve.empty())
        return std::nullopt;
    MaskingSound m;
    m.sound = noise == TestKind::White ? kWhiteNoise : kPinkNoise;

    // Each band raised by how much weaker hearing is there than on average, so that the mean
    // gain is none and the level stays the one measured.
    std::array<double, 10> at{};
    double mean = 0;
    for (std::size_t b = 0; b < at.size(); ++b) {
        at[b] = curveAt(curve, EqualiserBands::kCentresHz[b]);
        mean += at[b] / double(at.size());
    }
    for (std::size_t b = 0; b < at.size(); ++b) {
        const int gain = int(std::lround(at[b] - mean));
        m.equaliser.positions[b] = std::clamp(EqualiserBands::kFlatPosition + gain, 0, 2 * EqualiserBands::kFlatPosition);
    }

    const double gain = std::pow(10.0, (maskingLevelDb - kSoundPeakDb) / 20.0);
    const double master = std::max(1, masterPosition) / 100.0;
    m.volumePosition = std::clamp(int(std::lround(255.0 * gain / master)), 1, 255);
    m.notchHz = matchedHz;
    return m;
}

} // namespace sonaveil::player
