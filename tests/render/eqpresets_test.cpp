// The equaliser presets Sonaveil ships, heard as a listener hears them: white noise rendered with
// each preset against the same noise rendered flat, the difference measured in third-octave bands.
#include "audiotestutil.h"
#include "measure/measure.h"
#include "tempfolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What each name promises, in dB against flat, between the points given (log-frequency
// interpolation; flat beyond the ends).
const std::map<std::string, std::map<double, double>> kIntended = {
    {"Flat", {{50, 0}, {17000, 0}}},
    {"Gentle High Cut", {{50, 0}, {1000, 0}, {3000, -2}, {6000, -4}, {10000, -6}, {12500, -7}, {17000, -7}}},
    {"Deep Night", {{50, 3}, {100, 3}, {200, 2}, {400, 0.5}, {600, 0}, {3000, 0}, {6000, -2}, {10000, -4},
                    {12500, -5}, {17000, -6}}},
    {"Soft 4 kHz Dip", {{50, 0}, {1000, 0}, {2000, -2}, {4000, -4}, {8000, -2}, {12500, 0}, {17000, 0}}},
    {"Warm Low Lift", {{50, 4}, {100, 4}, {200, 3}, {400, 1}, {800, 0}, {17000, 0}}},
};

double intendedAt(const std::map<double, double>& curve, double hz)
{
    if (hz <= curve.begin()->first)
        return curve.begin()->second;
    auto upper = curve.lower_bound(hz);
    if (upper == curve.end())
        return curve.rbegin()->second;
    auto lower = std::prev(upper);
    const double t = std::log(hz / lower->first) / std::log(upper->first / lower->first);
    return lower->second + t * (upper->second - lower->second);
}

std::vector<float> leftOf(const fs::path& wav)
{
    auto left = sonaveil::measure::readAudio(wav.string()).samples;
    // The bands glide into place: measure after the first second.
    left.erase(left.begin(), left.begin() + std::min<std::size_t>(left.size(), 44100));
    return left;
}

double bandPower(const std::vector<double>& spectrum, double hz)
{
    const double binHz = 44100.0 / 8192.0;
    const double lo = hz / std::pow(2.0, 1.0 / 6.0), hi = hz * std::pow(2.0, 1.0 / 6.0);
    double sum = 0;
    for (std::size_t k = std::size_t(std::ceil(lo / binHz)); k <= std::size_t(hi / binHz) && k < spectrum.size(); ++k)
        sum += spectrum[k];
    return sum;
}

} // namespace

TEST(ShippedEqualiserPresets, MeasureWithinTwoDecibelsOfWhatTheirNamesPromise)
{
    const char* dist = std::getenv("SONAVEIL_DIST");
    ASSERT_TRUE(dist);
    const fs::path program = fs::path(dist) / "quietdeck-render";
    TempFolder dir;
    fs::create_directories(dir / "bin");
    // White noise well below full scale, so that no boost reaches the limiter.
    ASSERT_TRUE(writeSoundFile(dir / "bin/1.isz", whiteNoiseFrames(44100 * 6, 0.05, 7), 44100,
                               SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    auto render = [&](const fs::path& eqf, const fs::path& out) {
        const std::string command = program.string() + " --program-folder " + dir.path().string()
            + " --sound 1 --volume 255 --master 100 --pitch 4410 --pan 12 --seconds 6 --eq \"" + eqf.string()
            + "\" --out " + out.string() + " >/dev/null";
        return std::system(command.c_str()) == 0;
    };
    const fs::path presets = fs::path(dist) / "presets";
    ASSERT_TRUE(render(presets / "Flat.eqf", dir / "flat.wav"));
    const auto flat = averagedPowerSpectrum(leftOf(dir / "flat.wav"), 8192);
    ASSERT_FALSE(flat.empty());

    int checked = 0;
    for (const auto& entry : fs::directory_iterator(presets)) {
        if (entry.path().extension() != ".eqf")
            continue;
        const std::string name = entry.path().stem().string();
        ASSERT_TRUE(kIntended.count(name)) << "no intended curve for the shipped preset \"" << name << "\"";
        ASSERT_TRUE(render(entry.path(), dir / "shaped.wav")) << name;
        const auto shaped = averagedPowerSpectrum(leftOf(dir / "shaped.wav"), 8192);
        for (double hz : {63.0, 125.0, 250.0, 500.0, 1000.0, 2000.0, 3000.0, 4000.0, 6000.0, 8000.0, 10000.0,
                          12500.0, 16000.0}) {
            const double measured = 10.0 * std::log10(bandPower(shaped, hz) / bandPower(flat, hz));
            EXPECT_NEAR(measured, intendedAt(kIntended.at(name), hz), 2.0) << name << " at " << hz << " Hz";
        }
        ++checked;
    }
    EXPECT_EQ(checked, int(kIntended.size()));
}
