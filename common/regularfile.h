#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace sonaveil {

// A file opened for reading that is known to be a regular file. Opening never waits: a FIFO
// with no writer, a device or a socket standing where a file is expected is refused at once
// instead of holding the program up for good.
class RegularFile {
public:
    enum class Problem { None, Missing, Folder, NotRegular, Unreadable };

    // Opens `path` (bytes as the system takes them) for reading.
    static RegularFile open(const std::filesystem::path& path);

    RegularFile() = default;
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    explicit operator bool() const { return m_fd >= 0; }
    // The descriptor, blocking reads as for any file; -1 when it could not be opened.
    int fd() const { return m_fd; }
    // Gives the descriptor away (to a library that closes it).
    int release();
    // The size when it was opened.
    std::uint64_t size() const { return m_size; }
    Problem problem() const { return m_problem; }
    // The system's words for a Missing or Unreadable file ("Permission denied").
    const std::string& systemReason() const { return m_reason; }
    // The problem in a few plain English words, for logs and command-line programs.
    std::string describe() const;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    Problem m_problem = Problem::None;
    std::string m_reason;
};

} // namespace sonaveil
