#pragma once

#include <string>
#include <vector>

// Records `frames` mono float frames at `rate` from the PulseAudio source `source` (a sink's
// monitor, "<sink>.monitor") of the server PULSE_SERVER names. Returns what arrived within
// `timeoutMs`, which is fewer frames when the server does not deliver.
std::vector<float> recordSource(const std::string& source, int frames, int rate, int timeoutMs = 3000);

struct ToneMeasurement {
    double peakHz = 0;  // strongest frequency, interpolated between FFT bins
    double rms = 0;     // level of the whole recording
    double purity = 0;  // share of the energy within a few bins of the peak (1 = a pure tone)
};

// Finds the strongest frequency of `samples` (the last power-of-two part of them, Hann window).
ToneMeasurement measureTone(const std::vector<float>& samples, int rate);
