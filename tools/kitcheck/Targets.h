// The sound targets the factory kits are voiced towards, measured against
// recordings of real drums (see docs/kits.md): velocity tone, kick body and
// sweep, hat and cymbal colour, decay lengths, folded power and agreement
// between host rates, fading tails, clean onsets, the same sound right after
// a kit load, kit distance and groove level. They are reported apart from
// the checks: kettrix-kitcheck fails on them only with --targets.
#pragma once

#include "KitChecks.h"

#include <vector>

namespace kettrix::kitcheck {

inline constexpr double kMinKitDistance = 6.0;

// The targets of one kit's sounds and of its groove.
void checkTargets(KitResult& kit);
// The distance of every pair of kits (each below kMinKitDistance misses
// the "distance" target on both).
void checkTargetsAcrossKits(std::vector<KitResult>& kits);

// The distance of two kits: the median over the sounds audible in either of
// soundDistance (a sound silent in one kit counts as 60 apart).
double kitDistance(const KitResult& a, const KitResult& b);

// Largest relative difference of a measure between 44.1 kHz and the other
// two rates (0 when it is missing at a rate).
double rateDeviation(double at44k, double at48k, double at96k);

// Largest relative difference of the per-cycle pitch between the hit right
// at the load and the settled one, over the cycles both hold.
double loadPitchDeviation(const HitMeasures& atLoad, const HitMeasures& settled);

}  // namespace kettrix::kitcheck
