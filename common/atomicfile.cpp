#include "common/atomicfile.h"

#include "common/regularfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonaveil {

namespace {

// Temporary files are hidden and carry a mark of their own, so that the start-up can tell a
// torso of ours from anything else in the folder: ".previous.tmp.part-Ab12Cd".
constexpr std::string_view kTemporaryMark = ".part-";
constexpr std::size_t kRandomLength = 6;

bool fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

std::string temporaryPattern(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path();
    std::string leaf = "." + target.filename().string() + std::string(kTemporaryMark) + "XXXXXX";
    return folder.empty() ? leaf : (folder / leaf).string();
}

// Flushes a folder's entries, so that a rename in it is on the disk. File systems that cannot
// flush a folder say so with EINVAL; the rename itself has been done all the same.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error)
{
    std::string pattern = temporaryPattern(target);
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
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

    if (!writeAll(fd, bytes))
        return abandon("cannot write " + target.string());
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
    syncFolder(target.parent_path());
    return true;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path, std::size_t maxBytes,
                                         std::string* error)
{
    auto refuse = [&](const std::string& why) -> std::optional<std::string> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const RegularFile file = RegularFile::open(path);
    if (!file)
        return refuse(file.describe());
    const int fd = file.fd();
    if (file.size() > maxBytes)
        return refuse("it is larger than " + std::to_string(maxBytes) + " bytes");

    std::string content;
    content.resize(std::size_t(file.size()) + 1);
    std::size_t have = 0;
    // One byte more than allowed is asked for, to notice a file that grew since fstat.
    while (have <= maxBytes) {
        if (have == content.size())
            content.resize(std::min(maxBytes + 1, content.size() * 2));
        const ssize_t n = ::read(fd, content.data() + have, content.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return refuse(std::strerror(errno));
        }
        if (n == 0)
            break;
        have += std::size_t(n);
    }
    if (have > maxBytes)
        return refuse("it is larger than " + std::to_string(maxBytes) + " bytes");
    content.resize(have);
    return content;
}

bool isWriteTemporaryName(std::string_view name)
{
    const std::size_t tail = kTemporaryMark.size() + kRandomLength;
    if (name.size() < 2 + tail || name.front() != '.')
        return false;
    return name.substr(name.size() - tail, kTemporaryMark.size()) == kTemporaryMark;
}

int removeStaleTemporaries(const std::filesystem::path& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isWriteTemporaryName(entry->d_name))
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

bool folderIsWritable(const std::filesystem::path& folder, std::string* error)
{
    // A block's worth of bytes flushed to the disk: creating an empty file still works on a
    // full disk, writing to it does not.
    std::string pattern = temporaryPattern(folder / "write-check");
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(error, "cannot create a file in " + folder.string());
    const std::string block(4096, '\n');
    bool ok = writeAll(fd, block) && ::fsync(fd) == 0;
    const int saved = errno;
    ok = ::close(fd) == 0 && ok;
    ::unlink(pattern.c_str());
    if (!ok) {
        errno = saved;
        return fail(error, "cannot write in " + folder.string());
    }
    return true;
}

} // namespace sonaveil
