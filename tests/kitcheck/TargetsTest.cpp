// The sound targets on measured values made up for each case.
#include "Targets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace kettrix::kitcheck;

namespace {

// A hit of the given centroid and decay-40 that meets every general target:
// a fading tail, a quiet first sample, the same at every rate.
HitMeasures hit(double centroid, double decay40) {
    HitMeasures m;
    m.silent = false;
    m.loudness = -24.0;
    m.centroidHz = m.audibleCentroidHz = centroid;
    m.decay40Seconds = decay40;
    m.decaySeconds = 1.3 * decay40;
    m.tailDb = -95.0;
    m.onsetStepDb = -60.0;
    m.profileDb.fill(-60.0);
    return m;
}

// A kit whose every sound meets its targets: velocity 30 is 9 LU down and
// (on the drums and cymbals) 3 semitones darker.
KitResult targetKit(const std::string& name) {
    KitResult kit;
    kit.name = name;
    const double centroid[kSounds] = {90, 900, 1500, 2000, 8000, 8000, 120, 200, 5000, 6000};
    const double decay[kSounds] = {0.4, 0.2, 0.2, 0.3, 0.1, 0.8, 0.7, 0.5, 2.0, 1.5};
    for (int s = 0; s < kSounds; ++s) {
        SoundResult& sound = kit.sounds[static_cast<std::size_t>(s)];
        sound.name = std::to_string(s + 1);
        sound.at127 = hit(centroid[s], decay[s]);
        sound.at127.shareAbove15k = sound.at127.shareAbove10k = 0.05;
        sound.at127.profileDb[static_cast<std::size_t>(s)] = 0.0;
        sound.at30 = sound.at127;
        sound.at30.loudness -= 9.0;
        sound.at30.centroidHz /= std::pow(2.0, 3.0 / 12.0);
        sound.atLoad = sound.at48k = sound.at96k = sound.at127;
        sound.foldedDb = -70.0;
    }
    HitMeasures& kick = kit.sounds[0].at127;
    kick.share120To400 = 0.1;
    kick.settledPitchHz = 50.0;
    kick.sweepSemitones = 12.0;
    kick.sweepAt40msSemitones = 3.0;
    kick.cycleHz = {100.0, 90.0, 80.0, 70.0};
    kit.sounds[0].atLoad = kick;
    kit.groovePeakDb = -3.0;
    return kit;
}

bool misses(const KitResult& kit, const std::string& target) {
    return std::any_of(kit.targetFailures.begin(), kit.targetFailures.end(),
                       [&](const std::string& line) { return line.rfind(target + ":", 0) == 0; });
}

KitResult checked(KitResult kit) {
    checkTargets(kit);
    return kit;
}

}  // namespace

TEST(Targets, AKitMeetingEveryTargetPassesAndTheChecksStayApart) {
    const KitResult kit = checked(targetKit("Good"));
    EXPECT_TRUE(kit.targetFailures.empty()) << kit.targetFailures.front();

    // A missed target is listed with the targets, never with the checks.
    KitResult flat = targetKit("Flat");
    flat.sounds[0].at30.centroidHz = flat.sounds[0].at127.centroidHz;
    checkTargets(flat);
    EXPECT_TRUE(misses(flat, "velocity-tone"));
    EXPECT_TRUE(flat.failures.empty());
    EXPECT_EQ(flat.sounds[0].targetsFailed, std::vector<std::string>{"velocity-tone"});
}

TEST(Targets, VelocityKickAndColourTargets) {
    KitResult k = targetKit("Level only");
    k.sounds[3].at30.loudness = k.sounds[3].at127.loudness - 3.0;  // clap: too little drop
    k.sounds[4].at30.centroidHz = k.sounds[4].at127.centroidHz;    // hats need no tone change
    EXPECT_TRUE(misses(checked(k), "velocity-drop"));
    EXPECT_FALSE(misses(checked(k), "velocity-tone"));

    k = targetKit("Sub kick");
    k.sounds[0].at127.share120To400 = 0.02;
    EXPECT_TRUE(misses(checked(k), "kick-body"));
    k = targetKit("Fast sweep");
    k.sounds[0].at127.sweepAt40msSemitones = 0.4;
    EXPECT_TRUE(misses(checked(k), "sweep"));

    k = targetKit("Fizzy");
    k.sounds[4].at127.shareAbove15k = 0.4;  // the closed hat's top
    EXPECT_TRUE(misses(checked(k), "hat-tone"));
    k = targetKit("Bright crash");
    k.sounds[8].at127.centroidHz = 12000;
    EXPECT_TRUE(misses(checked(k), "crash-tone"));
    k = targetKit("Dark ride");
    k.sounds[9].at127.centroidHz = 3000;
    EXPECT_TRUE(misses(checked(k), "ride-tone"));
    k = targetKit("Short crash");
    k.sounds[8].at127.decay40Seconds = 1.2;
    EXPECT_TRUE(misses(checked(k), "decay40"));
}

