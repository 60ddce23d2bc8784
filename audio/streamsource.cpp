#include "audio/streamsource.h"

#include "audio/safesoundfile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace sonaveil::audio {

namespace {

constexpr int kMaxRate = 192000;
// Room for what is kept for the interpolation plus two reads.
constexpr int kPendingCapacity = 2 * StreamSource::kBlock + 8;

std::uint64_t splitmix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Catmull-Rom through four neighbours, at fraction t between the middle two.
float cubic(float y0, float y1, float y2, float y3, float t)
{
    const float a = -0.5f * y0 + 1.5f * y1 - 1.5f * y2 + 0.5f * y3;
    const float b = y0 - 2.5f * y1 + 2.0f * y2 - 0.5f * y3;
    const float c = -0.5f * y0 + 0.5f * y2;
    return ((a * t + b) * t + c) * t + y1;
}

} // namespace

void seamGains(int i, int n, float correlation, float& fadingOut, float& fadingIn)
{
    const float rho = std::clamp(correlation, -0.5f, 1.0f);
    const float theta = (float(i) + 0.5f) / float(std::max(n, 1)) * float(std::numbers::pi / 2.0);
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    const float g = 1.0f / std::sqrt(1.0f + 2.0f * rho * c * s);
    fadingOut = c * g;
    fadingIn = s * g;
}

TrackOrder::TrackOrder(int count, bool shuffle, std::uint64_t seed)
    : m_shuffle(shuffle)
    , m_state(seed)
{
    m_round.resize(std::size_t(std::max(count, 0)));
    deal();
}

void TrackOrder::deal()
{
    for (std::size_t i = 0; i < m_round.size(); ++i)
        m_round[i] = int(i);
    if (m_shuffle && m_round.size() > 1) {
        for (std::size_t i = m_round.size() - 1; i > 0; --i)
            std::swap(m_round[i], m_round[splitmix(m_state) % (i + 1)]);
        // The round's first track is not the one the last round ended with.
        if (m_round.front() == m_last)
            std::swap(m_round.front(), m_round.back());
    }
    m_at = 0;
}

int TrackOrder::next()
{
    if (m_round.empty())
        return -1;
    if (m_at == m_round.size())
        deal();
    m_last = m_round[m_at++];
    return m_last;
}

StreamSource::StreamSource()
    : m_status(std::make_shared<StreamStatus>())
    , m_file(std::make_unique<SafeSoundFile>())
    , m_interleaved(std::size_t(kBlock) * kMaxChannels)
    , m_pending(kPendingCapacity, 0.0f)
{
    // One silent frame before the first: the interpolation's neighbour.
    m_pendingCount = 1;
    m_phase = 1.0;
}

StreamSource::~StreamSource() = default;

std::unique_ptr<StreamSource> StreamSource::file(const std::string& path, const LoopSeam& seam,
                                                 std::shared_ptr<StreamStatus> status)
{
    std::unique_ptr<StreamSource> source(new StreamSource);
    if (status)
        source->m_status = std::move(status);
    *source->m_file = SafeSoundFile::open(path);
    if (!*source->m_file)
        return nullptr;
    const SF_INFO& info = source->m_file->info();
    // The seam's end is the length the file was found to have when it was added; the header's
    // (an estimate for MP3) only stands in when none is known.
    const std::int64_t frames = seam.end > 0 ? seam.end : std::int64_t(info.frames);
    if (frames <= 0)
        return nullptr;
    LoopSeam s = seam;
    s.end = frames;
    s.fade = std::max(0, s.fade);
    if (s.start < s.fade || s.start >= s.end || s.end - s.start <= s.fade) {
        s.fade = int(std::min<std::int64_t>(s.fade, frames / 4));
        s.start = s.fade;
    }
    source->m_seam = s;
    source->m_rate = info.samplerate;
    source->m_fileRate = info.samplerate;
    source->m_status->track.store(0, std::memory_order_relaxed);
    if (s.fade > 0) {
        source->m_lead = readMonoFloats(path, s.start - s.fade, s.fade);
        if (int(source->m_lead.size()) != s.fade)
            return nullptr;
    }
    return source;
}

std::unique_ptr<StreamSource> StreamSource::playlist(const std::vector<std::string>& tracks, bool shuffle,
                                                     std::uint64_t seed, std::shared_ptr<StreamStatus> status)
{
    std::unique_ptr<StreamSource> source(new StreamSource);
    if (status)
        source->m_status = std::move(status);
    int rate = 0;
    for (const std::string& track : tracks)
        if (const auto info = probeSoundFile(track))
            rate = std::max(rate, std::min(info->rate, kMaxRate));
    if (rate <= 0)
        return nullptr;
    source->m_rate = rate;
    source->m_tracks = tracks;
    source->m_order = std::make_unique<TrackOrder>(int(tracks.size()), shuffle, seed);
    return source;
}

void StreamSource::fail()
{
    m_failed = true;
    m_file->reset();
    m_status->failed.store(true, std::memory_order_release);
}

