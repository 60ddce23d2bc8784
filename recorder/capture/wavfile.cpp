#include "recorder/capture/wavfile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonaveil::recorder {

namespace {

// The largest sample count a WAV header can state.
constexpr std::uint64_t kMaxRiff = 0xFFFFFFFFull;

std::uint32_t le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void put16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

bool readAt(int fd, void* buffer, std::size_t count, std::uint64_t offset)
{
    return ::pread(fd, buffer, count, off_t(offset)) == ssize_t(count);
}

bool writeAll(int fd, const void* bytes, std::size_t count)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        count -= std::size_t(n);
    }
    return true;
}

// Whether a RIFF chunk header (a four-character id of printable characters and a length that
// fits the file) starts at `pos`. Bytes after a data chunk that are no chunk are samples written
// after the header was last brought up to date.
bool chunkAt(int fd, std::uint64_t pos, std::uint64_t size)
{
    unsigned char head[8];
    if (pos + 8 > size || !readAt(fd, head, 8, pos))
        return false;
    for (int i = 0; i < 4; ++i)
        if (head[i] < 0x20 || head[i] > 0x7E)
            return false;
    return pos + 8 + le32(head + 4) <= size;
}

std::optional<WavInfo> infoOf(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    const std::uint64_t size = std::uint64_t(st.st_size);
    unsigned char riff[12];
    if (!readAt(fd, riff, 12, 0) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;
    WavInfo info;
    bool haveFormat = false;
    std::uint64_t pos = 12;
    while (pos + 8 <= size) {
        unsigned char head[8];
        if (!readAt(fd, head, 8, pos))
            return std::nullopt;
        const std::uint64_t length = le32(head + 4);
        if (std::memcmp(head, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (length < 16 || !readAt(fd, fmt, 16, pos + 8))
                return std::nullopt;
            info.pcm = le16(fmt) == 1;
            info.format.channels = le16(fmt + 2);
            info.format.rate = int(le32(fmt + 4));
            info.format.bits = le16(fmt + 14);
            haveFormat = true;
        } else if (std::memcmp(head, "data", 4) == 0) {
            if (!haveFormat)
                return std::nullopt;
            info.dataOffset = pos + 8;
            const std::uint64_t present = size - info.dataOffset;
            // A header that lags behind (or a count of 0 from a writer that never finished) is
            // read as everything up to the end of the file when nothing follows the data.
            const std::uint64_t end = info.dataOffset + length + (length & 1);
            info.dataIsLast = end >= size || length == 0 || !chunkAt(fd, end, size);
            std::uint64_t bytes = info.dataIsLast ? present : std::min(length, present);
            const int align = info.format.blockAlign();
            if (align > 0)
                bytes -= bytes % std::uint64_t(align);
            info.dataBytes = bytes;
            return info;
        }
        pos += 8 + length + (length & 1);
    }
    return std::nullopt;
}

} // namespace

std::optional<WavInfo> readWavInfo(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    auto info = infoOf(fd);
    ::close(fd);
    return info;
}

WavWriter::~WavWriter()
{
    close();
}

WavWriter::Result WavWriter::open(const std::string& path, const WavFormat& format)
{
    close();
    m_format = format;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        const auto info = infoOf(fd);
        struct stat st {};
        const bool empty = ::fstat(fd, &st) == 0 && st.st_size == 0;
        if (!info && !empty) {
            ::close(fd);
            return Result::NotWav;
        }
        if (info) {
            if (!info->pcm || info->format != format) {
                ::close(fd);
                return Result::OtherFormat;
            }
            if (!info->dataIsLast) {
                ::close(fd);
                return Result::CannotExtend;
            }
            // A partial frame at the end (a cut-off write) is dropped so that frames stay aligned.
            if (::ftruncate(fd, off_t(info->dataOffset + info->dataBytes)) != 0
                || ::lseek(fd, 0, SEEK_END) < 0) {
                ::close(fd);
                return Result::WriteFailed;
            }
            m_fd = fd;
            m_dataOffset = info->dataOffset;
            m_dataBytes = info->dataBytes;
            writeHeaderSizes();
            return Result::Ok;
        }
        // An empty file (made by a save dialog) is written as a new one.
    } else {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return Result::CannotOpen;
    }
    unsigned char header[44] = {};
    std::memcpy(header, "RIFF", 4);
    put32(header + 4, 36);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(header + 16, 16);
    put16(header + 20, 1);
    put16(header + 22, std::uint16_t(format.channels));
    put32(header + 24, std::uint32_t(format.rate));
    put32(header + 28, std::uint32_t(format.bytesPerSecond()));
    put16(header + 32, std::uint16_t(format.blockAlign()));
    put16(header + 34, std::uint16_t(format.bits));
    std::memcpy(header + 36, "data", 4);
    put32(header + 40, 0);
    if (::ftruncate(fd, 0) != 0 || !writeAll(fd, header, sizeof header)) {
        ::close(fd);
        return Result::WriteFailed;
    }
    m_fd = fd;
    m_dataOffset = 44;
    m_dataBytes = 0;
    return Result::Ok;
}

WavWriter::Result WavWriter::write(const void* bytes, std::size_t count)
{
    if (m_fd < 0)
        return Result::WriteFailed;
    if (m_dataOffset + m_dataBytes + count - 8 > kMaxRiff)
        return Result::TooLarge;
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::size_t left = count;
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const bool full = n < 0 && (errno == ENOSPC || errno == EDQUOT);
            // Keep whole frames only: cut what part of a frame made it to the disk.
            const std::uint64_t written = count - left;
            m_dataBytes += written - written % std::uint64_t(m_format.blockAlign());
            [[maybe_unused]] const int r = ::ftruncate(m_fd, off_t(m_dataOffset + m_dataBytes));
            ::lseek(m_fd, 0, SEEK_END);
            writeHeaderSizes();
            return full ? Result::DiskFull : Result::WriteFailed;
        }
        p += n;
        left -= std::size_t(n);
    }
    m_dataBytes += count;
    return Result::Ok;
}

void WavWriter::writeHeaderSizes()
{
    unsigned char size[4];
    put32(size, std::uint32_t(m_dataOffset + m_dataBytes - 8));
    [[maybe_unused]] ssize_t n = ::pwrite(m_fd, size, 4, 4);
    put32(size, std::uint32_t(m_dataBytes));
    n = ::pwrite(m_fd, size, 4, off_t(m_dataOffset - 4));
}

void WavWriter::keepHeaderCurrent()
{
    if (m_fd < 0)
        return;
    writeHeaderSizes();
    ::fdatasync(m_fd);
}

void WavWriter::close()
{
    if (m_fd < 0)
        return;
    writeHeaderSizes();
    ::fdatasync(m_fd);
    ::close(m_fd);
    m_fd = -1;
}

} // namespace sonaveil::recorder
