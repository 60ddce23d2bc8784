#pragma once

#include "tempfolder.h"

#include <string>
#include <vector>
#include <sys/types.h>

// A PulseAudio daemon of the test's own, in a temporary runtime folder, with two null sinks
// ("sonaveil_test", the default, and "sonaveil_second"). start() points PULSE_SERVER of this
// process at it, so every libpulse client the test makes connects there and nowhere else. The
// daemon sees no session bus, display or runtime folder of the desktop the test may run in, so
// it starts beside the desktop's own sound server.
//
// Or the same through PipeWire: its daemon, its session manager (on a message bus of its own)
// and its PulseAudio service, all private, with the same two null sinks.
class PrivatePulse {
public:
    enum class Server { PulseAudio, PipeWire };

    explicit PrivatePulse(Server server = Server::PulseAudio);
    ~PrivatePulse();

    // Points PULSE_SERVER (and the daemon's other variables) of this process at this daemon,
    // whether or not it runs; start() does it too. Set it before a client that must find the
    // daemon later starts, so that the environment is not written while that client reads it.
    void useEnvironment() const;
    // Starts the daemon and waits until it answers; false when pulseaudio (or pipewire) is
    // missing or fails.
    // The daemon is killed when the thread that started it ends, and so with the test program.
    bool start();
    // Ends the daemon at once (SIGKILL), as a crashed server would.
    void kill();
    // Stops it politely and waits for it to end.
    void stop();
    // Suspends the daemon (SIGSTOP), as a hung server: connections stay open, nothing answers.
    void freeze();
    // Lets a frozen daemon go on (SIGCONT).
    void thaw();
    bool running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    std::string server() const; // "unix:<socket>"
    // Runs pactl against this daemon; returns its standard output ("" on failure).
    std::string pactl(const std::string& arguments) const;

private:
    bool waitUntilAnswering(int timeoutMs) const;
    // Starts a program that dies with this one, its output closed, in `environment`.
    pid_t spawn(std::vector<std::string> args, const std::vector<std::string>& environment) const;
    bool startPipeWire();

    Server m_kind;
    TempFolder m_folder;
    pid_t m_pid = -1;                // the PulseAudio service
    std::vector<pid_t> m_helpers;    // PipeWire's: the bus, the daemon, the session manager
};
