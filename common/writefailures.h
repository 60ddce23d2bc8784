#pragma once

#include <map>
#include <string>

namespace sonaveil {

// Which files could not be written, and why, so that each failure is told once: a file that
// fails again for the same reason is not told again, one that fails for another reason is,
// and one written well again is forgotten (its next failure is news).
class WriteFailures {
public:
    // A write of `file` failed for `why`: true when the user has not been told this yet.
    bool failed(const std::string& file, const std::string& why);
    // A write of `file` succeeded.
    void succeeded(const std::string& file);
    bool anyOutstanding() const { return !m_told.empty(); }

private:
    std::map<std::string, std::string> m_told;
};

} // namespace sonaveil
