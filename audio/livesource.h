#pragma once

#include "audio/generator.h"
#include "audio/sample.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace sonaveil::audio {

// A generator and the ring its frames go into: one thread (the source worker, or the caller of
// an offline render) runs the generator a batch at a time and writes; the mixer reads. Nothing
// is locked: the writer publishes how far it has written, the reader how far it reads and how
// far back it may still read again (a rewritten output queue re-mixes frames already read), and
// the writer never overwrites what the reader may still want.
//
// Frames are numbered from 0 (the generator's first); frames before 0 read as silence. Any
// kWindow frames in a row are contiguous in memory, the way the resampling kernel reads a
// sample's: the first kWindow slots of the ring are repeated after its end.
//
// The ring holds what the reader may read again and what is kept ahead, at the rate the voice
// really reads: a voice played faster needs more frames for the same time, so the writer (never
// the reader) moves the frames into a larger ring, and back into a smaller one when the voice
// slows down again. The reader may still be reading the ring it had; that one is freed once the
// reader has published a read position after the move.
class LiveSource {
public:
    static constexpr int kWindow = 4096;
    // Frames the writer keeps ready beyond where the reader is, in seconds of the source: more
    // than the output mixes at one time (its whole queue, after a rewrite), so that a refill
    // never waits for the generator. A voice that has not moved for a while (a new one, or all
    // of them after a pause) is mixed that far at once when the queue is rewritten.
    static constexpr double kAheadSeconds = 2.4;
    // What a rewritten output queue may read again, in seconds at the natural speed: the ring a
    // voice starts with holds this and the frames kept ahead.
    static constexpr double kRetainSeconds = 2.3;
    // The smallest and the largest ring, in frames.
    static constexpr std::int64_t kMinRingFrames = std::int64_t(1) << 16;
    static constexpr std::int64_t kMaxRingFrames = std::int64_t(1) << 21;
    // The writer runs a generator for this long at a time.
    static constexpr double kBatchSeconds = 0.3;
    // A new voice waits until this much is made: a rewritten output queue mixes that much of it
    // at once.
    static constexpr double kStartSeconds = 0.6;

    explicit LiveSource(std::unique_ptr<Generator> generator);
    ~LiveSource();
    LiveSource(const LiveSource&) = delete;
    LiveSource& operator=(const LiveSource&) = delete;

    int rate() const { return m_rate; }
    // Frames the ring holds now (the writer's, or a test's, view).
    std::int64_t capacity() const { return m_ring.load(std::memory_order_relaxed)->frames; }
    // Frames a new voice waits for before it starts.
    std::int64_t startFrames() const { return m_start; }

    // Writer: makes up to `maxFrames` of the frames wanted now; returns how many it made. May
    // block as long as the generator blocks.
    int fill(int maxFrames);
    // Writer: frames the ring would take now (up to the reader's frame + the frames kept ahead).
    std::int64_t wanted() const;
    // Writer (offline): makes frames until `frame` - 1 is written, or the largest ring is full.
    void fillTo(std::int64_t frame);

    // Reader: frames 0 … written() - 1 have been made.
    std::int64_t written() const { return m_written.load(std::memory_order_acquire); }
    // Reader: frame `first` (at least -kMarginBefore before what is retained), followed by the
    // kWindow - 1 frames after it, contiguous.
    const SourceFrame* window(std::int64_t first) const
    {
        // Pairs with the writer's store of a moved ring (see retireOldRing()).
        const Ring* ring = m_ring.load(std::memory_order_seq_cst);
        return ring->slots.get() + ring->slot(first);
    }
    // Reader: where it reads now, the oldest frame it may read again and how fast it reads
    // (frames of the source per output frame, 32.32). Returns true when the writer should be
    // woken (the ring has run low and nobody asked yet).
    bool setReadPosition(std::int64_t frame, std::int64_t retainFrom, std::uint64_t step);
    std::int64_t readPosition() const { return m_read.load(std::memory_order_relaxed); }

    // Frames the generator has made since the start.
    std::int64_t totalGenerated() const { return m_written.load(std::memory_order_relaxed); }
    // Writer: the reader asked for more and has not been answered.
    bool takeWakeRequest() { return m_wakeAsked.exchange(false, std::memory_order_acq_rel); }

private:
    struct Ring {
        explicit Ring(std::int64_t count);
        std::int64_t slot(std::int64_t frame) const
        {
            const std::int64_t at = frame % frames;
            return at < 0 ? at + frames : at;
        }
        // Writes frames `first` … `first` + n - 1, the first kWindow slots again after the end.
        void store(std::int64_t first, const SourceFrame* from, std::int64_t n);

        std::int64_t frames;
        std::unique_ptr<SourceFrame[]> slots; // frames + kWindow, zero at first
    };

    // Runs the generator for `n` frames (at most Generator::kMaxFrames) into the ring.
    void makeFrames(int n);
    // Writer: frames kept ahead of the reader at its present speed.
    std::int64_t aheadFrames() const;
    // Writer: moves the frames into a ring that holds what is retained up to `end` - 1, when
    // the present one is too small for it or far larger than it needs. A rewind moves the
    // retained frame back for a while, but never past what the ring still holds: that alone
    // is no reason to move.
    void fitRing(std::int64_t end);
    // Writer: frees a ring the frames were moved out of, once the reader cannot be using it.
    void retireOldRing();

    std::unique_ptr<Generator> m_generator;
    int m_rate = 0;
    std::int64_t m_ahead = 0; // frames kept ready beyond the reader
    std::int64_t m_lowMark = 0; // below this many frames ready, the reader wakes the writer
    std::int64_t m_start = 0;
    std::int64_t m_startRing = 0; // the ring a voice starts with; never made smaller than this
    std::atomic<Ring*> m_ring{nullptr}; // owned
    std::unique_ptr<Ring> m_oldRing;    // moved out of, freed once the reader publishes again
    std::uint64_t m_oldRingUntil = 0;   // ... a read serial beyond this one
    std::vector<SourceFrame> m_batch;   // the writer's scratch, Generator::kMaxFrames frames
    alignas(64) std::atomic<std::int64_t> m_written{0};
    alignas(64) std::atomic<std::int64_t> m_read{0};
    std::atomic<std::uint64_t> m_readSerial{0}; // read positions published so far
    std::atomic<std::int64_t> m_retainFrom{-Sample::kMarginBefore};
    std::atomic<std::uint64_t> m_step{std::uint64_t(1) << 32};
    std::atomic<bool> m_wakeAsked{false};
};

} // namespace sonaveil::audio
