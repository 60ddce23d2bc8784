#include "audio/decodedcache.h"

#include "audio/generator.h"
#include "audio/soundfile.h"
#include "audio/streamsource.h"
#include "common/atomicfile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sonaveil::audio {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'S', 'V', 'P', 'C', 'M', '1', '6', '\n'};
constexpr const char* kEntrySuffix = ".pcm";
constexpr const char* kTemporaryMark = ".pcm.tmp-";

// What identifies a source file's content without reading it all.
struct SourceKey {
    std::uint64_t size = 0;
    std::uint64_t seconds = 0;
    std::uint64_t nanoseconds = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    // The MD5 of the decoded audio a FLAC file's header carries; zeros for other files.
    std::uint8_t signature[16] = {};

    bool operator==(const SourceKey&) const = default;
};

struct Header {
    char magic[8];
    SourceKey key;
    std::int32_t rate;
    std::uint32_t pathBytes;
    std::int64_t frames;
};
static_assert(sizeof(Header) == 80);

constexpr std::size_t kMaxPathBytes = std::size_t(DecodedCache::kDataOffset) - sizeof(Header);

bool keyOf(const char* source, SourceKey& key)
{
    struct stat st {};
    if (::stat(source, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    key = SourceKey{};
    key.size = std::uint64_t(st.st_size);
    key.seconds = std::uint64_t(st.st_mtim.tv_sec);
    key.nanoseconds = std::uint64_t(st.st_mtim.tv_nsec);
    key.inode = std::uint64_t(st.st_ino);
    key.device = std::uint64_t(st.st_dev);
    // "fLaC", then the first metadata block, which is always the 34-byte STREAMINFO; the MD5
    // is its last 16 bytes.
    const int fd = ::open(source, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char head[42];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    if (got == ssize_t(sizeof head) && std::memcmp(head, "fLaC", 4) == 0 && (head[4] & 0x7f) == 0
        && head[5] == 0 && head[6] == 0 && head[7] == 34)
        std::memcpy(key.signature, head + 26, sizeof key.signature);
    return true;
}

std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const unsigned char c : text)
        hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

} // namespace

DecodedCache::DecodedCache(fs::path folder)
    : m_folder(std::move(folder))
{
}

DecodedCache::~DecodedCache()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

fs::path DecodedCache::userFolder()
{
    // A relative $XDG_CACHE_HOME is ignored, as the desktop does.
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && fs::path(cache).is_absolute())
        return fs::path(cache) / "sonaveil";
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) / ".cache/sonaveil" : fs::path();
}

std::string DecodedCache::entryPath(const std::string& source) const
{
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(fnv1a(source)));
    return (m_folder / (std::string(name) + kEntrySuffix)).string();
}

DecodedCache::Entry DecodedCache::openEntry(const char* entry, const char* source)
{
    SourceKey key;
    const std::size_t pathBytes = std::strlen(source);
    if (pathBytes > kMaxPathBytes || !keyOf(source, key))
        return {};
    const int fd = ::open(entry, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    Header header{};
    char storedPath[kMaxPathBytes];
    struct stat st {};
    const bool valid = ::pread(fd, &header, sizeof header, 0) == ssize_t(sizeof header)
                    && std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 && header.key == key
                    && header.rate > 0 && header.rate <= 1'000'000 && header.frames > 0
                    && header.pathBytes == pathBytes
                    && ::pread(fd, storedPath, pathBytes, sizeof header) == ssize_t(pathBytes)
                    && std::memcmp(storedPath, source, pathBytes) == 0 && ::fstat(fd, &st) == 0
                    && S_ISREG(st.st_mode) && st.st_size == kDataOffset + 2 * header.frames;
    if (!valid) {
        ::close(fd);
        return {};
    }
    return Entry{fd, header.rate, header.frames};
}

void DecodedCache::fill(const std::string& source, std::shared_ptr<std::atomic<bool>> written)
{
    if (m_folder.empty())
        return;
    std::lock_guard lock(m_mutex);
    if (m_stopping || m_failed.count(source))
        return;
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_jobs.push_back(Job{source, std::move(written)});
    m_wake.notify_one();
}

void DecodedCache::waitIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return (m_jobs.empty() && !m_busy) || !m_thread.joinable(); });
}

