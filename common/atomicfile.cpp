#include "common/atomicfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace sonaveil {

static bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error)
{
    std::string pattern = target.string() + ".XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return fail(error, "cannot create a file beside " + target.string());

    auto abandon = [&](const std::string& what) {
        const int saved = errno;
        ::close(fd);
        ::unlink(pattern.c_str());
        errno = saved;
        return fail(error, what);
    };

    // mkstemp creates the file 0600; a state file is as readable as any other file the user makes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat existing {};
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                : (0666 & ~mask);
    ::fchmod(fd, mode);

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon("cannot write " + target.string());
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        return abandon("cannot write " + target.string());
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(pattern.c_str());
        errno = saved;
        return fail(error, "cannot write " + target.string());
    }
    if (::rename(pattern.c_str(), target.c_str()) != 0) {
        const int saved = errno;
        ::unlink(pattern.c_str());
        errno = saved;
        return fail(error, "cannot replace " + target.string());
    }
    return true;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(content).str();
}

} // namespace sonaveil
