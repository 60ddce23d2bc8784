#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace sonaveil::player {

constexpr int kSoundCount = 35;
constexpr int kHighestSlider = 103; // ucSlider1 … ucSlider103; there is no ucSlider98
constexpr int kMasterSlider = 32;
constexpr int kUnusedSlider = 31;   // on the window, hidden, belongs to no sound

// One sound of the fixed catalogue and the controls of the main window that belong to it.
struct SoundInfo {
    int number;                // 1 … 35
    std::string_view caption;  // the check box's text, trailing blanks and spelling as shipped
    std::string_view file;     // relative to the program folder
    int volumeSlider;          // ucSliderN
    int pitchSlider;           // 0: no pitch slider (sounds 31 to 35)
    int panSlider;
    bool pitchDisabled;        // shown disabled; still set by presets and step buttons
    int page;                  // 1 … 4
};

enum class SliderRole { None, Volume, Pitch, Pan, Master };

// Range and starting position of one slider of the main window.
struct SliderRange {
    int minimum;
    int maximum;
    int start;
};

// What a slider of the main window does.
struct SliderUse {
    SliderRole role = SliderRole::None;
    int sound = 0; // for Volume, Pitch and Pan
};

namespace catalogue {

// The translation context of the captions: the windows show
// QCoreApplication::translate(kCaptionContext, caption).
inline constexpr const char* kCaptionContext = "sonaveil::player::catalogue";

// Sound n, 1 … 35.
const SoundInfo& sound(int number);
const std::array<SoundInfo, kSoundCount>& sounds();

// True for 1 … 103 except 98.
bool sliderExists(int slider);
SliderUse sliderUse(int slider);
SliderRange sliderRange(int slider);

// The sounds of a page, top to bottom as the window lists them.
std::vector<int> soundsOnPage(int page);

// The slider numbers in preset record order: 1 … 97, then 99 … 103.
const std::array<int, 102>& sliderRecordOrder();

// The order in which a master change re-applies the volumes: 1–10, 20 down to 11, 31–35, 21–30.
const std::array<int, kSoundCount>& masterUpdateOrder();

} // namespace catalogue
} // namespace sonaveil::player
