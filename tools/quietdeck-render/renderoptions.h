#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sonaveil::render {

struct RenderOptions {
    std::string presetFile;
    std::string equaliserFile;
    std::string outFile;
    std::string programFolder; // "" means the folder of the executable
    double seconds = 0;
    std::vector<int> sounds;   // --sound: quick mixes without a preset
    std::optional<int> volume, master, pitch, pan;
    std::optional<double> notchHz;          // --notch: a band-stop on the whole mix
    std::optional<double> notchWidth;       // --notch-width, octaves (1.0 when not given)
    std::optional<double> fadeOutSeconds;   // --fade-out: the last seconds fade to silence
    bool floatSamples = false;              // --float: 32-bit float samples, no dither
    bool loopFiles = false;                 // --loop-files: every sound plays its file as a loop
    std::optional<std::uint64_t> seed;      // --seed: the endless sounds' chance (else the clock's)
};

// Reads the command line (without the program name). On a mistake, nothing, and `error` says
// what is wrong in one line.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kRenderUsage;

} // namespace sonaveil::render
