#include "player/core/catalogue.h"

// The captions stay as shipped; the windows translate them in the context kCaptionContext.
#include "common/translatable.h"

namespace sonaveil::player::catalogue {

namespace {

// Slider widget defaults for sliders whose range the window does not set.
constexpr SliderRange kDefaultRange{0, 255, 100};
constexpr int kPitchMaximum = 7056;
constexpr int kPitchMinimum = 10;

constexpr std::array<SoundInfo, kSoundCount> kSounds{{
    {1, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "White Noise"), "bin/1.isz", 1, 11, 21, false, 1},
    {2, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Pink Noise "), "bin/2.isz", 2, 12, 22, false, 1},
    {3, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Brown Noise"), "bin/3.isz", 3, 13, 23, false, 1},
    {4, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Blue Noise"), "bin/4.isz", 4, 14, 24, false, 1},
    {5, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Violet Noise"), "bin/5.isz", 5, 15, 25, false, 1},
    {6, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain1"), "bin/6.isz", 6, 16, 26, true, 1},
    {7, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain2"), "bin/7.isz", 7, 17, 27, true, 1},
    {8, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain3"), "bin/8.isz", 8, 18, 28, true, 1},
    {9, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Ocean"), "bin/9.isz", 9, 19, 29, true, 1},
    {10, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Cicada 1"), "bin/10.isz", 10, 20, 30, true, 1},
    {11, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Cicada 3"), "bin/11.isz", 42, 52, 62, true, 1},
    {12, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Cicada 2"), "bin/12.isz", 41, 51, 61, true, 1},
    {13, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain5"), "bin/13.isz", 40, 50, 60, false, 2},
    {14, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain4"), "bin/14.isz", 39, 49, 59, false, 2},
    {15, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain3"), "bin/15.isz", 38, 48, 58, false, 2},
    {16, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain2"), "bin/16.isz", 37, 47, 57, false, 2},
    {17, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Rain1"), "bin/17.isz", 36, 46, 56, false, 2},
    {18, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Cicada3"), "bin/18.isz", 35, 45, 55, false, 2},
    {19, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Cicada2"), "bin/19.isz", 34, 44, 54, false, 2},
    {20, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Cicada1"), "bin/20.isz", 33, 43, 53, false, 2},
    {21, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Air Conditioner"), "bin/21.isz", 63, 73, 83, false, 3},
    {22, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Air Condiioner2"), "bin/22.isz", 64, 74, 84, false, 3},
    {23, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Aircraft Cabin"), "bin/23.isz", 65, 75, 85, false, 3},
    {24, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Train Cabin"), "bin/24.isz", 66, 76, 86, false, 3},
    {25, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Aquarium1"), "bin/25.isz", 67, 77, 87, false, 3},
    {26, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Aquarium2"), "bin/26.isz", 68, 78, 88, false, 3},
    {27, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Fan"), "bin/27.isz", 69, 79, 89, false, 3},
    {28, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Hoover"), "bin/28.isz", 70, 80, 90, false, 3},
    {29, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Fire"), "bin/29.isz", 71, 81, 91, false, 3},
    {30, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Hairdryer"), "bin/30.isz", 72, 82, 92, false, 3},
    {31, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Hairdryer"), "bin/31.wav", 93, 0, 99, false, 4},
    {32, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Vacuum Cleaner"), "bin/32.wav", 94, 0, 100, false, 4},
    {33, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Vacuum 2"), "bin/33.wav", 95, 0, 101, false, 4},
    {34, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Vacuum3"), "bin/34.wav", 96, 0, 102, false, 4},
    {35, QT_TRANSLATE_NOOP("sonaveil::player::catalogue", "Vacuum4"), "bin/35.wav", 97, 0, 103, false, 4},
}};

struct SliderTable {
    std::array<SliderUse, kHighestSlider + 1> use{};
    SliderTable()
    {
        for (const SoundInfo& s : kSounds) {
            use[std::size_t(s.volumeSlider)] = {SliderRole::Volume, s.number};
            if (s.pitchSlider)
                use[std::size_t(s.pitchSlider)] = {SliderRole::Pitch, s.number};
            use[std::size_t(s.panSlider)] = {SliderRole::Pan, s.number};
        }
        use[kMasterSlider] = {SliderRole::Master, 0};
    }
};

const SliderTable& sliderTable()
{
    static const SliderTable table;
    return table;
}

} // namespace

const std::array<SoundInfo, kSoundCount>& sounds()
{
    return kSounds;
}

const SoundInfo& sound(int number)
{
    return kSounds.at(std::size_t(number - 1));
}

bool sliderExists(int slider)
{
    return slider >= 1 && slider <= kHighestSlider && slider != 98;
}

SliderUse sliderUse(int slider)
{
    if (!sliderExists(slider))
        return {};
    return sliderTable().use[std::size_t(slider)];
}

SliderRange sliderRange(int slider)
{
    const SliderUse use = sliderUse(slider);
    switch (use.role) {
    case SliderRole::Volume:
        return {0, 255, use.sound == 20 ? 0 : 100};
    case SliderRole::Pitch:
        return {kPitchMinimum, kPitchMaximum, use.sound <= 12 ? 4410 : 3300};
    case SliderRole::Pan:
        return {0, 25, 12};
    case SliderRole::Master:
        return {0, 100, 100};
    case SliderRole::None:
        break;
    }
    return kDefaultRange;
}

std::vector<int> soundsOnPage(int page)
{
    switch (page) {
    case 1:
        return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 11};
    case 2:
        return {20, 19, 18, 17, 16, 15, 14, 13};
    case 3:
        return {21, 22, 23, 24, 25, 26, 27, 28, 29, 30};
    case 4:
        return {31, 32, 33, 34, 35};
    default:
        return {};
    }
}

const std::array<int, 102>& sliderRecordOrder()
{
    static const std::array<int, 102> order = [] {
        std::array<int, 102> o{};
        std::size_t i = 0;
        for (int s = 1; s <= kHighestSlider; ++s)
            if (s != 98)
                o[i++] = s;
        return o;
    }();
    return order;
}

const std::array<int, kSoundCount>& masterUpdateOrder()
{
    static const std::array<int, kSoundCount> order = [] {
        std::array<int, kSoundCount> o{};
        std::size_t i = 0;
        for (int s = 1; s <= 10; ++s)
            o[i++] = s;
        for (int s = 20; s >= 11; --s)
            o[i++] = s;
        for (int s = 31; s <= 35; ++s)
            o[i++] = s;
        for (int s = 21; s <= 30; ++s)
            o[i++] = s;
        return o;
    }();
    return order;
}

} // namespace sonaveil::player::catalogue