void DecodedCache::run()
{
    // Decoding competes with nothing the user hears or sees: the lowest priority, for this
    // thread alone.
    ::setpriority(PRIO_PROCESS, ::gettid(), 19);
    sweep();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_stopping)
            break;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        const std::string entry = entryPath(job.source);
        Entry there = openEntry(entry.c_str(), job.source.c_str());
        const bool ok = there.fd >= 0 || write(job.source);
        if (there.fd >= 0)
            ::close(there.fd);
        if (ok && job.written)
            job.written->store(true, std::memory_order_release);
        lock.lock();
        if (!ok)
            m_failed.insert(job.source);
        m_busy = false;
        m_idle.notify_all();
    }
    m_jobs.clear();
    m_busy = false;
    m_idle.notify_all();
}

void DecodedCache::sweep()
{
    std::error_code ec;
    for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (const auto mark = name.find(kTemporaryMark); mark != std::string::npos) {
            // Left by a run that ended while writing it, unless that run is still going.
            const int pid = std::atoi(name.c_str() + mark + std::strlen(kTemporaryMark));
            if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
                fs::remove(it->path(), ec);
            continue;
        }
        if (name.size() <= std::strlen(kEntrySuffix) || !name.ends_with(kEntrySuffix))
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        Header header{};
        std::string source(kMaxPathBytes, '\0');
        bool stale = ::pread(fd, &header, sizeof header, 0) != ssize_t(sizeof header)
                  || std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.pathBytes > kMaxPathBytes;
        if (!stale) {
            source.resize(header.pathBytes);
            stale = ::pread(fd, source.data(), source.size(), sizeof header) != ssize_t(source.size());
        }
        ::close(fd);
        SourceKey key;
        if (stale || !keyOf(source.c_str(), key) || !(key == header.key))
            fs::remove(it->path(), ec);
        ec.clear();
    }
}

bool DecodedCache::write(const std::string& source)
{
    SourceKey before;
    if (source.size() > kMaxPathBytes || !keyOf(source.c_str(), before))
        return false;
    // Only a length the header gives exactly: the entry's is the loop's.
    const auto info = probeSoundFile(source);
    if (!info || !info->exactLength)
        return false;
    auto status = std::make_shared<StreamStatus>();
    auto stream = StreamSource::file(source, LoopSeam{}, status);
    if (!stream)
        return false;
    const std::int64_t frames = stream->seam().end - stream->seam().start;

    std::error_code ec;
    fs::create_directories(m_folder, ec);
    const std::string entry = entryPath(source);
    const std::string temporary = entry + ".tmp-" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;

    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.key = before;
    header.rate = stream->rate();
    header.pathBytes = std::uint32_t(source.size());
    header.frames = frames;
    std::string page(std::size_t(kDataOffset), '\0');
    std::memcpy(page.data(), &header, sizeof header);
    std::memcpy(page.data() + sizeof header, source.data(), source.size());
    bool ok = writeAll(fd, page);

    // The frames exactly as the stream makes them: the entry plays what the file would.
    std::vector<SourceFrame> block(std::size_t(Generator::kMaxFrames));
    for (std::int64_t done = 0; ok && done < frames;) {
        const int n = int(std::min<std::int64_t>(Generator::kMaxFrames, frames - done));
        stream->generate(block.data(), n);
        const std::string_view bytes(reinterpret_cast<const char*>(block.data()), std::size_t(n) * sizeof(SourceFrame));
        ok = !m_stopping && !status->failed.load(std::memory_order_acquire) && writeAll(fd, bytes);
        done += n;
    }
    SourceKey after;
    ok = ok && keyOf(source.c_str(), after) && after == before && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok && ::rename(temporary.c_str(), entry.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace sonaveil::audio
