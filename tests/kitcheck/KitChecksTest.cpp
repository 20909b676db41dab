// The kit checks on measured values made up for each case.
#include "KitChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace kettrix::kitcheck;

namespace {

HitMeasures hitOf(double lufs, double centroid, double decay) {
    HitMeasures m;
    m.silent = false;
    m.loudness = lufs;
    m.peakDb = lufs + 15.0;
    m.centroidHz = centroid;
    m.decaySeconds = decay;
    return m;
}

// A kit whose every sound fits its role, with velocity 64 5 LU down.
KitResult goodKit(const std::string& name) {
    KitResult kit;
    kit.name = name;
    const double centroid[kSounds] = {80, 900, 1500, 2000, 9000, 9000, 120, 200, 8000, 7000};
    const double decay[kSounds] = {0.5, 0.2, 0.2, 0.3, 0.1, 0.8, 0.4, 0.35, 2.0, 1.5};
    for (int s = 0; s < kSounds; ++s) {
        SoundResult& sound = kit.sounds[static_cast<std::size_t>(s)];
        sound.name = std::to_string(s + 1);
        sound.at127 = hitOf(-30.0 + (s % 3), centroid[s], decay[s]);
        sound.at64 = hitOf(sound.at127.loudness - 5.0, centroid[s], decay[s]);
    }
    kit.groovePeakDb = -3.0;
    return kit;
}

bool failsWith(const KitResult& kit, const std::string& check) {
    return std::any_of(kit.failures.begin(), kit.failures.end(),
                       [&](const std::string& line) { return line.rfind(check + ":", 0) == 0; });
}

}  // namespace

TEST(KitChecks, AKitThatFitsEveryRolePasses) {
    KitResult kit = goodKit("Good");
    checkKit(kit);
    EXPECT_TRUE(kit.failures.empty()) << kit.failures.front();
}

TEST(KitChecks, RoleLoudnessVelocityTomsChokeAndHeadroomFailures) {
    KitResult dark = goodKit("Dark hats");
    dark.sounds[4].at127.centroidHz = 2500;  // closed hat below 4 kHz
    checkKit(dark);
    EXPECT_TRUE(failsWith(dark, "centroid"));

    KitResult quiet = goodKit("Quiet hat");
    quiet.sounds[4].at127.loudness = -40.0;  // far below the kit's median
    checkKit(quiet);
    EXPECT_TRUE(failsWith(quiet, "loudness"));

    KitResult flat = goodKit("Flat");
    flat.sounds[2].at64.loudness = flat.sounds[2].at127.loudness - 1.0;
    checkKit(flat);
    EXPECT_TRUE(failsWith(flat, "velocity"));

    KitResult toms = goodKit("Toms");
    std::swap(toms.sounds[6].at127.centroidHz, toms.sounds[7].at127.centroidHz);
    checkKit(toms);
    EXPECT_TRUE(failsWith(toms, "toms"));

    KitResult choke = goodKit("Choke");
    choke.chokes = true;
    choke.chokeResidualDb = -40.0;
    choke.groovePeakDb = -0.5;
    checkKit(choke);
    EXPECT_TRUE(failsWith(choke, "choke"));
    EXPECT_TRUE(failsWith(choke, "groove-peak"));
}

TEST(KitChecks, DeclaredDeviationsAndUnusedSlots) {
    KitResult kit = goodKit("Stick");
    kit.deviations = parseDeviations("# text\n# allow: sound 9 centroid decay  a rim click\nkit \"Stick\"\n");
    kit.sounds[8].at127 = hitOf(-30.0, 1500, 0.05);
    kit.sounds[9].unused = true;
    kit.sounds[9].at127 = HitMeasures{};
    kit.sounds[9].at64 = HitMeasures{};
    checkKit(kit);
    EXPECT_TRUE(kit.failures.empty()) << kit.failures.front();
    EXPECT_EQ(kit.allowedFailures.size(), 2u);

    kit = goodKit("Unused but sounding");
    kit.sounds[9].unused = true;
    checkKit(kit);
    EXPECT_TRUE(failsWith(kit, "silent"));
}

TEST(KitChecks, KitsMustBeBalancedDistinctAndNotIdentical) {
    std::vector<KitResult> kits = {goodKit("A"), goodKit("B"), goodKit("C")};
    kits[0].values = {1.0, 2.0};
    kits[1].values = {1.0, 2.0};
    kits[2].values = {3.0, 4.0};
    for (int s = 0; s < 6; ++s) kits[2].sounds[static_cast<std::size_t>(s)].at127.decaySeconds *= 2.0;
    for (SoundResult& s : kits[2].sounds) s.at127.loudness += 1.5;  // median 1.5 LU up
    for (KitResult& k : kits) checkKit(k);
    checkAcrossKits(kits);
    EXPECT_TRUE(failsWith(kits[0], "identical"));
    EXPECT_TRUE(failsWith(kits[0], "distinct"));  // A and B sound the same
    EXPECT_FALSE(failsWith(kits[2], "distinct"));
    EXPECT_TRUE(failsWith(kits[2], "median"));
}

TEST(KitChecks, ClearDifferencesAreCentroidDecayOrLoudness) {
    const HitMeasures a = hitOf(-30, 1000, 0.5);
    EXPECT_FALSE(clearlyDifferent(a, hitOf(-29, 1100, 0.55)));
    EXPECT_TRUE(clearlyDifferent(a, hitOf(-30, 1200, 0.5)));
    EXPECT_TRUE(clearlyDifferent(a, hitOf(-30, 1000, 0.7)));
    EXPECT_TRUE(clearlyDifferent(a, hitOf(-27.5, 1000, 0.5)));
    EXPECT_TRUE(clearlyDifferent(a, HitMeasures{}));
}
