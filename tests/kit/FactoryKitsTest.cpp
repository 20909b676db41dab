#include "kit/FactoryKits.h"

#include <gtest/gtest.h>

#include "kit/KitText.h"

using namespace kettrix::kit;

TEST(FactoryKits, EveryEmbeddedKitParses) {
    const FactoryKits factory = buildFactoryKits();
    for (const std::string& error : factory.errors) ADD_FAILURE() << error;
    ASSERT_EQ(factory.kits.size(), 34u);
    EXPECT_EQ(factory.kits.front().name, "Electronic 1");
    EXPECT_EQ(factory.kits.back().name, "Empty");
}

// Loading a kit runs every parameter change in index order; where a pair of
// mirrored controls disagreed, the first would overwrite the second and the
// kit would no longer serialise to the chunk it was loaded from.
TEST(FactoryKits, MirroredPairsHoldEqualValues) {
    const std::pair<int, int> mirrored[] = {{30, 98}, {55, 99}, {81, 100}, {17, 70}, {18, 96}};
    for (const FactoryKit& kit : buildFactoryKits().kits) {
        SCOPED_TRACE(kit.name);
        KitState state;
        ASSERT_EQ(decodeStateChunk(kit.chunk, 0, state), static_cast<int>(kit.chunk.size()));
        for (int s = 0; s < kSoundCount; ++s) {
            for (const auto& [a, b] : mirrored)
                EXPECT_EQ(state.values[soundIndex(s, a)], state.values[soundIndex(s, b)]) << s << ": " << a << "/" << b;
            EXPECT_EQ(state.values[soundIndex(s, offset::kVolume)], state.values[global::kSoundVolume + s]) << s;
        }
    }
}

TEST(FactoryKits, TextToChunkToTextIsLossless) {
    for (const FactoryKitSource& source : factoryKitSources()) {
        SCOPED_TRACE(source.fileName);
        const auto parsed = parseKitText(std::string_view(source.text, source.size), source.fileName);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        KitText decoded;
        decoded.kitName = parsed.kit.kitName;
        const auto chunk = encodeStateChunk(parsed.kit.state);
        ASSERT_EQ(decodeStateChunk(chunk, 0, decoded.state), static_cast<int>(chunk.size()));
        const std::string text = writeKitText(decoded);
        const auto reparsed = parseKitText(text, "regenerated");
        ASSERT_TRUE(reparsed.ok) << reparsed.error;
        EXPECT_EQ(encodeStateChunk(reparsed.kit.state), chunk);
        EXPECT_EQ(writeKitText(reparsed.kit), text);
    }
}
