#pragma once

#include "privatepulse.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A private sound server whose default sink plays a steady tone, so that its monitor (the
// default source) hands every recording that tone.
class ToneServer : public ::testing::Environment {
public:
    static constexpr int kToneHz = 1000;

    void SetUp() override;
    void TearDown() override;
    static ToneServer* instance() { return s_instance; }
    PrivatePulse& pulse() { return m_pulse; }
    bool running() const { return m_running; }

private:
    static inline ToneServer* s_instance = nullptr;
    PrivatePulse m_pulse;
    bool m_running = false;
};

// Runs the event loop until `done` or `timeoutMs` passed; returns `done()`.
bool runUntil(const std::function<bool()>& done, int timeoutMs);
// Runs the event loop for `ms`.
void runFor(int ms);

struct DecodedWav {
    int rate = 0;
    int channels = 0;
    int format = 0;          // libsndfile's format word
    long long frames = 0;
    std::vector<float> left; // the first channel
};
// Reads a file with libsndfile; frames 0 when it cannot be read.
DecodedWav decode(const std::string& path);
