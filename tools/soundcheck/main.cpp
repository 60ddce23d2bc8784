// Measures every sample file of a program folder and draws a spectrogram of each:
//   soundcheck <program folder> [picture folder]
// One line per file: duration, rate, level, loudness, peak and true peak, the seam against the
// file's typical step, spectral centroid, rhythm of the envelope and how regularly it repeats,
// and for the coloured noises the fitted slope. A summary of the loudness follows.

#include "measure/measure.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace sonaveil::measure;


QRgb heat(double v)
{
    static const int stops[][3] = {{0, 0, 4}, {60, 15, 110}, {150, 40, 110}, {225, 80, 50}, {250, 170, 30},
                                   {252, 250, 190}};
    v = std::clamp(v, 0.0, 1.0) * 5.0;
    const int i = std::min(4, int(v));
    const double f = v - i;
    auto mix = [&](int c) { return int(stops[i][c] * (1 - f) + stops[i + 1][c] * f); };
    return qRgb(mix(0), mix(1), mix(2));
}

// Time across, log frequency up (20 Hz to the Nyquist frequency), 75 dB of range.
QImage spectrogram(const Audio& a, const QString& title)
{
    const int width = 960, height = 400, n = 4096;
    QImage img(width, height + 20, QImage::Format_RGB32);
    img.fill(qRgb(20, 20, 24));
    const auto& x = a.samples;
    std::vector<float> in(n);
    std::vector<fftwf_complex> out(n / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in.data(), out.data(), FFTW_ESTIMATE);
    std::vector<std::vector<float>> columns(width);
    float top = -300;
    const double fMin = 20.0, fMax = a.rate / 2.0;
    for (int c = 0; c < width; ++c) {
        const long start = long(double(c) * (double(x.size()) - n) / (width - 1));
        for (int i = 0; i < n; ++i)
            in[i] = float(x[std::size_t(std::max(0L, start) + i) % x.size()] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n)));
        fftwf_execute(plan);
        columns[c].resize(height);
        for (int r = 0; r < height; ++r) {
            // Each row averages the bins between its edges (at least one bin).
            const double f0 = fMin * std::pow(fMax / fMin, double(r) / height);
            const double f1 = fMin * std::pow(fMax / fMin, double(r + 1) / height);
            int k0 = int(f0 * n / a.rate), k1 = std::max(k0 + 1, int(f1 * n / a.rate));
            double s = 0;
            for (int k = k0; k < k1 && k <= n / 2; ++k)
                s += double(out[k][0]) * out[k][0] + double(out[k][1]) * out[k][1];
            const float db = float(10 * std::log10(s / (k1 - k0) + 1e-20));
            columns[c][r] = db;
            top = std::max(top, db);
        }
    }
    fftwf_destroy_plan(plan);
    for (int c = 0; c < width; ++c)
        for (int r = 0; r < height; ++r)
            img.setPixel(c, 20 + height - 1 - r, heat((columns[c][r] - (top - 75)) / 75));
    QPainter p(&img);
    p.setPen(QColor(220, 220, 220, 160));
    for (double f : {100.0, 1000.0, 10000.0}) {
        const int y = 20 + height - 1 - int(height * std::log(f / fMin) / std::log(fMax / fMin));
        p.drawLine(0, y, width, y);
        p.drawText(4, y - 2, f >= 1000 ? QString("%1 kHz").arg(f / 1000) : QString("%1 Hz").arg(f));
    }
    p.setPen(QColor(230, 230, 230));
    p.drawText(6, 15, title);
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program folder> [picture folder]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    namespace fs = std::filesystem;
    const fs::path dist = argv[1];
    const fs::path pictures = argc > 2 ? fs::path(argv[2]) : fs::path();
    if (!pictures.empty())
        fs::create_directories(pictures);

    std::vector<std::string> files;
    for (int i = 1; i <= 35; ++i)
        files.push_back("bin/" + std::to_string(i) + (i <= 30 ? ".isz" : ".wav"));
    files.push_back("config/alarms/default.wav");
    const double targets[] = {0.0, -3.0103, -6.0206, 3.0103, 6.0206};

    std::printf("%-26s %6s %6s %7s %7s %6s %6s %7s %7s %7s %5s %5s %8s %6s %7s %6s %6s %6s %s\n", "file", "sec", "rate", "rms",
                "lufs", "peak", "tp", "wrap", "median", "ratio", "seam", "p99", "centroid", "spread", "rhythm", "repeat",
                "clicks", "<20Hz", "slope");
    int failures = 0;
    std::vector<double> loudness;
    double highestTruePeak = -HUGE_VAL;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Audio a = readAudio((dist / files[i]).string());
        if (!a.error.empty() || a.samples.empty()) {
            std::printf("%-26s unreadable: %s\n", files[i].c_str(), a.error.c_str());
            ++failures;
            continue;
        }
        const Measures m = measure(a);
        char slope[64] = "";
        if (i < 5)
            std::snprintf(slope, sizeof slope, "%+.2f (target %+.2f)", fittedSlope(welch(a.samples, a.rate)),
                          targets[i]);
        std::printf("%-26s %6.2f %6d %7.2f %7.2f %6.2f %6.2f %7.5f %7.5f %7.2f %5.2f %5.2f %8.0f %6.2f %7.2f %6.2f %6.1f %6.0f %s\n",
                    files[i].c_str(), m.seconds, a.rate, m.rmsDb, m.loudnessLufs, m.peakDb, m.truePeakDb, m.wrapJump,
                    m.medianStep, m.medianStep > 0 ? m.wrapJump / m.medianStep : 0.0, m.seamLevelDb, m.highLevelStepDb,
                    m.centroidHz, m.envelopeSpreadDb, m.rhythmHz, m.envelopeRepeat, m.clickiness, m.below20Db, slope);
        if (i < 35) {
            loudness.push_back(m.loudnessLufs);
            highestTruePeak = std::max(highestTruePeak, m.truePeakDb);
        }
        if (!pictures.empty()) {
            const std::string name = fs::path(files[i]).stem().string() + ".png";
            spectrogram(a, QString::fromStdString(files[i])).save(QString::fromStdString((pictures / name).string()));
        }
    }
    if (!loudness.empty()) {
        std::vector<double> sorted = loudness;
        std::sort(sorted.begin(), sorted.end());
        std::printf("loudness of the %zu sounds: %.2f to %.2f LUFS (spread %.2f LU, median %.2f); highest true peak "
                    "%.2f dBTP\n",
                    sorted.size(), sorted.front(), sorted.back(), sorted.back() - sorted.front(),
                    sorted[sorted.size() / 2], highestTruePeak);
    }
    std::printf("columns: rms, peak in dBFS; lufs = integrated loudness (BS.1770-4, the loop as endless);\n"
                "tp = true peak in dBTP (4 times oversampled); repeat = highest autocorrelation of the 100 ms\n"
                "level in dB at lags from 2 s to half the loop (1 for a metronome);\n"
                "wrap = |last - first| and median = median |step| in full scale,\n"
                "ratio = wrap / median; seam = level change across the wrap (dB, 50 ms windows), p99 = the 99th\n"
                "percentile of that change between neighbouring windows elsewhere in the file;\n"
                "centroid in Hz; spread = std of the 10 ms level (dB); rhythm = strongest envelope rate (Hz);\n"
                "clicks = kurtosis of the steps (3 for plain noise, more where drops or crackles stand out);\n"
                "<20Hz = energy below 20 Hz against all (dB); slope in dB/octave, 50 Hz to 10 kHz\n");
    return failures ? 1 : 0;
}
