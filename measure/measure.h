#pragma once

// Measurements of looped sample files: level, loudness, peaks, the seam, spectrum and envelope.

#include <string>
#include <vector>

namespace sonaveil::measure {

struct Audio {
    int rate = 0;
    int channels = 0;
    int format = 0;                 // libsndfile's format word
    std::vector<float> samples;     // the first channel, full scale ±1
    std::string error;              // set when the file could not be read
};

Audio readAudio(const std::string& path);
// Writes `samples` (full scale ±1) as a mono 16-bit WAV file; false when it cannot.
bool writeMonoWav(const std::string& path, const std::vector<float>& samples, int rate);

struct Welch {
    double binHz = 0;
    std::vector<double> power;      // mean power per bin (windows of a segment, half overlap)
};
// Hann for noise; the four-term Blackman-Harris for a tone far above what lies near it.
enum class Window { Hann, BlackmanHarris };
// The segments start at frame `from`.
Welch welch(const std::vector<float>& x, int rate, int segment = 16384, Window window = Window::Hann,
            std::size_t from = 0);

// Third-octave levels in dB from 25 Hz to 20 kHz, relative to the loudest band, none below -80.
std::vector<double> thirdOctaveBandsDb(const Welch& w);

// The level in dB of each 100 ms of x (not circular).
std::vector<double> levelsDb(const std::vector<float>& x, int rate);
// Pearson correlation of a series with itself `lag` places later.
double lagCorrelation(const std::vector<double>& series, std::size_t lag);

struct Measures {
    double seconds = 0;
    double rmsDb = 0;               // dB of full scale (a full-scale square wave is 0 dB)
    double peakDb = 0;
    double dcDb = 0;                // the mean, in dB of full scale
    double wrapJump = 0;            // |last - first| in full scale
    double medianStep = 0;          // median |x[i] - x[i-1]|
    double highStep = 0;            // 99.9th percentile of |x[i] - x[i-1]|
    double seamLevelDb = 0;         // level change across the wrap, 50 ms windows
    double highLevelStepDb = 0;     // 99th percentile of that change elsewhere in the file
    double loudnessLufs = 0;        // integrated loudness (K-weighted, gated), the loop as a whole
    double truePeakDb = 0;          // dB true peak: the highest peak between samples too
    double envelopeRepeat = 0;      // highest autocorrelation of the 100 ms level in dB at lags
                                    // from 2 s to half the loop: 1 for a metronome
    double centroidHz = 0;
    double below20Db = 0;           // energy below 20 Hz relative to all of it
    double envelopeSpreadDb = 0;    // standard deviation of the 10 ms level
    double rhythmHz = 0;            // strongest envelope modulation between 0.1 and 40 Hz
    double clickiness = 0;          // kurtosis of the sample-to-sample steps: 3 for plain noise,
                                    // higher when separate events (drops, crackles) stand out
    std::vector<double> bandsDb;    // third-octave levels from 25 Hz, relative to the loudest band
};
Measures measure(const Audio& audio);

// Integrated loudness in LUFS of a mono loop (one channel, weight 1), as ITU-R BS.1770-4 defines
// it: K-weighting, 400 ms blocks every 100 ms, the absolute gate at -70 LUFS and the relative
// gate 10 LU below. The loop is taken as endless: filters start in their steady state and blocks
// run across the wrap.
double integratedLoudness(const std::vector<float>& loop, int rate);

// The highest absolute value of the loop between samples too, found at four times the rate with
// a windowed-sinc interpolator (across the wrap), in dB of full scale (dBTP).
double truePeakDb(const std::vector<float>& loop);

// How regularly the loudness of a loop repeats: the highest autocorrelation of its 100 ms level
// in dB (mean removed) at lags from `minLagSeconds` to half the loop, circular.
double envelopeRepeat(const std::vector<float>& loop, int rate, double minLagSeconds = 2.0);

// Least-squares slope of the power spectrum in dB per octave between lo and hi Hz, from
// third-octave bands (each the mean power density in its band).
double fittedSlope(const Welch& w, double lo = 50.0, double hi = 10000.0);

// RMS of the difference between two band profiles, in dB.
double profileDistanceDb(const std::vector<double>& a, const std::vector<double>& b);

} // namespace sonaveil::measure
