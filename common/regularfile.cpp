#include "common/regularfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonaveil {

RegularFile RegularFile::open(const std::filesystem::path& path)
{
    RegularFile file;
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one; O_NOCTTY: a
    // terminal device never becomes ours.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        file.m_problem = errno == ENOENT || errno == ENOTDIR ? Problem::Missing : Problem::Unreadable;
        file.m_reason = std::strerror(errno);
        return file;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        file.m_problem = Problem::Unreadable;
        file.m_reason = std::strerror(errno);
        ::close(fd);
        return file;
    }
    if (!S_ISREG(info.st_mode)) {
        file.m_problem = S_ISDIR(info.st_mode) ? Problem::Folder : Problem::NotRegular;
        ::close(fd);
        return file;
    }
    // Reads of a regular file never wait for long; readers expect the usual blocking calls.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file.m_fd = fd;
    file.m_size = info.st_size > 0 ? std::uint64_t(info.st_size) : 0;
    return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_fd(other.release())
    , m_size(other.m_size)
    , m_problem(other.m_problem)
    , m_reason(std::move(other.m_reason))
{
}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
        m_size = other.m_size;
        m_problem = other.m_problem;
        m_reason = std::move(other.m_reason);
    }
    return *this;
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int RegularFile::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

std::string RegularFile::describe() const
{
    switch (m_problem) {
    case Problem::None:
        return {};
    case Problem::Folder:
        return "it is a folder";
    case Problem::NotRegular:
        return "it is not a regular file";
    case Problem::Missing:
    case Problem::Unreadable:
        return m_reason;
    }
    return {};
}

} // namespace sonaveil
