#pragma once

#include <string>

namespace sonaveil::audio {

// Without shared memory (PipeWire's PulseAudio service never has it; PulseAudio when it is
// turned off) the sound goes through the connection's socket, whose send buffer libpulse keeps
// at 64 KB (128 KB to the kernel): less than a refill of a second. The rest of a refill then
// waits until the server has read the first part, a wake-up more each refill (and, while the
// thread is real-time, the server cannot read until it sleeps). This widens the send buffer of
// every connection this process has to `server` (a libpulse server string; only a local
// socket's path counts) to what the kernel allows. Returns how many it widened.
int widenSendBuffers(const std::string& server);

// The socket path in a libpulse server string ("unix:/run/…/native", "{id}unix:…" or a bare
// path); empty for anything else (a network address).
std::string localSocketPath(const std::string& server);

} // namespace sonaveil::audio
