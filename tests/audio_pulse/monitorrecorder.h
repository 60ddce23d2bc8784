#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

// Records a PulseAudio source (a sink's monitor) in the background, as interleaved stereo float
// at `rate`, and notes when each piece arrived, so that a test can tell when a sound was heard.
class MonitorRecorder {
public:
    using Clock = std::chrono::steady_clock;

    MonitorRecorder(std::string source, int rate);
    ~MonitorRecorder();

    // Connects and starts recording; false when the server does not answer within 3 s.
    bool start();
    void stop();

    // Waits until at least `frames` frames have arrived; false after `limit`.
    bool waitForFrames(std::size_t frames, std::chrono::milliseconds limit);
    std::vector<float> samples() const;
    std::size_t frames() const;
    // When the frame `frame` arrived (the piece holding it), or Clock::time_point::max().
    Clock::time_point arrivalOf(std::size_t frame) const;

private:
    static void onContextState(pa_context* context, void* self);
    static void onRead(pa_stream* stream, std::size_t bytes, void* self);

    std::string m_source;
    int m_rate;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    mutable std::mutex m_mutex;
    std::vector<float> m_samples;
    std::vector<std::pair<std::size_t, Clock::time_point>> m_arrivals; // first frame after a piece
    bool m_failed = false;
};
