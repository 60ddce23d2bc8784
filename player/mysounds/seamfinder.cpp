#include "player/mysounds/seamfinder.h"

#include "audio/soundfile.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sonaveil::player {

namespace {

double dot(const float* a, const float* b, int n)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += double(a[i]) * double(b[i]);
    return sum;
}

} // namespace

audio::LoopSeam SeamFinder::find(std::span<const float> head, std::span<const float> tail, std::int64_t tailStart,
                                 std::int64_t frames, int rate)
{
    audio::LoopSeam plain;
    plain.start = 0;
    plain.end = frames;
    const int fade = int(std::min<std::int64_t>(std::lround(kFadeSeconds * rate), frames / 4));
    if (fade < 16 || std::int64_t(head.size()) < fade)
        return plain;

    // Candidate ends: from `earliest` to the sound's end, each one's window [end - fade, end)
    // lying inside `tail`, and the loop at least three fades long.
    const std::int64_t search = std::min<std::int64_t>(std::lround(kSearchSeconds * rate), frames / 4);
    const std::int64_t earliest = std::max({frames - search, tailStart + fade, std::int64_t(3) * fade});
    if (earliest > frames)
        return plain;

    const float* h = head.data();
    const double headEnergy = dot(h, h, fade);
    // Energies of every tail window from running sums of squares.
    std::vector<double> squares(tail.size() + 1, 0.0);
    for (std::size_t i = 0; i < tail.size(); ++i)
        squares[i + 1] = squares[i] + double(tail[i]) * double(tail[i]);

    auto score = [&](std::int64_t end, double* correlation) {
        const std::int64_t from = end - fade - tailStart;
        const double tailEnergy = squares[std::size_t(from + fade)] - squares[std::size_t(from)];
        if (headEnergy <= 0.0 || tailEnergy <= 0.0) {
            *correlation = 0.0;
            return tailEnergy <= 0.0 && headEnergy <= 0.0 ? 1.0 : 0.0;
        }
        *correlation = dot(h, tail.data() + from, fade) / std::sqrt(headEnergy * tailEnergy);
        const double level = std::min(headEnergy, tailEnergy) / std::max(headEnergy, tailEnergy);
        // Alike in shape and in level; an unrelated window of the same level still beats a
        // related one at another level.
        return (1.0 + *correlation) * 0.5 * level;
    };

    std::int64_t best = frames;
    double bestCorrelation = 0.0;
    double bestScore = score(frames, &bestCorrelation);
    constexpr int kCoarse = 8;
    for (std::int64_t end = frames - kCoarse; end >= earliest; end -= kCoarse) {
        double c = 0.0;
        if (const double s = score(end, &c); s > bestScore)
            best = end, bestScore = s, bestCorrelation = c;
    }
    for (std::int64_t end = std::max(earliest, best - kCoarse); end <= std::min(frames, best + kCoarse); ++end) {
        double c = 0.0;
        if (const double s = score(end, &c); s > bestScore)
            best = end, bestScore = s, bestCorrelation = c;
    }

    audio::LoopSeam seam;
    seam.start = fade;
    seam.end = best;
    seam.fade = fade;
    seam.correlation = float(bestCorrelation);
    return seam;
}

audio::LoopSeam SeamFinder::find(std::span<const float> frames, int rate)
{
    return find(frames, frames, 0, std::int64_t(frames.size()), rate);
}

std::optional<audio::LoopSeam> SeamFinder::findInFile(const std::string& path)
{
    const auto info = audio::probeSoundFile(path);
    if (!info)
        return std::nullopt;
    const int rate = info->rate;
    // An estimated length (MP3) is only learnt by decoding.
    const std::int64_t frames = info->exactLength ? info->frames : audio::decodedFrames(path);
    if (frames <= 0)
        return std::nullopt;
    if (double(frames) <= kWholeSeconds * rate) {
        const std::vector<float> whole = audio::readMonoFloats(path);
        // A file that decodes to less than its header says is damaged.
        if (whole.empty() || (info->exactLength && std::int64_t(whole.size()) < info->frames))
            return std::nullopt;
        return find(whole, rate);
    }
    const auto fade = std::int64_t(std::lround(kFadeSeconds * rate));
    const auto search = std::int64_t(std::lround(kSearchSeconds * rate));
    const std::vector<float> head = audio::readMonoFloats(path, 0, fade);
    const std::int64_t tailStart = std::max<std::int64_t>(0, frames - search - fade);
    const std::vector<float> tail = audio::readMonoFloats(path, tailStart, frames - tailStart);
    if (head.empty() || std::int64_t(tail.size()) != frames - tailStart)
        return std::nullopt;
    return find(head, tail, tailStart, frames, rate);
}

} // namespace sonaveil::player
