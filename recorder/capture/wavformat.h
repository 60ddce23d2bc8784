#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace sonaveil::recorder {

// The sample layout of a PCM WAV recording.
struct WavFormat {
    int rate = 44100;
    int bits = 16;
    int channels = 2;

    int blockAlign() const { return channels * (bits / 8); }
    int bytesPerSecond() const { return rate * blockAlign(); }
    bool operator==(const WavFormat&) const = default;
};

// One entry of the recording-quality list: its text and its format flag (one bit per layout).
struct Quality {
    std::string_view text;
    int flag;
    WavFormat format;
};

// The twelve recording qualities in list order.
inline constexpr std::array<Quality, 12> kQualities{{
    {"11KHz @ 8bit Mono", 1, {11025, 8, 1}},
    {"11KHz @ 16bit Mono", 4, {11025, 16, 1}},
    {"11KHz @ 8bit Stereo", 2, {11025, 8, 2}},
    {"11KHz @ 16bit Stereo", 8, {11025, 16, 2}},
    {"22KHz @ 8bit Mono", 16, {22050, 8, 1}},
    {"22KHz @ 16bit Mono", 64, {22050, 16, 1}},
    {"22KHz @ 8bit Stereo", 32, {22050, 8, 2}},
    {"22KHz @ 16bit Stereo", 128, {22050, 16, 2}},
    {"44KHz @ 8bit Mono", 256, {44100, 8, 1}},
    {"44KHz @ 16bit Mono", 1024, {44100, 16, 1}},
    {"44KHz @ 8bit Stereo", 512, {44100, 8, 2}},
    {"44KHz @ 16bit Stereo", 2048, {44100, 16, 2}},
}};

// The layout a format flag stands for; nothing for a value that is not one of the twelve flags.
std::optional<WavFormat> formatOfFlag(int flag);
// The flag of a layout; 0 when the layout is not one of the twelve.
int flagOfFormat(const WavFormat& format);
// The list index (0..11) of a flag; nothing when it is not in the list.
std::optional<int> qualityIndexOfFlag(int flag);

} // namespace sonaveil::recorder