int StreamSource::readMono(float* out, int frames)
{
    const int channels = m_file->info().channels;
    const int most = kBlock * kMaxChannels / std::max(channels, 1);
    frames = std::min({frames, most, kBlock});
    const sf_count_t got = sf_readf_float(m_file->get(), m_interleaved.data(), frames);
    if (got <= 0)
        return 0;
    if (channels == 1) {
        std::memcpy(out, m_interleaved.data(), std::size_t(got) * sizeof(float));
    } else {
        const float scale = 1.0f / float(channels);
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < channels; ++c)
                sum += m_interleaved[std::size_t(f * channels + c)];
            out[f] = sum * scale;
        }
    }
    return int(got);
}

bool StreamSource::readLooped()
{
    const LoopSeam& s = m_seam;
    if (m_position >= s.end) {
        if (sf_seek(m_file->get(), s.start, SEEK_SET) != s.start)
            return false;
        m_position = s.start;
    }
    const std::int64_t fadeFrom = s.end - s.fade;
    const std::int64_t limit = m_position < fadeFrom ? fadeFrom : s.end;
    const int want = int(std::min<std::int64_t>(kBlock, limit - m_position));
    float* out = m_pending.data() + m_pendingCount;
    const int got = readMono(out, want);
    // The file ends before the length it had: it was cut short or damaged since it was added.
    if (got <= 0)
        return false;
    if (m_position >= fadeFrom) {
        for (int j = 0; j < got; ++j) {
            const int i = int(m_position - fadeFrom) + j;
            float a = 1.0f, b = 0.0f;
            seamGains(i, s.fade, s.correlation, a, b);
            out[j] = a * out[j] + b * m_lead[std::size_t(i)];
        }
    }
    m_position += got;
    m_pendingCount += got;
    return true;
}

bool StreamSource::openNextTrack()
{
    m_file->reset();
    for (std::size_t tries = 0; tries < m_tracks.size(); ++tries) {
        const int index = m_order->next();
        *m_file = SafeSoundFile::open(m_tracks[std::size_t(index)]);
        if (!*m_file)
            continue;
        m_fileRate = m_file->info().samplerate;
        m_nextStep = double(m_fileRate) / double(m_rate);
        m_switchAt = m_pendingCount;
        m_status->track.store(index, std::memory_order_release);
        return true;
    }
    return false;
}

bool StreamSource::readListed()
{
    // Each track may turn out empty; a whole round of them means nothing can be read.
    for (std::size_t empty = 0; empty <= m_tracks.size(); ++empty) {
        if (*m_file) {
            const int got = readMono(m_pending.data() + m_pendingCount, kBlock);
            if (got > 0) {
                m_pendingCount += got;
                return true;
            }
        }
        if (!openNextTrack())
            return false;
    }
    return false;
}

bool StreamSource::readMore()
{
    // Keep the frame before the position and what follows it; drop the rest.
    const int keepFrom = std::max(0, int(m_phase) - 1);
    if (keepFrom > 0) {
        std::memmove(m_pending.data(), m_pending.data() + keepFrom,
                     std::size_t(m_pendingCount - keepFrom) * sizeof(float));
        m_pendingCount -= keepFrom;
        m_phase -= keepFrom;
        if (m_switchAt >= 0)
            m_switchAt = std::max(0, m_switchAt - keepFrom);
    }
    return m_order ? readListed() : readLooped();
}

void StreamSource::generate(SourceFrame* out, int frames)
{
    int k = 0;
    while (k < frames) {
        if (m_failed) {
            std::fill(out + k, out + frames, SourceFrame(0));
            return;
        }
        const int i = int(m_phase);
        if (i + 2 >= m_pendingCount) {
            if (!readMore())
                fail();
            continue;
        }
        const float t = float(m_phase - double(i));
        if (t == 0.0f && m_step == 1.0 && m_switchAt < 0) {
            // A file at the mix's rate: its frames as they are, a run at a time.
            const int run = std::min(frames - k, m_pendingCount - 2 - i);
            const float* from = m_pending.data() + i;
            for (int j = 0; j < run; ++j)
                out[k + j] = toSourceFrame(from[j]);
            k += run;
            m_phase += double(run);
            continue;
        }
        const float y = t == 0.0f ? m_pending[std::size_t(i)]
                                  : cubic(m_pending[std::size_t(i - 1)], m_pending[std::size_t(i)],
                                          m_pending[std::size_t(i + 1)], m_pending[std::size_t(i + 2)], t);
        out[k++] = toSourceFrame(y);
        m_phase += m_step;
        if (m_switchAt >= 0 && m_phase >= double(m_switchAt)) {
            // Into the next track: the rest of the step at its rate.
            m_phase = double(m_switchAt) + (m_phase - double(m_switchAt)) * (m_nextStep / m_step);
            m_step = m_nextStep;
            m_switchAt = -1;
        }
    }
}

} // namespace sonaveil::audio
