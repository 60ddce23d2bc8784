#include "audio/cachedloop.h"

#include "audio/streamsource.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace sonaveil::audio {

CachedLoop::~CachedLoop()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::unique_ptr<CachedLoop> CachedLoop::make(const std::string& path, DecodedCache* cache)
{
    std::unique_ptr<CachedLoop> loop(new CachedLoop);
    loop->m_path = path;
    if (cache) {
        loop->m_entry = cache->entryPath(path);
        const DecodedCache::Entry entry = DecodedCache::openEntry(loop->m_entry.c_str(), path.c_str());
        if (entry.fd >= 0) {
            loop->m_fd = entry.fd;
            loop->m_rate = entry.rate;
            loop->m_frames = entry.frames;
            return loop;
        }
    }
    loop->m_stream = StreamSource::file(path, LoopSeam{});
    if (!loop->m_stream)
        return nullptr;
    loop->m_rate = loop->m_stream->rate();
    loop->m_frames = loop->m_stream->seam().end - loop->m_stream->seam().start;
    if (cache) {
        loop->m_written = std::make_shared<std::atomic<bool>>(false);
        cache->fill(path, loop->m_written);
    }
    return loop;
}

void CachedLoop::takeEntry()
{
    m_written.reset();
    const DecodedCache::Entry entry = DecodedCache::openEntry(m_entry.c_str(), m_path.c_str());
    if (entry.fd < 0)
        return;
    // Written from the file as it is now, which is not the one this voice opened: keep streaming.
    if (entry.frames != m_frames || entry.rate != m_rate) {
        ::close(entry.fd);
        return;
    }
    m_fd = entry.fd;
    m_stream.reset();
}

bool CachedLoop::readEntry(SourceFrame* out, int frames)
{
    const std::int64_t start = m_position;
    for (int k = 0; k < frames;) {
        const int n = int(std::min<std::int64_t>(frames - k, m_frames - m_position));
        char* at = reinterpret_cast<char*>(out + k);
        std::size_t bytes = std::size_t(n) * sizeof(SourceFrame);
        off_t offset = off_t(DecodedCache::kDataOffset + m_position * std::int64_t(sizeof(SourceFrame)));
        while (bytes > 0) {
            const ssize_t got = ::pread(m_fd, at, bytes, offset);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                m_position = start;
                return false;
            }
            at += got;
            offset += got;
            bytes -= std::size_t(got);
        }
        k += n;
        m_position = (m_position + n) % m_frames;
    }
    return true;
}

void CachedLoop::backToFile(SourceFrame* scratch, int scratchFrames)
{
    ::close(m_fd);
    m_fd = -1;
    m_stream = StreamSource::file(m_path, LoopSeam{});
    if (m_stream && m_stream->seam().end - m_stream->seam().start != m_frames)
        m_stream.reset();
    for (std::int64_t skip = m_position; m_stream && skip > 0;) {
        const int n = int(std::min<std::int64_t>(skip, scratchFrames));
        m_stream->generate(scratch, n);
        skip -= n;
    }
}

void CachedLoop::generate(SourceFrame* out, int frames)
{
    if (m_written && m_written->load(std::memory_order_acquire))
        takeEntry();
    if (m_fd >= 0) {
        if (readEntry(out, frames))
            return;
        backToFile(out, frames);
    }
    if (!m_stream) {
        std::fill(out, out + frames, SourceFrame(0));
        return;
    }
    m_stream->generate(out, frames);
    m_position = (m_position + frames) % m_frames;
}

} // namespace sonaveil::audio
