#include "kit/KitState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace kettrix::kit;

namespace {
std::vector<std::uint8_t> chunkWithNames(const std::vector<std::string>& names) {
    KitState state = KitState::defaults();
    for (std::size_t i = 0; i < names.size(); ++i) state.names[i] = names[i];
    return encodeStateChunk(state);
}
}  // namespace

TEST(StateChunk, DefaultKitHasTheDocumentedLayout) {
    const auto chunk = encodeStateChunk(KitState::defaults());
    ASSERT_EQ(chunk.size(), 11240u);
    EXPECT_EQ(loadInt32(chunk.data()), 4);
    EXPECT_EQ(std::memcmp(chunk.data() + 4, "KICK", 4), 0);
    // Values follow the 96 bytes of names: index 102 ("Volume") is 0.6.
    EXPECT_EQ(loadDouble(chunk.data() + 96 + 8 * 102), 0.6);
}

TEST(StateChunk, DecodeThenEncodeGivesTheSameBytes) {
    KitState state = KitState::defaults();
    state.names[3] = std::string("R\0M", 3);  // a zero byte ends a name when read
    state.values[11] = 0.123456789;
    state.values[19] = 7.42;  // fractional values of integer parameters are kept
    const auto chunk = encodeStateChunk(state);
    KitState decoded;
    ASSERT_EQ(decodeStateChunk(chunk, 0, decoded), static_cast<int>(chunk.size()));
    EXPECT_EQ(decoded.names[3], "R");
    decoded.names[3] = state.names[3];
    EXPECT_EQ(encodeStateChunk(decoded), chunk);
}

TEST(StateChunk, EmptyFirstNameIsReadAndTheNextNameFollowsAtFour) {
    auto chunk = chunkWithNames({""});
    SoundNames names;
    ASSERT_GT(readSoundNames(chunk, 0, names), 0);
    EXPECT_EQ(names[0], "");
    EXPECT_EQ(names[1], "PERC");
    EXPECT_EQ(loadInt32(chunk.data() + 4), 4);
}

TEST(StateChunk, ValuesAreClampedAndLongerChunksReadOnlyTo1393Values) {
    KitState state = KitState::defaults();
    state.values[offset::kChoke] = 11.0;
    auto chunk = encodeStateChunk(state);
    const int expectedEnd = static_cast<int>(chunk.size());
    chunk.insert(chunk.end(), 100, 0xFF);
    KitState decoded;
    EXPECT_EQ(decodeStateChunk(chunk, 0, decoded), expectedEnd);
    EXPECT_EQ(decoded.values[offset::kChoke], 10.0);
}

TEST(StateChunk, TruncationAtEveryByteFailsSafelyWithTheStatedState) {
    KitState source = KitState::defaults();
    for (int i = 0; i < kParameterCount; ++i) source.values[static_cast<std::size_t>(i)] = parameterInfo(i).max;
    source.names = {"A", "BB", "CCC", "D", "E", "F", "G", "H", "I", "J"};
    const auto full = encodeStateChunk(source);
    const int namesEnd = 40 + 1 + 2 + 3 + 7;
    for (std::size_t size = 0; size < full.size(); ++size) {
        const std::span<const std::uint8_t> cut(full.data(), size);
        KitState state = KitState::defaults();
        ASSERT_EQ(decodeStateChunk(cut, 0, state), -1) << size;
        const int s = static_cast<int>(size);
        if (s >= namesEnd) {
            // Every whole value was taken; the one cut short reads as 0.0
            // clamped; the ones after it keep their default.
            const int complete = (s - namesEnd) / 8;
            for (int i : {0, complete - 1, complete, complete + 1}) {
                if (i < 0 || i >= kParameterCount) continue;
                const double expected = i < complete    ? source.values[static_cast<std::size_t>(i)]
                                        : i == complete ? clampToRange(i, 0.0)
                                                        : parameterInfo(i).defaultValue;
                ASSERT_EQ(state.values[static_cast<std::size_t>(i)], expected) << size << " " << i;
            }
            ASSERT_EQ(state.names[9], "J");
        } else {
            // Cut inside the names: no value was read, later names repeat the
            // last one read.
            ASSERT_EQ(state.values[0], parameterInfo(0).defaultValue) << size;
            ASSERT_EQ(state.names[9], size < 5 ? "" : state.names[8]) << size;
        }
    }
}

TEST(StateChunk, HostileLengthsNeverReadOutsideTheChunk) {
    for (std::int32_t length :
         {-1, -8, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), 100000}) {
        std::vector<std::uint8_t> chunk(64, 'x');
        storeInt32(chunk.data(), length);
        SoundNames names = defaultSoundNames();
        EXPECT_LT(readSoundNames(chunk, 0, names), 0) << length;
        for (const auto& n : names) EXPECT_EQ(n, "") << length;
        KitState state;
        EXPECT_EQ(decodeStateChunk(chunk, 0, state), -1);
    }
}
