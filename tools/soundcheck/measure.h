#pragma once

// Measurements of looped sample files: level, peaks, the seam, spectrum and envelope.

#include <string>
#include <vector>

namespace sonaveil::soundcheck {

struct Audio {
    int rate = 0;
    int channels = 0;
    int format = 0;                 // libsndfile's format word
    std::vector<float> samples;     // the first channel, full scale ±1
    std::string error;              // set when the file could not be read
};

Audio readAudio(const std::string& path);

struct Welch {
    double binHz = 0;
    std::vector<double> power;      // mean power per bin (Hann windows, half overlap)
};
Welch welch(const std::vector<float>& x, int rate, int segment = 16384);

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
    double centroidHz = 0;
    double below20Db = 0;           // energy below 20 Hz relative to all of it
    double envelopeSpreadDb = 0;    // standard deviation of the 10 ms level
    double rhythmHz = 0;            // strongest envelope modulation between 0.1 and 40 Hz
    double clickiness = 0;          // kurtosis of the sample-to-sample steps: 3 for plain noise,
                                    // higher when separate events (drops, crackles) stand out
    std::vector<double> bandsDb;    // third-octave levels from 25 Hz, relative to the loudest band
};
Measures measure(const Audio& audio);

// Least-squares slope of the power spectrum in dB per octave between lo and hi Hz, from
// third-octave bands (each the mean power density in its band).
double fittedSlope(const Welch& w, double lo = 50.0, double hi = 10000.0);

// RMS of the difference between two band profiles, in dB.
double profileDistanceDb(const std::vector<double>& a, const std::vector<double>& b);

} // namespace sonaveil::soundcheck