TEST(Targets, RatesTailsOnsetsLoadsAndGroove) {
    KitResult k = targetKit("Aliasing ride");
    k.sounds[9].foldedDb = -12.0;
    EXPECT_TRUE(misses(checked(k), "folded"));

    // A kick 5 % lower at 96 kHz misses; a noise hat 10 % brighter there
    // is within the noise tolerance.
    k = targetKit("Rate-bound");
    k.sounds[0].at96k.decay40Seconds *= 1.05;
    k.sounds[4].at96k.audibleCentroidHz *= 1.10;
    const KitResult rates = checked(k);
    EXPECT_EQ(rates.sounds[0].targetsFailed, std::vector<std::string>{"rate"});
    EXPECT_TRUE(rates.sounds[4].targetsFailed.empty());

    k = targetKit("Cut hat");
    k.sounds[4].at127.tailDb = -30.0;
    EXPECT_TRUE(misses(checked(k), "tail"));
    k = targetKit("Clicking kick");
    k.sounds[0].at127.onsetStepDb = -12.0;
    EXPECT_TRUE(misses(checked(k), "onset"));
    k = targetKit("Gliding kick");
    k.sounds[0].atLoad.cycleHz = {30.0, 40.0, 50.0, 60.0};
    EXPECT_TRUE(misses(checked(k), "load"));
    k = targetKit("Quiet groove");
    k.groovePeakDb = -12.0;
    EXPECT_TRUE(misses(checked(k), "groove-level"));
}

TEST(Targets, DeclaredDeviationsAndPromisedSweeps) {
    KitResult k = targetKit("Tiny");
    k.deviations = parseDeviations(
        "# allow: sound 9 decay40 crash-tone  a small cymbal\n"
        "# promise: sound 1 sweep 24\n");
    k.sounds[8].at127.decay40Seconds = 0.3;
    k.sounds[8].at127.centroidHz = 9000;
    checkTargets(k);
    EXPECT_FALSE(misses(k, "decay40"));
    EXPECT_FALSE(misses(k, "crash-tone"));
    EXPECT_EQ(k.allowedFailures.size(), 2u);
    // The kick sweeps 12 semitones where the text promises 24.
    EXPECT_TRUE(misses(k, "sweep"));
    k.targetFailures.clear();
    k.sounds[0].at127.sweepSemitones = 22.0;
    k.sounds[0].targetsFailed.clear();
    k.allowedFailures.clear();
    checkTargets(k);
    EXPECT_FALSE(misses(k, "sweep"));

    // More than two allow lines are a failed check of their own.
    KitResult many = targetKit("Many");
    many.deviations = parseDeviations("# allow: sound 1 tail\n# allow: sound 2 tail\n# allow: sound 3 tail\n");
    checkKit(many);
    EXPECT_TRUE(std::any_of(many.failures.begin(), many.failures.end(),
                            [](const std::string& line) { return line.rfind("allow:", 0) == 0; }));
}

TEST(Targets, KitDistanceSeparatesKitsAndMeasuresRateDeviation) {
    std::vector<KitResult> kits = {targetKit("A"), targetKit("B"), targetKit("C")};
    // C: every profile 20 dB apart in four bands: an RMS of sqrt(4 * 400 / 30).
    for (SoundResult& s : kits[2].sounds)
        for (int b = 20; b < 24; ++b) s.at127.profileDb[static_cast<std::size_t>(b)] = -40.0;
    EXPECT_EQ(kitDistance(kits[0], kits[1]), 0.0);
    EXPECT_NEAR(kitDistance(kits[0], kits[2]), std::sqrt(4 * 400.0 / kProfileBands), 1e-9);
    checkTargetsAcrossKits(kits);
    EXPECT_TRUE(misses(kits[0], "distance"));  // A and B are the same
    EXPECT_FALSE(misses(kits[2], "distance"));

    // A sound silent in one kit counts as far apart.
    KitResult sparse = targetKit("Sparse");
    for (int s = 0; s < 6; ++s) sparse.sounds[static_cast<std::size_t>(s)].at127 = HitMeasures{};
    EXPECT_GE(kitDistance(kits[0], sparse), 60.0);

    EXPECT_NEAR(rateDeviation(100.0, 102.0, 95.0), 5.0 / 95.0, 1e-12);
    EXPECT_EQ(rateDeviation(100.0, 0.0, 100.0), 0.0);
}
