#pragma once

#include <cstdint>

namespace sonaveil::audio {

// Judges from a sound server's own figures whether it honours rewrites of a stream's queue.
// After a rewrite, the server's write index must be where the rewrite left it (a server that
// ignores the seek appends instead), and its read index must not have passed the rewrite's
// first frame by much (a server that has already taken that sound plays the old one). One
// ignored rewrite is enough to fall back; lateness only when most recent rewrites were late.
class RewriteCheck {
public:
    enum class Verdict { Honoured, Late, Ignored };

    // All in frames of the stream: the rewrite began at `point` and left the write index at
    // `expectedWrite`; the server then reported `read` and `write`. `slack` is how far past
    // the point the server may read and the change still be heard in time.
    static Verdict judge(std::int64_t point, std::int64_t expectedWrite, std::int64_t read, std::int64_t write,
                         std::int64_t slack)
    {
        if (write != expectedWrite)
            return Verdict::Ignored;
        return read > point + slack ? Verdict::Late : Verdict::Honoured;
    }

    // Records a verdict; true once the output should stop relying on rewrites.
    bool record(Verdict verdict)
    {
        if (verdict == Verdict::Ignored)
            m_failed = true;
        m_recent = ((m_recent << 1) | (verdict == Verdict::Late ? 1u : 0u)) & 0xFu;
        m_count = m_count < 4 ? m_count + 1 : 4;
        if (m_count >= 4 && __builtin_popcount(m_recent) >= 3)
            m_failed = true;
        return m_failed;
    }

    bool failed() const { return m_failed; }

private:
    unsigned m_recent = 0; // the last four verdicts, 1 for late
    int m_count = 0;
    bool m_failed = false;
};

} // namespace sonaveil::audio
