// What the kit report measures on one rendered hit (or one recorded drum
// sample: the same code measures both). Loudness is ITU-R BS.1770
// (libebur128); the rest uses the project's FFT.
#pragma once

#include <array>
#include <vector>

namespace kettrix::kitcheck {

// Level below which a hit counts as silent (its loudness is then reported as
// kSilentLufs).
inline constexpr double kSilentPeakDb = -100.0;
inline constexpr double kSilentLufs = -120.0;
// Floor of the dB measures that can meet silence (tail, onset step, folded
// power, profile bands).
inline constexpr double kFloorDb = -120.0;

// Time windows of the windowed centroid, seconds after the onset.
inline constexpr int kCentroidWindows = 3;
inline constexpr std::array<double, kCentroidWindows + 1> kCentroidWindowEdges = {0.0, 0.03, 0.15, 1.0};

// Third-octave bands of the spectral profile: 25 Hz to 20 kHz.
inline constexpr int kProfileBands = 30;

// Pitch of the first cycles kept per hit (compared between renders).
inline constexpr int kTrackedCycles = 16;

struct HitMeasures {
    bool silent = true;
    double loudness = kSilentLufs;  // maximum momentary loudness, LUFS
    double peakDb = -240.0;         // sample peak of both channels, dBFS
    // Energy-weighted mean frequency of the hit up to its decay point: where
    // the power of the sound lies.
    double centroidHz = 0.0;
    // The same limited to 20 Hz-20 kHz, so that renders at different rates
    // compare the same band.
    double audibleCentroidHz = 0.0;
    // From the note-on to the end of the last 5 ms stretch whose level is
    // within 60 dB of the loudest one.
    double decaySeconds = 0.0;
    // The same within 40 dB.
    double decay40Seconds = 0.0;
    // The strongest spectral peak just after the attack when it holds at
    // least a quarter of the energy there (a tuned sound); 0 otherwise.
    double fundamentalHz = 0.0;

    // Centroid of each window of kCentroidWindowEdges (0 where the hit has
    // ended).
    std::array<double, kCentroidWindows> windowCentroidHz{};
    // Shares of the power (20 Hz-20 kHz) up to the decay point.
    double shareBelow100 = 0.0, share120To400 = 0.0, shareAbove10k = 0.0, shareAbove15k = 0.0;

    // The first sounding sample relative to the peak: a step there clicks.
    double onsetStepDb = kFloorDb;
    // Level of the last 10 ms before the hit falls silent (below -120 dB) or
    // its recording ends, relative to the loudest 5 ms: a tail that fades
    // reads near the floor, a cut one at the level it was cut at.
    double tailDb = kFloorDb;

    // Pitch per cycle of the low-passed hit (upward zero crossings, cycles
    // within 40 dB of the peak). startPitchHz is the first whole cycle,
    // settledPitchHz the median of the last 30 % of the cycles.
    std::vector<double> cycleHz;  // the first kTrackedCycles cycles
    double startPitchHz = 0.0, settledPitchHz = 0.0;
    double sweepSemitones = 0.0;        // start over settled
    double sweepAt40msSemitones = 0.0;  // the cycle 40 ms after the onset over settled
    double sweepSeconds = 0.0;          // onset to the first cycle within a semitone of settled

    // Third-octave profile, dB relative to the strongest band, floored at
    // -60 dB (the kit distance compares these).
    std::array<double, kProfileBands> profileDb{};
};

HitMeasures measureHit(const std::vector<double>& left, const std::vector<double>& right, double sampleRate);

// Maximum momentary loudness (400 ms windows moved in 10 ms steps).
double maxMomentaryLoudness(const std::vector<double>& left, const std::vector<double>& right, double sampleRate);

// Power the render at `rate` holds but the render of the same hit at the
// high rate does not: the sum, over bands of a twelfth of an octave (at least
// 50 Hz wide) up to 20 kHz, of the excess where the band is at least 10 dB
// stronger, each render normalised to its own power; dB re the hit's power.
// Aliasing reads here: folded partials land where the high rate has none.
double foldedPowerDb(const std::vector<double>& mono, double rate, const std::vector<double>& highMono,
                     double highRate);

// Distance of two hits: the RMS difference of their profiles (dB) combined
// with 10*log10 of their decay-40 ratio (root of the sum of squares).
double soundDistance(const HitMeasures& a, const HitMeasures& b);

// Semitones from b up to a (0 when either is not positive).
double semitones(double a, double b);

}  // namespace kettrix::kitcheck
