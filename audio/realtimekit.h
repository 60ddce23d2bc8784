#pragma once

#include <string>
#include <sys/types.h>

namespace sonaveil::audio {

// Asks the desktop's real-time broker (RealtimeKit on the system bus) to make thread `tid` of
// this process round-robin real-time at `priority`: how a desktop lets a program that is not
// root have it. Blocks for at most `timeoutMs`. The broker refuses a process whose RLIMIT_RTTIME
// is not limited. Needs an application object (the bus runs on Qt's); without one, or without a
// bus or a broker, it fails with `why` saying so.
bool askRealtimeKit(pid_t tid, int priority, int timeoutMs, std::string& why);

} // namespace sonaveil::audio
