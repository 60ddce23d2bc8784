#include "tools/quietdeck-render/renderoptions.h"

#include "common/textrecord.h"

#include <charconv>
#include <cmath>

namespace sonaveil::render {

const char* const kRenderUsage =
    "usage: quietdeck-render (--preset FILE | --sound N[,N...] [--volume V] [--master M] [--pitch P] [--pan Q])\n"
    "                        --seconds N --out FILE.wav [--eq FILE.eqf] [--notch HZ [--notch-width OCT]]\n"
    "                        [--fade-out SECONDS] [--loop-files | --seed N] [--float] [--program-folder DIR]\n"
    "The built-in sounds play endless (made as they play, never repeating), each start drawing its\n"
    "chance from the clock; --seed N (0 to 18446744073709551615) makes the render repeatable, and\n"
    "--loop-files plays every sound's sample file as a loop instead. A sample file that is not the\n"
    "one shipped plays as a loop either way.";

namespace {
constexpr double kMaxSeconds = 24 * 3600;

// The options that take a whole number, and its range.
struct IntOption {
    const char* name;
    std::optional<int> RenderOptions::*field;
    int lowest, highest;
};
constexpr IntOption kIntOptions[] = {
    {"--volume", &RenderOptions::volume, 0, 255},
    {"--master", &RenderOptions::master, 0, 100},
    {"--pitch", &RenderOptions::pitch, 10, 7056},
    {"--pan", &RenderOptions::pan, 0, 25},
};

const IntOption* intOption(const std::string& argument)
{
    for (const IntOption& option : kIntOptions)
        if (argument == option.name)
            return &option;
    return nullptr;
}

std::optional<int> integerArgument(const std::string& text)
{
    const auto v = fieldToInt32(text);
    if (!v || text.empty())
        return std::nullopt;
    return *v;
}

// A length of time above 0 and at most a day.
std::optional<double> secondsArgument(const std::string& text)
{
    double s = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), s);
    if (ec != std::errc() || p != text.data() + text.size() || !std::isfinite(s) || s <= 0 || s > kMaxSeconds)
        return std::nullopt;
    return s;
}
}

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error)
{
    RenderOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        auto intValue = [&](std::optional<int>& target, int lo, int hi) {
            const std::string* v = value();
            if (!v)
                return false;
            const auto n = integerArgument(*v);
            if (!n || *n < lo || *n > hi) {
                error = a + " must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not \"" + *v + "\"";
                return false;
            }
            target = *n;
            return true;
        };

        if (a == "--preset" || a == "--out" || a == "--eq" || a == "--program-folder") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            if (v->empty()) {
                error = a + " needs a file name";
                return std::nullopt;
            }
            (a == "--preset" ? o.presetFile : a == "--out" ? o.outFile : a == "--eq" ? o.equaliserFile : o.programFolder) = *v;
        } else if (a == "--seconds" || a == "--fade-out") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            const auto s = secondsArgument(*v);
            if (!s) {
                error = a + " must be a number of seconds above 0 and at most 86400, not \"" + *v + "\"";
                return std::nullopt;
            }
            if (a == "--seconds")
                o.seconds = *s;
            else
                o.fadeOutSeconds = *s;
        } else if (a == "--notch" || a == "--notch-width") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            const bool centre = a == "--notch";
            const double lo = centre ? 20 : 0.1, hi = centre ? 20000 : 3;
            double x = 0;
            const auto [p, ec] = std::from_chars(v->data(), v->data() + v->size(), x);
            if (ec != std::errc() || p != v->data() + v->size() || !std::isfinite(x) || x < lo || x > hi) {
                error = centre ? "--notch must be a frequency in Hz from 20 to 20000, not \"" + *v + "\""
                               : "--notch-width must be a width in octaves from 0.1 to 3, not \"" + *v + "\"";
                return std::nullopt;
            }
            (centre ? o.notchHz : o.notchWidth) = x;
        } else if (a == "--sound") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            TextRecordReader list(*v);
            while (auto field = list.next()) {
                const auto n = integerArgument(*field);
                if (!n || *n < 1 || *n > 35) {
                    error = "--sound takes sound numbers from 1 to 35 separated by commas, not \"" + *v + "\"";
                    return std::nullopt;
                }
                o.sounds.push_back(*n);
            }
            if (o.sounds.empty()) {
                error = "--sound needs at least one sound number";
                return std::nullopt;
            }
        } else if (a == "--float") {
            o.floatSamples = true;
        } else if (a == "--loop-files") {
            o.loopFiles = true;
        } else if (a == "--seed") {
            const std::string* v = value();
            if (!v)
                return std::nullopt;
            std::uint64_t seed = 0;
            const auto [p, ec] = std::from_chars(v->data(), v->data() + v->size(), seed);
            if (v->empty() || ec != std::errc() || p != v->data() + v->size()) {
                error = "--seed must be a whole number from 0 to 18446744073709551615, not \"" + *v + "\"";
                return std::nullopt;
            }
            o.seed = seed;
        } else if (const IntOption* option = intOption(a)) {
            if (!intValue(o.*option->field, option->lowest, option->highest))
                return std::nullopt;
        } else {
            error = "unknown argument \"" + a + "\"";
            return std::nullopt;
        }
    }
    if (o.presetFile.empty() == o.sounds.empty()) {
        error = o.presetFile.empty() ? "say what to render: --preset FILE or --sound N[,N...]"
                                     : "--preset and --sound cannot be used together";
        return std::nullopt;
    }
    if (!o.presetFile.empty() && (o.volume || o.master || o.pitch || o.pan)) {
        error = "--volume, --master, --pitch and --pan go with --sound, not with --preset";
        return std::nullopt;
    }
    if (o.loopFiles && o.seed) {
        error = "--seed is for the endless sounds, which --loop-files leaves out";
        return std::nullopt;
    }
    if (o.notchWidth && !o.notchHz) {
        error = "--notch-width goes with --notch HZ";
        return std::nullopt;
    }
    if (o.seconds <= 0) {
        error = "--seconds is missing";
        return std::nullopt;
    }
    if (o.outFile.empty()) {
        error = "--out is missing";
        return std::nullopt;
    }
    if (o.fadeOutSeconds && *o.fadeOutSeconds > o.seconds) {
        error = "--fade-out cannot be longer than --seconds";
        return std::nullopt;
    }
    return o;
}

} // namespace sonaveil::render
