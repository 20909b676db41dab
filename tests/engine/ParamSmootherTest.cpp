#include "engine/ParamSmoother.h"

#include <gtest/gtest.h>

using kettrix::engine::ParamSmoother;

namespace {
int samplesToSettle(ParamSmoother& s, int index) {
    int n = 0;
    while (!s.settled(index) && n < 1000000) {
        s.tick();
        ++n;
    }
    return n;
}
}  // namespace

TEST(ParamSmoother, GlidesAndSnapsExactlyOntoTheTarget) {
    ParamSmoother s;
    s.registerParam(11);
    s.setTarget(11, 0.75);
    s.tick();
    EXPECT_GT(s.current(11), 0.0);
    EXPECT_LT(s.current(11), 0.01);  // one step of 0.0005 of the distance
    const int n = samplesToSettle(s, 11);
    EXPECT_EQ(s.current(11), 0.75);
    EXPECT_EQ(s.movingCount(), 0);
    // ln(0.75 / 1e-5) x 2000 samples at 44.1 kHz.
    EXPECT_NEAR(n, 22460, 50);
}

TEST(ParamSmoother, GlideTakesTheSameTimeAtEverySampleRate) {
    ParamSmoother a(44100.0), b(96000.0);
    a.registerParam(0);
    b.registerParam(0);
    a.setTarget(0, 1.0);
    b.setTarget(0, 1.0);
    const double ta = samplesToSettle(a, 0) / 44100.0;
    const double tb = samplesToSettle(b, 0) / 96000.0;
    EXPECT_NEAR(ta, tb, 0.001);
}

TEST(ParamSmoother, UnregisteredEntriesNeverMove) {
    ParamSmoother s;
    s.setTarget(5, 1.0);
    s.tick();
    EXPECT_EQ(s.current(5), 0.0);
    EXPECT_EQ(s.movingCount(), 0);
}

TEST(ParamSmoother, MovingListKeepsOrderAndEachEntryOnce) {
    ParamSmoother s;
    for (int i : {3, 7, 9}) s.registerParam(i);
    s.setTarget(7, 0.5);
    s.setTarget(3, 0.00001);  // settles on the first tick
    s.setTarget(7, 0.6);      // still moving: not listed twice
    s.setTarget(9, 0.2);
    EXPECT_EQ(s.movingCount(), 3);
    s.tick();
    EXPECT_EQ(s.movingCount(), 2);
    EXPECT_EQ(s.current(3), 0.00001);
    samplesToSettle(s, 7);
    samplesToSettle(s, 9);
    EXPECT_EQ(s.current(7), 0.6);
    EXPECT_EQ(s.current(9), 0.2);
    // Setting an unchanged target settles again on the next sample.
    s.setTarget(9, 0.2);
    s.tick();
    EXPECT_TRUE(s.settled(9));
    EXPECT_EQ(s.current(9), 0.2);
}
