// The measures of every kit and the checks the factory kits must pass: the
// roles of the default sounds, loudness balance within and across kits,
// velocity response, chokes, headroom of a groove and how distinct the kits
// are from each other.
#pragma once

#include "Measures.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kettrix::kitcheck {

inline constexpr int kSounds = 10;

// Deviations a kit declares in its text, one comment line each:
//   # allow: sound 9 centroid decay  (the reason follows)
//   # allow: kit toms
// and the pitch sweeps it promises, checked by the "sweep" target:
//   # promise: sound 1 sweep 24  (semitones from the first cycle down)
// Sounds are numbered 1 to 10 as in the kit text.
inline constexpr int kMaxAllowLines = 2;
struct Deviations {
    std::set<std::pair<int, std::string>> sound;  // (sound 0..9, check)
    std::set<std::string> kit;
    int allowLines = 0;
    std::map<int, double> promisedSweep;  // sound 0..9 -> semitones
};
Deviations parseDeviations(const std::string& kitText);

struct SoundResult {
    std::string name;
    bool unused = false;  // a slot the kit leaves empty on purpose: must be silent
    HitMeasures at127, at64;
    // Velocity 30; velocity 127 played right at the kit's load (no settling
    // second before it), at 48 kHz and at 96 kHz.
    HitMeasures at30, atLoad, at48k, at96k;
    double foldedDb = kFloorDb;  // the 44.1 kHz hit against the 96 kHz one
    bool finite = true;
    std::vector<std::string> failed;         // checks this sound fails
    std::vector<std::string> allowed;        // checks it fails as the kit declares
    std::vector<std::string> targetsFailed;  // targets it misses (see Targets.h)
    double velocityDrop() const { return at127.loudness - at64.loudness; }
};

struct KitResult {
    int slot = 0;
    std::string name;
    std::string fileStem;  // "00-electronic-1"
    std::array<SoundResult, kSounds> sounds;
    std::vector<double> values;  // the 1393 parameter values
    Deviations deviations;
    bool chokes = false;            // sound 5 cuts sound 6
    double chokeResidualDb = -240;  // open hat level after the closed hat
    double groovePeakDb = -240;
    bool grooveFinite = true;
    double median = kSilentLufs;        // median loudness of the kit's used sounds
    std::vector<std::string> failures;  // "check: detail", kit level and sounds
    std::vector<std::string> allowedFailures;
    std::vector<std::string> targetFailures;  // the same for the targets

    bool silentKit() const;
};

struct Role {
    double minCentroid, maxCentroid;  // Hz; 0 = no bound
    double minDecay, maxDecay;        // seconds; 0 = no bound
};
// The role of each default sound slot; nullptr for slots without one.
const Role* roleOf(int sound);

// Records a failed check (or target) of a sound (0..9) or of the kit (-1),
// as allowed when the kit declares it.
void recordFailure(KitResult& kit, int sound, const std::string& check, const std::string& detail, bool target = false);

// Runs the checks that need one kit only.
void checkKit(KitResult& kit);
// Checks across kits (median balance, distinctness, identical values);
// appends to each kit's failures.
void checkAcrossKits(std::vector<KitResult>& kits);

// Whether two measured hits differ clearly (centroid by >= 15 %, decay by
// >= 25 % or loudness by >= 2 LU; silent against audible always does).
bool clearlyDifferent(const HitMeasures& a, const HitMeasures& b);

}  // namespace kettrix::kitcheck
