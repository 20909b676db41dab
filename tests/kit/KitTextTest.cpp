#include "kit/KitText.h"

#include <gtest/gtest.h>

using namespace kettrix::kit;

TEST(KitText, ReadsNamesAndValuesByNameOffsetAndIndex) {
    const auto result = parseKitText(R"(# a test kit
kit "Test \"kit\""
name 2 "R\x49M"

[sound 1]
Osc1 type = 1.5
offset 87 = off
Show Sound = on
[sound 10]
Volume = 2
Sound Vol = 0.25
[global]
Keyboard Mode = 3
index 1392 = 0.5
)",
                                     "test.kit");
    ASSERT_TRUE(result.ok) << result.error;
    const KitState& s = result.kit.state;
    EXPECT_EQ(result.kit.kitName, "Test \"kit\"");
    EXPECT_EQ(s.names[0], "KICK");
    EXPECT_EQ(s.names[1], "RIM");
    EXPECT_EQ(s.values[12], 1.5);
    EXPECT_EQ(s.values[87], 0.0);
    EXPECT_EQ(s.values[global::kShowSound], 1.0);
    EXPECT_EQ(s.values[soundIndex(9, offset::kVolume)], 2.0);
    EXPECT_EQ(s.values[global::kSoundVolume + 9], 0.25);
    EXPECT_EQ(s.values[global::kKeyboardMode], 3.0);
    EXPECT_EQ(s.values[1392], 0.5);
    EXPECT_EQ(s.values[soundIndex(3, offset::kKeyLo)], 54.0);  // unspecified: the default
}

TEST(KitText, ErrorsNameTheFileAndLine) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"[sound 1]\nOsc9 pitch = 0.5\n", "bad.kit:2: unknown parameter \"Osc9 pitch\""},
        {"[sound 2]\n\nChoke = 11\n", "bad.kit:3: value 11 of Choke (index 260) is outside 0 to 10"},
        {"[sound 1]\nNoise2 keytrack = on\n", "bad.kit:2: parameter name \"Noise2 keytrack\" repeats"},
        {"Volume = 1\n", "bad.kit:1: parameter Volume before any"},
        {"[sound 11]\n", "bad.kit:1: unknown section"},
        {"[sound 1]\nPan = loud\n", "bad.kit:2: bad value"},
        {"[sound 1]\nPan = nan\n", "bad.kit:2: bad value"},
        {"[sound 1]\nPan = on\n", "bad.kit:2: \"on\" is only for switches"},
        {"name 1 KICK\n", "bad.kit:1: expected a quoted sound name"},
        {"[sound 2]\noffset 1 = 2\n", "bad.kit:2: value 2 of offset 1 (index 133) is outside 0 to 1"},
        {"[global]\nVolume = 1\n", "bad.kit:2: unknown parameter"},
        // A chunk or preset name ends at its first zero byte, so none may hold one.
        {"\nname 2 \"SN\\x00ARE\"\n", "bad.kit:2: a sound name cannot hold a zero byte"},
        {"kit \"Dance\\x00\"\n", "bad.kit:1: a kit name cannot hold a zero byte"},
    };
    for (const auto& c : cases) {
        const auto result = parseKitText(c.text, "bad.kit");
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.error.rfind(c.expected, 0), 0u) << result.error;
    }
}

TEST(KitText, WriteThenParseIsLossless) {
    KitText kit;
    kit.kitName = "Odd \\ name\n";
    kit.state.names = {"", "A\x01\xFF", "SNARE", "CLAP", "CLOSED HH", "OPEN HH", "LO TOM", "HIGH TOM", "CRASH", "RIDE"};
    // Every parameter away from its default, including values that only a
    // shortest round-trip format keeps, fractional integers and negative zero.
    for (int i = 0; i < kParameterCount; ++i) {
        const ParamInfo& p = parameterInfo(i);
        kit.state.values[static_cast<std::size_t>(i)] =
            p.min + (p.max - p.min) * (0.1 + 0.8 * ((i * 7919) % 1000) / 1000.0);
    }
    kit.state.values[12] = 0.1 + 0.2;
    kit.state.values[0] = 1.0;
    kit.state.values[16] = -0.0;
    const std::string text = writeKitText(kit);
    const auto parsed = parseKitText(text, "roundtrip.kit");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.kit.kitName, kit.kitName);
    EXPECT_EQ(parsed.kit.state.names, kit.state.names);
    EXPECT_EQ(encodeStateChunk(parsed.kit.state), encodeStateChunk(kit.state));
    EXPECT_EQ(writeKitText(parsed.kit), text);
}

TEST(KitText, DefaultKitWritesOnlyItsNames) {
    const std::string text = writeKitText(KitText{});
    EXPECT_EQ(text.find('['), std::string::npos) << text;
    EXPECT_NE(text.find("name 10 \"RIDE\""), std::string::npos);
}
