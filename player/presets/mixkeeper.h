#pragma once

#include "common/writefailures.h"
#include "player/presets/presetfiles.h"

#include <QTimer>

#include <functional>
#include <optional>
#include <string>

namespace sonaveil::player {

// Keeps the last mix on disk while the player runs, so that a power cut or a disk that fills
// during the night loses at most the last few seconds: "previous.tmp" is written again
// (atomically) kDelayMs after the mix last changed, and at close. A write that fails is told
// once per reason through `failed`, naming the file and why.
class MixKeeper {
public:
    static constexpr int kDelayMs = 3000;

    explicit MixKeeper(PresetFiles& presets, int delayMs = kDelayMs);

    // The mix changed: it is written once it has been still for the delay.
    void mixChanged();
    // Whether a change waits to be written.
    bool pending() const { return m_timer.isActive(); }
    // Writes the mix now (at close, or when the delay is over); false when it failed.
    bool writeNow();
    // Stops waiting without writing (the player closes before its start-up ran).
    void cancel() { m_timer.stop(); }
    // Until the start-up has run there is nothing of this session to keep. The mix at that
    // moment counts as kept: the last session's file is replaced only once the mix differs.
    void setActive(bool on);

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
