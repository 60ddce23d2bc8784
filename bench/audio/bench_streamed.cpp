// What a voice streamed from disk costs: the peak memory of the engine playing a 60-minute FLAC
// for 5 minutes against one playing a 10-second FLAC, and the processor time of a streamed MP3
// against a built-in sample playing the same length, each in a fresh child process, rendered
// offline (so the times are the mixing thread's own work). Files are made once in the temporary
// folder and reused. Then the time a folder of 200 tracks takes to become a voice (each track's
// rate is learnt first). Last, the band-stop on a streamed white-noise file: the level at 6 kHz
// with the notch on at 6 kHz against the same render without it, and at 1.5 kHz and 12 kHz.
//
//   build/bench/bench_streamed [runs]
//   build/bench/bench_streamed folder      (the folder's time alone)
#include "audio/engine.h"
#include "audio/streamsource.h"

#include "benchstats.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fftw3.h>
#include <fstream>
#include <random>
#include <sndfile.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace sonaveil::audio;

namespace {

constexpr int kRate = 44100;
constexpr int kPlaySeconds = 300;
constexpr int kAlbumTracks = 200;

// Music-like stereo: a few drifting tones over quiet noise.
bool makeFile(const fs::path& path, int seconds, int format)
{
    if (fs::exists(path))
        return true;
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = format;
    const fs::path part = path.string() + ".part";
    SNDFILE* f = sf_open(part.c_str(), SFM_WRITE, &info);
    if (!f)
        return false;
    std::mt19937 rng(1);
    std::normal_distribution<float> noise(0.0f, 0.01f);
    std::vector<float> block(2 * 4096);
    double phase[3] = {0, 0, 0};
    const long total = long(seconds) * kRate;
    for (long at = 0; at < total; at += 4096) {
        const int n = int(std::min<long>(4096, total - at));
        for (int i = 0; i < n; ++i) {
            const double t = double(at + i) / kRate;
            float v = 0;
            for (int k = 0; k < 3; ++k) {
                phase[k] += 2 * M_PI * (220.0 * (k + 1) * (1.0 + 0.01 * std::sin(t * 0.1 * (k + 1)))) / kRate;
                v += 0.15f * float(std::sin(phase[k]));
            }
            block[std::size_t(2 * i)] = v + noise(rng);
            block[std::size_t(2 * i + 1)] = v + noise(rng);
        }
        sf_writef_float(f, block.data(), n);
    }
    sf_close(f);
    fs::rename(part, path);
    return true;
}

struct Result {
    long peakKb = 0;
    double cpu = 0;
};

// In a child: the engine playing `path` (streamed, or as a sample) for kPlaySeconds.
Result play(const fs::path& path, bool streamed)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        Engine engine;
        engine.setOutput(kOutputNoSound);
        engine.init(kRate, 32, 0);
        std::vector<float> out(2 * 4410);
        engine.renderOffline(out.data(), 4410);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = statusKb("VmRSS:");
        const double start = cpuSeconds();
        if (streamed) {
            auto source = StreamSource::file(path.string(), LoopSeam{});
            if (!source)
                _exit(2);
            engine.playGenerator(kFree, std::move(source));
        } else {
            const SampleHandle s = engine.loadSample(kFree, path.string(), kSampleNormal, 0, 0);
            const ChannelHandle c = engine.playSound(kFree, s);
            engine.setLoopMode(c, kLoopNormal);
        }
        for (int block = 0; block < kPlaySeconds * 10; ++block)
            engine.renderOffline(out.data(), 4410);
        Result r{statusKb("VmHWM:") - before, cpuSeconds() - start};
        if (write(pipeFds[1], &r, sizeof r) != sizeof r)
            _exit(3);
        _exit(0);
    }
    close(pipeFds[1]);
    Result r{};
    if (read(pipeFds[0], &r, sizeof r) != sizeof r)
        r = {-1, -1};
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return r;
}

// The averaged power spectrum (Hann windows of `size`) of the left channel of a render.
std::vector<double> spectrum(const std::vector<float>& stereo, int size)
{
    std::vector<float> in(static_cast<std::size_t>(size));
    std::vector<fftwf_complex> out(std::size_t(size / 2 + 1));
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(size, in.data(), out.data(), FFTW_ESTIMATE);
    std::vector<double> power(std::size_t(size / 2 + 1), 0.0);
    const std::size_t frames = stereo.size() / 2;
    for (std::size_t at = 0; at + std::size_t(size) <= frames; at += std::size_t(size / 2)) {
        for (int i = 0; i < size; ++i)
            in[std::size_t(i)] = stereo[2 * (at + std::size_t(i))] * float(0.5 - 0.5 * std::cos(2 * M_PI * i / size));
        fftwf_execute(plan);
        for (std::size_t k = 0; k < power.size(); ++k)
            power[k] += double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];
    }
    fftwf_destroy_plan(plan);
    return power;
}

