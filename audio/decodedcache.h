#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace sonaveil::audio {

// A folder of sound files decoded once into plain 16-bit mono frames, so that a loop that plays
// all night is read, not decoded, every time round. An entry is the frames a StreamSource makes
// of the whole file looped without a seam, after a page that names its source and identifies
// the source as it was when decoded (size, modification time, file identity and, for FLAC, the
// MD5 of the audio its header carries): an entry whose source has changed since, or that is cut
// short, is never used.
//
// Entries are written on a thread of its own at the lowest priority, one file after another,
// under a temporary name renamed when complete. A folder that cannot be made or written (a full
// disk, a read-only home) just means no entry: the file is streamed as before.
class DecodedCache {
public:
    // Where an entry's frames begin: the page before them holds the header and the source's path.
    static constexpr std::int64_t kDataOffset = 4096;

    // An open entry: frame i is the 16-bit sample at kDataOffset + 2 i.
    struct Entry {
        int fd = -1;
        int rate = 0;
        std::int64_t frames = 0;
    };

    // `folder` need not exist yet.
    explicit DecodedCache(std::filesystem::path folder);
    // Stops the writer after the block it is at; an unfinished entry is removed.
    ~DecodedCache();
    DecodedCache(const DecodedCache&) = delete;
    DecodedCache& operator=(const DecodedCache&) = delete;

    // The user's cache folder: $XDG_CACHE_HOME/sonaveil, else ~/.cache/sonaveil.
    static std::filesystem::path userFolder();

    const std::filesystem::path& folder() const { return m_folder; }
    // The name of the entry of `source` (an absolute path, as played).
    std::string entryPath(const std::string& source) const;

    // The entry at `entry` when it was made from `source` as it is now, open for reading; fd -1
    // otherwise. Makes no allocation: a source worker may call it while it plays.
    static Entry openEntry(const char* entry, const char* source);

    // Writes the entry of `source` in the background unless it is there or under way; sets
    // `written` (when given) once the entry can be opened. A source that could not be written
    // in this run is not tried again.
    void fill(const std::string& source, std::shared_ptr<std::atomic<bool>> written = {});
    // Returns when nothing is queued or being written.
    void waitIdle();

private:
    struct Job {
        std::string source;
        std::shared_ptr<std::atomic<bool>> written;
    };

    void run();
    // Removes the entries whose source is gone or changed, and temporary files left behind.
    void sweep();
    bool write(const std::string& source);

    std::filesystem::path m_folder;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    std::set<std::string> m_failed;
    bool m_busy = false;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace sonaveil::audio
