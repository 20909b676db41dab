// What the kit report measures on one rendered hit. Loudness is ITU-R
// BS.1770 (libebur128); the rest uses the project's FFT.
#pragma once

#include <vector>

namespace kettrix::kitcheck {

// Level below which a hit counts as silent (its loudness is then reported as
// kSilentLufs).
inline constexpr double kSilentPeakDb = -100.0;
inline constexpr double kSilentLufs = -120.0;

struct HitMeasures {
    bool silent = true;
    double loudness = kSilentLufs;  // maximum momentary loudness, LUFS
    double peakDb = -240.0;         // sample peak of both channels, dBFS
    // Energy-weighted mean frequency of the hit up to its decay point: where
    // the power of the sound lies.
    double centroidHz = 0.0;
    // From the note-on to the end of the last 5 ms stretch whose level is
    // within 60 dB of the loudest one.
    double decaySeconds = 0.0;
    // The strongest spectral peak just after the attack when it holds at
    // least a quarter of the energy there (a tuned sound); 0 otherwise.
    double fundamentalHz = 0.0;
};

HitMeasures measureHit(const std::vector<double>& left, const std::vector<double>& right, double sampleRate);

// Maximum momentary loudness (400 ms windows moved in 10 ms steps).
double maxMomentaryLoudness(const std::vector<double>& left, const std::vector<double>& right, double sampleRate);

}  // namespace kettrix::kitcheck