std::vector<float> renderNoise(const fs::path& noise, bool notch)
{
    Engine engine;
    engine.setOutput(kOutputNoSound);
    engine.init(kRate, 32, 0);
    engine.setNotch(notch, 6000.0f, 1.0f);
    engine.playGenerator(kFree, StreamSource::file(noise.string(), LoopSeam{}));
    std::vector<float> out(std::size_t(2 * kRate * 20));
    engine.renderOffline(out.data(), kRate); // the notch settles
    engine.renderOffline(out.data(), kRate * 20);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const bool folderOnly = argc > 1 && std::string(argv[1]) == "folder";
    const int runs = argc > 1 && !folderOnly ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path dir = fs::temp_directory_path() / "sonaveil-bench-streamed";
    fs::create_directories(dir);
    const fs::path hour = dir / "hour.flac", tenSeconds = dir / "ten.flac", mp3 = dir / "thirty.mp3",
                   wav = dir / "thirty.wav";
    std::printf("making the files in %s (once)...\n", dir.c_str());
    if (!makeFile(hour, 3600, SF_FORMAT_FLAC | SF_FORMAT_PCM_16) || !makeFile(tenSeconds, 10, SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
        || !makeFile(mp3, 30, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) || !makeFile(wav, 30, SF_FORMAT_WAV | SF_FORMAT_PCM_16)) {
        std::fprintf(stderr, "cannot write the test files\n");
        return 1;
    }

    std::vector<double> hourKb, tenKb, mp3Cpu, sampleCpu;
    for (int r = 0; r < runs && !folderOnly; ++r) {
        hourKb.push_back(double(play(hour, true).peakKb));
        tenKb.push_back(double(play(tenSeconds, true).peakKb));
        mp3Cpu.push_back(play(mp3, true).cpu);
        sampleCpu.push_back(play(wav, false).cpu);
    }
    const double seconds = kPlaySeconds;
    if (!folderOnly) {
        std::printf("peak memory growth, %d s played (median of %d):\n", kPlaySeconds, runs);
        std::printf("  60-minute FLAC streamed  %8.0f KB\n", median(hourKb));
        std::printf("  10-second FLAC streamed  %8.0f KB\n", median(tenKb));
        std::printf("  difference               %8.0f KB (target: under 10240 KB)\n", median(hourKb) - median(tenKb));
        std::printf("processor time per second played, as %% of a core (median of %d):\n", runs);
        std::printf("  MP3 streamed             %8.3f %%\n", 100.0 * median(mp3Cpu) / seconds);
        std::printf("  WAV as a built-in sample %8.3f %%\n", 100.0 * median(sampleCpu) / seconds);
        std::printf("  difference               %8.3f %% (target: at most 0.3 %%)\n",
                    100.0 * (median(mp3Cpu) - median(sampleCpu)) / seconds);
    }

    // A folder's voice learns the rate of every track before it starts (a header each).
    const fs::path album = dir / "album";
    fs::create_directories(album);
    std::vector<std::string> tracks;
    for (int i = 0; i < kAlbumTracks; ++i) {
        const fs::path& from = i % 2 ? mp3 : tenSeconds;
        const fs::path track = album / (std::to_string(i) + from.extension().string());
        std::error_code ec;
        if (!fs::exists(track))
            fs::copy_file(from, track, ec);
        tracks.push_back(track.string());
    }
    std::vector<double> startMs;
    for (int r = 0; r < std::max(runs, 5); ++r) {
        const auto begin = std::chrono::steady_clock::now();
        const auto list = StreamSource::playlist(tracks, false, 1);
        startMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
        if (!list)
            return 1;
    }
    std::printf("a folder of %d tracks (FLAC and MP3) made ready to play: %.1f ms (median), %.2f ms a track\n",
                kAlbumTracks, median(startMs), median(startMs) / kAlbumTracks);
    if (folderOnly)
        return 0;

    const fs::path noise = dir / "white.wav";
    if (!fs::exists(noise)) {
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> u(-0.25f, 0.25f);
        std::vector<float> frames(std::size_t(kRate) * 10);
        for (auto& v : frames)
            v = u(rng);
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* f = sf_open(noise.c_str(), SFM_WRITE, &info);
        sf_writef_float(f, frames.data(), sf_count_t(frames.size()));
        sf_close(f);
    }
    constexpr int kSize = 8192;
    const auto open = spectrum(renderNoise(noise, false), kSize);
    const auto notched = spectrum(renderNoise(noise, true), kSize);
    auto at = [&](double hz) {
        const int bin = int(std::lround(hz * kSize / kRate));
        double a = 0, b = 0;
        for (int k = bin - 3; k <= bin + 3; ++k)
            a += notched[std::size_t(k)], b += open[std::size_t(k)];
        return 10.0 * std::log10(a / b);
    };
    std::printf("band-stop at 6 kHz, one octave, on a streamed white-noise file (offline render):\n");
    std::printf("  at 6 kHz   %7.1f dB (target: at least 40 dB down)\n", at(6000));
    std::printf("  at 1.5 kHz %7.2f dB (target: within 1 dB)\n", at(1500));
    std::printf("  at 12 kHz  %7.2f dB (target: within 1 dB)\n", at(12000));
    return 0;
}
