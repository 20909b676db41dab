// Loading noise and hit samples from the embedded resources.
#include "NoiseTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kettrix::engine::SampleBank;

TEST(SampleBank, LoadsValuesOverFullScaleWithAWrapCopy) {
    const unsigned char bytes[] = {0xFF, 0x7F, 0x01, 0x80, 0x00, 0x00, 0x00, 0x40};  // 32767, -32767, 0, 16384
    SampleBank bank(2);
    ASSERT_TRUE(bank.loadBytes(bytes, sizeof bytes, 1));
    EXPECT_EQ(bank.length(1), 4);
    const double* b = bank.buffer(1);
    EXPECT_EQ(b[0], 1.0);
    EXPECT_EQ(b[1], -1.0);
    EXPECT_EQ(b[2], 0.0);
    EXPECT_EQ(b[3], 16384.0 / 32767.0);
    EXPECT_EQ(b[4], b[0]) << "wrap copy of the first sample";
    EXPECT_EQ(bank.length(0), 0) << "an unloaded slot is empty";
}

TEST(SampleBank, RejectsOverlongSamplesAndBadInput) {
    SampleBank bank(1);
    const unsigned char one[] = {0x10, 0x20};
    ASSERT_TRUE(bank.loadBytes(one, sizeof one, 0));
    std::vector<unsigned char> longest(SampleBank::kMaxLength * 2, 0x11);
    EXPECT_TRUE(bank.loadBytes(longest.data(), longest.size(), 0));
    EXPECT_EQ(bank.length(0), SampleBank::kMaxLength);
    longest.resize(longest.size() + 2, 0x11);
    EXPECT_FALSE(bank.loadBytes(longest.data(), longest.size(), 0));
    EXPECT_EQ(bank.length(0), 0) << "rejected: silent, and no length beyond the buffer";
    EXPECT_EQ(bank.buffer(0)[0], 0.0);
    EXPECT_FALSE(bank.loadBytes(one, 1, 0)) << "one byte holds no sample";
    EXPECT_FALSE(bank.loadBytes(one, sizeof one, 1)) << "slot out of range";
    EXPECT_FALSE(bank.load(999, 0)) << "missing resource";
    EXPECT_EQ(bank.length(-1), 0);
    EXPECT_EQ(bank.buffer(5)[0], 0.0);
}

TEST(SampleBank, EmbeddedLibraryFillsEverySlot) {
    const auto& noise = kettrix::testing::noiseBank();
    const auto& hits = kettrix::testing::hitBank();
    ASSERT_EQ(noise.capacity(), 37);
    ASSERT_EQ(hits.capacity(), 17);
    EXPECT_EQ(noise.length(0), 22050);   // "Noise"
    EXPECT_EQ(noise.length(30), 51083);  // "Vinyl 1"
    EXPECT_EQ(noise.length(36), 18733);  // "Octave 2"
    EXPECT_EQ(hits.length(0), 7);        // "Analog 1"
    EXPECT_EQ(hits.length(16), 1496);    // "Wood 4"
    for (const SampleBank* bank : {&noise, &hits}) {
        for (int slot = 0; slot < bank->capacity(); ++slot) {
            const int n = bank->length(slot);
            ASSERT_GT(n, 0) << "slot " << slot;
            double peak = 0.0;
            for (int i = 0; i <= n; ++i) peak = std::max(peak, std::fabs(bank->buffer(slot)[i]));
            EXPECT_NEAR(peak, 0.891, 0.02) << "slot " << slot;
            EXPECT_EQ(bank->buffer(slot)[n], bank->buffer(slot)[0]);
        }
    }
}

}  // namespace
