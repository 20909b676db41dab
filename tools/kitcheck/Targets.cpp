#include "Targets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kettrix::kitcheck {

namespace {

enum Slot { kKick = 0, kClosedHat = 4, kOpenHat = 5, kLowTom = 6, kHighTom = 7, kCrash = 8, kRide = 9 };

constexpr double kMinDropLu = 6.0, kMaxDropLu = 20.0;
constexpr double kMinToneSemitones = 2.0;
constexpr double kKickMinCentroidHz = 60.0, kKickMinKnockShare = 0.04;
constexpr double kSweepAt40msSemitones = 1.0;
constexpr double kPromisedSweepTolerance = 0.25;  // of the promised size
constexpr double kMaxFoldedDb = -40.0;
constexpr double kTonalRateTolerance = 0.03, kNoiseRateTolerance = 0.15, kPitchRateTolerance = 0.03;
constexpr double kMaxTailDb = -70.0;
constexpr double kMaxOnsetDb = -30.0;
constexpr double kLoadPitchTolerance = 0.01;
constexpr double kGrooveLowDb = -6.0, kGrooveHighDb = -1.0;
constexpr double kSilentSoundDistance = 60.0;

struct Colour {
    int slot;
    const char* check;
    double minCentroid, maxCentroid;  // Hz
    double aboveHz, maxShare;         // at most maxShare of the power above aboveHz
};
constexpr Colour kColours[] = {
    {kClosedHat, "hat-tone", 6000, 11000, 15000, 0.15},
    {kOpenHat, "hat-tone", 6000, 11000, 15000, 0.15},
    {kCrash, "crash-tone", 3500, 7000, 10000, 0.15},
    {kRide, "ride-tone", 4500, 9000, 0, 0},
};

struct MinDecay {
    int slot;
    double seconds;
};
constexpr MinDecay kMinDecays[] = {{kOpenHat, 0.35}, {kCrash, 1.5}, {kRide, 1.0}, {kLowTom, 0.5}};

bool tonal(int slot) { return slot == kKick || slot == kLowTom || slot == kHighTom; }
bool velocityToned(int slot) { return tonal(slot) || slot == kCrash || slot == kRide; }

std::string format(const char* pattern, double a, double b = 0.0, double c = 0.0) {
    char text[200];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

double relative(double a, double b) { return a > 0.0 && b > 0.0 ? std::fabs(a - b) / std::min(a, b) : 0.0; }

void checkVelocity(KitResult& kit, int i, const SoundResult& s) {
    const double drop = s.at127.loudness - s.at30.loudness;
    if (drop < kMinDropLu || drop > kMaxDropLu)
        recordFailure(kit, i, "velocity-drop",
                      format("velocity 30 is %.1f LU below 127 (target %.0f-%.0f)", drop, kMinDropLu, kMaxDropLu),
                      true);
    const double tone = semitones(s.at127.centroidHz, s.at30.centroidHz);
    if (velocityToned(i) && tone < kMinToneSemitones)
        recordFailure(kit, i, "velocity-tone",
                      format("centroid only %+.1f semitones at 127 over 30 (target >= %.0f)", tone, kMinToneSemitones),
                      true);
}

void checkKick(KitResult& kit, const SoundResult& s) {
    const HitMeasures& m = s.at127;
    if (m.centroidHz < kKickMinCentroidHz || m.share120To400 < kKickMinKnockShare)
        recordFailure(kit, kKick, "kick-body",
                      format("centroid %.0f Hz, %.1f %% of the power in 120-400 Hz (target >= 60 Hz, >= 4 %%)",
                             m.centroidHz, 100.0 * m.share120To400),
                      true);
    if (m.sweepAt40msSemitones < kSweepAt40msSemitones)
        recordFailure(kit, kKick, "sweep",
                      format("%.1f semitones above the settled %.1f Hz 40 ms in (target >= 1)", m.sweepAt40msSemitones,
                             m.settledPitchHz),
                      true);
}

void checkPromisedSweeps(KitResult& kit) {
    for (const auto& [slot, size] : kit.deviations.promisedSweep) {
        const HitMeasures& m = kit.sounds[static_cast<std::size_t>(slot)].at127;
        if (std::fabs(m.sweepSemitones - size) > kPromisedSweepTolerance * size)
            recordFailure(kit, slot, "sweep",
                          format("sweeps %.1f semitones, the text promises %.0f", m.sweepSemitones, size), true);
    }
}

void checkColour(KitResult& kit) {
    for (const Colour& c : kColours) {
        const SoundResult& s = kit.sounds[static_cast<std::size_t>(c.slot)];
        if (s.unused || s.at127.silent) continue;
        const HitMeasures& m = s.at127;
        const double share = c.aboveHz >= 15000 ? m.shareAbove15k : m.shareAbove10k;
        const bool centroidOff = m.centroidHz < c.minCentroid || m.centroidHz > c.maxCentroid;
        const bool shareOff = c.maxShare > 0 && share > c.maxShare;
        if (!centroidOff && !shareOff) continue;
        std::string detail =
            format("centroid %.0f Hz (target %.0f-%.0f Hz)", m.centroidHz, c.minCentroid, c.maxCentroid);
        if (c.maxShare > 0)
            detail += format(", %.1f %% above %.0f kHz", 100.0 * share, c.aboveHz / 1000.0) +
                      format(" (target <= %.0f %%)", 100.0 * c.maxShare);
        recordFailure(kit, c.slot, c.check, detail, true);
    }
    for (const MinDecay& d : kMinDecays) {
        const SoundResult& s = kit.sounds[static_cast<std::size_t>(d.slot)];
        if (s.unused || s.at127.silent) continue;
        if (s.at127.decay40Seconds < d.seconds)
            recordFailure(kit, d.slot, "decay40",
                          format("decay to -40 dB %.2f s (target >= %.2f s)", s.at127.decay40Seconds, d.seconds), true);
    }
}

void checkRates(KitResult& kit, int i, const SoundResult& s) {
    if (s.foldedDb > kMaxFoldedDb)
        recordFailure(kit, i, "folded",
                      format("%.1f dB of the power is absent at 96 kHz (target <= %.0f dB)", s.foldedDb, kMaxFoldedDb),
                      true);
    const double tolerance = tonal(i) ? kTonalRateTolerance : kNoiseRateTolerance;
    const double f0 = rateDeviation(s.at127.fundamentalHz, s.at48k.fundamentalHz, s.at96k.fundamentalHz);
    const double centroid =
        rateDeviation(s.at127.audibleCentroidHz, s.at48k.audibleCentroidHz, s.at96k.audibleCentroidHz);
    const double decay = rateDeviation(s.at127.decay40Seconds, s.at48k.decay40Seconds, s.at96k.decay40Seconds);
    if (f0 > kPitchRateTolerance || centroid > tolerance || decay > tolerance)
        recordFailure(kit, i, "rate",
                      format("44.1 against 48/96 kHz: f0 %.1f %%, centroid %.1f %%, decay-40 %.1f %%", 100.0 * f0,
                             100.0 * centroid, 100.0 * decay) +
                          format(" (target %.0f %%, %.0f %%)", 100.0 * kPitchRateTolerance, 100.0 * tolerance),
                      true);
}

}  // namespace

double rateDeviation(double at44k, double at48k, double at96k) {
    return std::max(relative(at44k, at48k), relative(at44k, at96k));
}

double loadPitchDeviation(const HitMeasures& atLoad, const HitMeasures& settled) {
    double worst = 0.0;
    const std::size_t n = std::min(atLoad.cycleHz.size(), settled.cycleHz.size());
    for (std::size_t c = 0; c < n; ++c)
        worst = std::max(worst, std::fabs(atLoad.cycleHz[c] / settled.cycleHz[c] - 1.0));
    // A tracked sound that tracks nothing at the load (or the other way) is
    // as far off as it gets.
    if (atLoad.cycleHz.empty() != settled.cycleHz.empty()) worst = 1.0;
    return worst;
}

void checkTargets(KitResult& kit) {
    if (kit.silentKit()) return;
    for (int i = 0; i < kSounds; ++i) {
        const SoundResult& s = kit.sounds[static_cast<std::size_t>(i)];
        if (s.unused || s.at127.silent) continue;
        checkVelocity(kit, i, s);
        if (i == kKick) checkKick(kit, s);
        checkRates(kit, i, s);
        if (s.at127.tailDb > kMaxTailDb)
            recordFailure(kit, i, "tail",
                          format("stops %.1f dB below its loudest (target <= %.0f dB)", s.at127.tailDb, kMaxTailDb),
                          true);
        if (tonal(i) && s.at127.onsetStepDb > kMaxOnsetDb)
            recordFailure(kit, i, "onset",
                          format("first sample %.1f dB re peak (target <= %.0f dB)", s.at127.onsetStepDb, kMaxOnsetDb),
                          true);
        if (tonal(i)) {
            const double off = loadPitchDeviation(s.atLoad, s.at127);
            if (off > kLoadPitchTolerance)
                recordFailure(kit, i, "load",
                              format("per-cycle pitch right at the load up to %.1f %% off the settled one "
                                     "(first cycle %.1f Hz against %.1f Hz)",
                                     100.0 * off, s.atLoad.startPitchHz, s.at127.startPitchHz),
                              true);
        }
    }
    checkPromisedSweeps(kit);
    checkColour(kit);
    if (kit.groovePeakDb < kGrooveLowDb || kit.groovePeakDb > kGrooveHighDb)
        recordFailure(kit, -1, "groove-level",
                      format("the groove peaks at %.2f dBFS (target %.0f to %.0f dBFS)", kit.groovePeakDb, kGrooveLowDb,
                             kGrooveHighDb),
                      true);
}

double kitDistance(const KitResult& a, const KitResult& b) {
    std::vector<double> distances;
    for (std::size_t s = 0; s < kSounds; ++s) {
        const HitMeasures& p = a.sounds[s].at127;
        const HitMeasures& q = b.sounds[s].at127;
        if (p.silent && q.silent) continue;
        distances.push_back(p.silent || q.silent ? kSilentSoundDistance : soundDistance(p, q));
    }
    return median(distances);
}

void checkTargetsAcrossKits(std::vector<KitResult>& kits) {
    for (std::size_t a = 0; a < kits.size(); ++a) {
        for (std::size_t b = a + 1; b < kits.size(); ++b) {
            if (kits[a].silentKit() || kits[b].silentKit()) continue;
            const double d = kitDistance(kits[a], kits[b]);
            if (d >= kMinKitDistance) continue;
            const std::string detail = format("%.1f from \"", d);
            recordFailure(kits[a], -1, "distance",
                          detail + kits[b].name + format("\" (target >= %.0f)", kMinKitDistance), true);
            recordFailure(kits[b], -1, "distance",
                          detail + kits[a].name + format("\" (target >= %.0f)", kMinKitDistance), true);
        }
    }
}

}  // namespace kettrix::kitcheck
