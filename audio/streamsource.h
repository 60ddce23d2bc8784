#pragma once

#include "audio/generator.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sonaveil::audio {

class SafeSoundFile;

// Where a looped file joins its end to its start. The loop plays frames start … end - 1 and then
// wraps to start; over its last `fade` frames the end fades out while the `fade` frames before
// start fade in, so the wrap lands on the very frame that follows what was fading in. A file
// that is not trimmed (start = fade, end = the file's length) loses only its first `fade` frames
// as a lead-in.
struct LoopSeam {
    std::int64_t start = 0;
    std::int64_t end = 0; // 0: the end of the file
    int fade = 0;
    // Of the two windows that fade into each other: the gains keep the power constant for it
    // (0: unrelated sound, the plain equal-power law; near 1: alike, nearly equal gains).
    float correlation = 0.0f;

    bool operator==(const LoopSeam&) const = default;
};

// The gains of the two windows at frame i of a seam's fade of n frames: out = a·end + b·start,
// with a² + b² + 2ρab = 1, so that the sum keeps the power of either window.
void seamGains(int i, int n, float correlation, float& fadingOut, float& fadingIn);

// A sample (-1 … 1) as a 16-bit frame: scaled by 32768, rounded half away from zero as
// std::lround rounds, and held to the 16-bit range; inline, without the library call lround
// costs for every frame. The scaled float and that plus a half are exact in a double.
inline std::int16_t toSourceFrame(float y)
{
    const double scaled = double(y * 32768.0f);
    const double rounded = scaled + (scaled >= 0.0 ? 0.5 : -0.5);
    return std::int16_t(rounded >= 32767.0 ? 32767.0 : rounded <= -32768.0 ? -32768.0 : rounded);
}

// What a streamed voice tells the interface thread while it plays.
struct StreamStatus {
    // The file vanished, was damaged, or no track of the list could be read: the voice is silent.
    std::atomic<bool> failed{false};
    // The track that plays now (its index in the list given), -1 before the first.
    std::atomic<int> track{-1};
};

// The order of a list's tracks, round after round without end: in order, or shuffled anew for
// every round (never the same track twice in a row across rounds).
class TrackOrder {
public:
    TrackOrder(int count, bool shuffle, std::uint64_t seed);
    // The next track's index.
    int next();

private:
    void deal();

    std::vector<int> m_round;
    std::size_t m_at = 0;
    bool m_shuffle = false;
    std::uint64_t m_state = 0;
    int m_last = -1;
};

// A voice's source read from disk as it plays, a little ahead, and never held whole: a single
// file looped over its seam, or a list of files played one after another without a gap and
// without end. Tracks of other rates than the first are resampled to it (by cubic interpolation:
// when rates differ the source plays at the highest of them, so tracks are only ever raised and
// what the interpolation adds lies above their own band, where the engine's kernel removes it).
// A file that can no longer be read (vanished, damaged) makes the voice silent and sets the
// status's flag; a track of a list that cannot be read is skipped. After the factory, generate()
// opens files (tracks of a list) and reads them, but never allocates.
class StreamSource : public Generator {
public:
    ~StreamSource() override;

    // A single file looping over `seam`. Nothing when the file cannot be read as sound.
    static std::unique_ptr<StreamSource> file(const std::string& path, const LoopSeam& seam,
                                              std::shared_ptr<StreamStatus> status = {});
    // `tracks` in turn; nothing when none of them can be read as sound.
    static std::unique_ptr<StreamSource> playlist(const std::vector<std::string>& tracks, bool shuffle,
                                                  std::uint64_t seed, std::shared_ptr<StreamStatus> status = {});

    int rate() const override { return m_rate; }
    void generate(SourceFrame* out, int frames) override;

    const StreamStatus& status() const { return *m_status; }
    // A single file's loop as it plays (its end the file's length when none was given).
    const LoopSeam& seam() const { return m_seam; }

    // Frames read ahead of the voice at most: what one read of the file brings.
    static constexpr int kBlock = 1024;
    static constexpr int kMaxChannels = 8;

private:
    StreamSource();
    // Appends source frames (at the current track's rate) to m_pending; false when nothing more
    // can come.
    bool readMore();
    bool readLooped();
    bool readListed();
    bool openNextTrack();
    int readMono(float* out, int frames);
    void fail();

    std::shared_ptr<StreamStatus> m_status;
    int m_rate = 0;
    bool m_failed = false;

    // The file or the track being read.
    std::unique_ptr<SafeSoundFile> m_file;
    int m_fileRate = 0;
    std::vector<float> m_interleaved; // kBlock × kMaxChannels

    // A looped file.
    LoopSeam m_seam;
    std::int64_t m_position = 0; // the next frame of the file to read
    std::vector<float> m_lead;   // the fade frames before the seam's start

    // A list.
    std::vector<std::string> m_tracks;
    std::unique_ptr<TrackOrder> m_order;

    // Source frames not yet used, at the current track's rate; the interpolation keeps one frame
    // before and two after its position.
    std::vector<float> m_pending;
    int m_pendingCount = 0;
    double m_phase = 0.0; // position in m_pending, frames
    double m_step = 1.0;  // source frames per output frame
    // Where in m_pending the next track's frames begin (-1: none pending) and its step: the
    // step changes when the position reaches that frame, not before.
    int m_switchAt = -1;
    double m_nextStep = 1.0;
};

} // namespace sonaveil::audio
