#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Writes mono 16-bit frames to a sound file of the given libsndfile major format.
bool writeSoundFile(const std::filesystem::path& path, const std::vector<std::int16_t>& frames,
                    int rate, int format);
std::vector<std::int16_t> sineFrames(double hz, int rate, int frames, double amplitude);
std::vector<std::int16_t> whiteNoiseFrames(int frames, double amplitude, unsigned seed);
// Power spectrum (|X|^2 per bin) of `signal` averaged over Hann windows of `size`.
std::vector<double> averagedPowerSpectrum(const std::vector<float>& signal, int size);
// The root mean square of frames `from` … `from + n - 1` of `v`.
double rms(const std::vector<std::int16_t>& v, std::size_t from, std::size_t n);
// The root mean square of `v` from frame `from` on.
double rms(const std::vector<float>& v, std::size_t from = 0);
// One channel (0 left, 1 right) of interleaved stereo.
std::vector<float> channelOf(const std::vector<float>& stereo, int channel);
