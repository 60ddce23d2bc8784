#pragma once

#include "common/writefailures.h"
#include "player/presets/presetfiles.h"

#include <QTimer>

#include <functional>
#include <optional>
#include <string>

namespace sonaveil::player {

// Keeps the mix on disk while the player runs, so that a power cut, a kill or a disk that fills
// during the night loses at most the last few seconds, without touching the last close's mix:
// the running mix goes to a file of its own, "running.tmp", written again (atomically) kDelayMs
// after the mix last changed. A clean close writes "previous.tmp" and removes "running.tmp"; a
// "running.tmp" found at the next start means the last session did not close cleanly, and it
// becomes "previous.tmp" then. A write that fails is told once per reason through `failed`,
// naming the file and why.
class MixKeeper {
public:
    static constexpr int kDelayMs = 3000;
    static constexpr const char* kRunningName = "running.tmp";

    explicit MixKeeper(PresetFiles& presets, int delayMs = kDelayMs);

    // The mix changed: it is written once it has been still for the delay.
    void mixChanged();
    // Whether a change waits to be written.
    bool pending() const { return m_timer.isActive(); }
    // Writes the running mix now (when the delay is over); false when it failed.
    bool writeNow();
    // Stops waiting without writing (the player closes before its start-up ran).
    void cancel() { m_timer.stop(); }
    // Until the start-up has run there is nothing of this session to keep. The mix at that
    // moment counts as kept: "running.tmp" is written only once the mix differs.
    void setActive(bool on);

    // At start-up, before anything reads "previous.tmp" and before setActive: the running mix a
    // session that ended without closing left behind becomes the last mix. True when there was
    // one.
    bool recover(std::string* error = nullptr);
    // The clean close: the mix goes to "previous.tmp" and the running mix, now stale, is
    // removed. A failed write leaves "running.tmp" for the next start; false, `error` saying why.
    bool close(std::string* error = nullptr);

    std::string runningPath() const;

    // Told once per file and reason.
    std::function<void(const std::string& file, const std::string& why)> failed;
    // The failures told so far.
    WriteFailures& failures() { return m_failures; }

private:
    PresetFiles& m_presets;
    QTimer m_timer;
    bool m_active = false;
    std::optional<PresetRecord> m_kept;
    WriteFailures m_failures;
};

} // namespace sonaveil::player
