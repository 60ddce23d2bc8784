#pragma once

#include "audio/decodedcache.h"
#include "audio/generator.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace sonaveil::audio {

class StreamSource;

// A sound file looped whole, without a seam, as a StreamSource plays it, but read from its entry
// in a DecodedCache when there is one for the file as it is now: plain 16-bit frames, no decoding,
// a read of the batch asked for. Without an entry the file is streamed while the cache writes one,
// and the voice moves over to the entry, at the very frame it has reached, as soon as it is there.
// A read of the entry that fails (someone cut it short) goes back to the file at that frame.
class CachedLoop : public Generator {
public:
    ~CachedLoop() override;

    // Nothing when the file cannot be read as sound. Without a cache, the file is streamed.
    static std::unique_ptr<CachedLoop> make(const std::string& path, DecodedCache* cache);

    int rate() const override { return m_rate; }
    void generate(SourceFrame* out, int frames) override;

    // Whether the frames now come from the cache's entry.
    bool fromCache() const { return m_fd >= 0; }

private:
    CachedLoop() = default;
    void takeEntry();
    bool readEntry(SourceFrame* out, int frames);
    // Streams the file again from the frame the loop has reached.
    void backToFile(SourceFrame* scratch, int scratchFrames);

    std::string m_path;
    std::string m_entry;
    std::shared_ptr<std::atomic<bool>> m_written;
    std::unique_ptr<StreamSource> m_stream;
    int m_fd = -1;
    int m_rate = 0;
    std::int64_t m_frames = 0;   // the loop's length
    std::int64_t m_position = 0; // the loop's next frame
};

} // namespace sonaveil::audio
