// conver: converts a WAV file into an MP3 file.
//
//   conver SOURCE.wav TARGET.mp3
//
// The MP3 is written beside the target under a temporary name and renamed into place only when
// it is complete, so the target is either the whole MP3 or untouched. Progress goes to standard
// output as "NN%" lines; a failure is one line on standard error and a non-zero exit status.
#include <sndfile.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "conver: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: conver SOURCE.wav TARGET.mp3");
    const std::string source = argv[1];
    const std::string target = argv[2];

    SF_INFO in{};
    SNDFILE* input = sf_open(source.c_str(), SFM_READ, &in);
    if (!input)
        return fail("cannot read \"" + source + "\": " + sf_strerror(nullptr));
    if (in.channels < 1 || in.channels > 2) {
        sf_close(input);
        return fail("\"" + source + "\" has " + std::to_string(in.channels) + " channels; MP3 holds one or two");
    }

    SF_INFO out{};
    out.samplerate = in.samplerate;
    out.channels = in.channels;
    out.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    if (!sf_format_check(&out)) {
        sf_close(input);
        return fail("MP3 cannot hold a sample rate of " + std::to_string(in.samplerate) + " Hz");
    }
    const std::string partial = target + ".part";
    SNDFILE* output = sf_open(partial.c_str(), SFM_WRITE, &out);
    if (!output) {
        const std::string why = sf_strerror(nullptr);
        sf_close(input);
        return fail("cannot write \"" + target + "\": " + why);
    }
    // A good quality for speech and ambient sound at a moderate size.
    double quality = 0.4;
    sf_command(output, SFC_SET_COMPRESSION_LEVEL, &quality, sizeof quality);
    int mode = SF_BITRATE_MODE_VARIABLE;
    sf_command(output, SFC_SET_BITRATE_MODE, &mode, sizeof mode);

    constexpr sf_count_t kBlock = 16384;
    std::vector<float> buffer(std::size_t(kBlock) * std::size_t(in.channels));
    sf_count_t done = 0;
    int shown = -1;
    bool ok = true;
    for (;;) {
        const sf_count_t n = sf_readf_float(input, buffer.data(), kBlock);
        if (n <= 0)
            break;
        if (sf_writef_float(output, buffer.data(), n) != n) {
            ok = false;
            break;
        }
        done += n;
        const int percent = in.frames > 0 ? int(done * 100 / in.frames) : 100;
        if (percent != shown) {
            shown = percent;
            std::printf("%d%%\n", percent);
            std::fflush(stdout);
        }
    }
    const std::string writeError = ok ? "" : sf_strerror(output);
    const int readError = sf_error(input);
    sf_close(input);
    if (sf_close(output) != 0 && ok)
        ok = false;
    if (!ok || readError != SF_ERR_NO_ERROR) {
        ::unlink(partial.c_str());
        return fail(readError != SF_ERR_NO_ERROR ? "cannot read \"" + source + "\"" : "cannot write \"" + target + "\": " + writeError);
    }
    if (std::rename(partial.c_str(), target.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(partial.c_str());
        return fail("cannot write \"" + target + "\": " + why);
    }
    return 0;
}
