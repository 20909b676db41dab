// WavetableBank: the sets as converted from their resources.

#include <gtest/gtest.h>

#include <cstdint>

#include "OscillatorTestSupport.h"
#include "engine/WavetableBank.h"
#include "resources/Resources.h"

namespace {

using namespace kettrix::engine;

TEST(WavetableBankLoading, EverySlotHoldsItsResourceScaledBy32767WithTheWrapCopy) {
    const WavetableBank& bank = kettrix::test::sharedBank();
    for (int slot = 0; slot < kWavetableSetCount; ++slot) {
        const auto resource = kettrix::resources::find("WAV", WavetableBank::kResourceIds[slot]);
        ASSERT_TRUE(resource);
        const WavetableSet& set = bank.set(slot);
        for (int t = 0; t < kWavetablesPerSet; ++t) {
            for (int i = 0; i < kWavetableLength; i += 37) {
                const std::size_t at = (std::size_t(t) * kWavetableLength + i) * 2;
                const auto value = std::int16_t(std::uint16_t(resource.data[at] | (resource.data[at + 1] << 8)));
                ASSERT_EQ(set[t][i], value / 32767.0) << slot << "/" << t << "/" << i;
            }
            ASSERT_EQ(set[t][kWavetableLength], set[t][0]);
        }
    }
}

TEST(WavetableBankLoading, MissingResourcesAndSlotsLeaveSilence) {
    WavetableBank bank;
    EXPECT_FALSE(bank.load(999, 2));  // no such resource: the slot is cleared
    for (const Wavetable& table : bank.set(2))
        for (double x : table) ASSERT_EQ(x, 0.0);
    EXPECT_TRUE(bank.load(203, 2));
    EXPECT_NE(bank.set(2)[0][100], 0.0);

    EXPECT_FALSE(bank.load(201, 7));
    EXPECT_FALSE(bank.load(201, -1));
    EXPECT_EQ(&bank.set(7), &WavetableBank::silentSet());
    EXPECT_EQ(&bank.set(-1), &WavetableBank::silentSet());
}

}  // namespace
