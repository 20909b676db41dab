#include "kit/ParameterTable.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace kettrix::kit;

TEST(ParameterTable, NamesFollowTheSoundPrefixRuleAndItsExceptions) {
    EXPECT_EQ(parameterInfo(0).name, "Osc1 snap to MIDI notes");
    EXPECT_EQ(parameterInfo(132).name, "Osc1 snap to MIDI notes");
    EXPECT_EQ(parameterInfo(234).name, "SND2 Volume");
    EXPECT_EQ(parameterInfo(soundIndex(9, 102)).name, "SND10 Volume");
    EXPECT_EQ(parameterInfo(1330).name, "SND10 Show Sound");
    EXPECT_EQ(parameterInfo(1361).name, "SND1 Sound Vol");
    EXPECT_EQ(parameterInfo(125).name, "Patch");
    EXPECT_EQ(parameterInfo(soundIndex(1, 125)).name, "SND2 --------");
    EXPECT_EQ(parameterInfo(1371).name, "Keyboard Mode");
    EXPECT_EQ(parameterInfo(1385).name, "paramaterReadout");
    // Offsets 74 and 87 share a name, as stored by every saved kit's host.
    EXPECT_EQ(parameterInfo(74).name, parameterInfo(87).name);
}

TEST(ParameterTable, EnvelopeEditorOffsetsExistOnlyInSoundZero) {
    for (int off : {1, 2, 3, 57, 58, 83, 84}) {
        SCOPED_TRACE(off);
        EXPECT_EQ(parameterInfo(off).kind, ParamKind::Continuous);
        EXPECT_TRUE(parameterInfo(off).name.find("envelope") != std::string::npos);
        for (int s = 1; s < kSoundCount; ++s) {
            const ParamInfo& fresh = parameterInfo(soundIndex(s, off));
            EXPECT_EQ(fresh.kind, ParamKind::None);
            EXPECT_TRUE(fresh.name.empty());
            EXPECT_EQ(fresh.min, 0.0);
            EXPECT_EQ(fresh.max, 1.0);
            EXPECT_EQ(fresh.defaultValue, 0.0);
        }
    }
    EXPECT_EQ(parameterInfo(57).min, 0.0);  // noise volume editors start at 0, the others at 0.1
    EXPECT_EQ(parameterInfo(58).min, 0.1);
}

TEST(ParameterTable, KindsRangesAndPrecisions) {
    EXPECT_EQ(parameterInfo(11).displayPrecision, 6);                    // Osc1 pitch
    EXPECT_EQ(parameterInfo(102).displayPrecision, 3);                   // Volume
    EXPECT_EQ(parameterInfo(global::kSoundVolume).displayPrecision, 4);  // Sound Vol
    EXPECT_EQ(parameterInfo(19).kind, ParamKind::Integer);
    EXPECT_EQ(parameterInfo(19).max, 18.0);
    EXPECT_EQ(parameterInfo(soundIndex(3, offset::kChoke)).max, 10.0);
    EXPECT_EQ(parameterInfo(125).max, 8.0);
    EXPECT_EQ(parameterInfo(soundIndex(4, offset::kPatch)).max, 2.0);
    EXPECT_EQ(clampToRange(offset::kChoke, 11.0), 10.0);
    EXPECT_EQ(clampToRange(offset::kChoke, std::numeric_limits<double>::quiet_NaN()), 0.0);

    int switches = 0, integers = 0, continuous = 0, none = 0;
    for (int i = 0; i < kParameterCount; ++i) {
        const ParamInfo& p = parameterInfo(i);
        ASSERT_LE(p.min, p.defaultValue) << i;
        ASSERT_GE(p.max, p.defaultValue) << i;
        switch (p.kind) {
            case ParamKind::Switch:
                ++switches;
                break;
            case ParamKind::Integer:
                ++integers;
                break;
            case ParamKind::Continuous:
                ++continuous;
                break;
            case ParamKind::None:
                ++none;
                break;
        }
    }
    EXPECT_EQ(none, 9 * 7);
    EXPECT_EQ(switches, 10 * 32 + 40);  // 32 switches per block plus four rows of ten in the strip
    EXPECT_EQ(integers, 351);
    EXPECT_EQ(continuous, 619);
}

// The layout's names (which the engine and the plug-in use too) must point at
// the rows the table defines there.
TEST(ParameterTable, TheLayoutsNamesPointAtTheirRows) {
    const auto nameOf = [](int off) { return parameterInfo(soundIndex(2, off)).name; };
    EXPECT_EQ(nameOf(offset::kOsc1Pitch), "SND3 Osc1 pitch");
    EXPECT_EQ(nameOf(offset::kOsc1Type), "SND3 Osc1 type");
    EXPECT_EQ(nameOf(offset::kHitType), "SND3 Hit type");
    EXPECT_EQ(nameOf(offset::kOscVolDepth), "SND3 Osc volume depth");
    EXPECT_EQ(nameOf(offset::kOscVolume), "SND3 Osc volume");
    EXPECT_EQ(nameOf(offset::kNoiseType), "SND3 Noise1 type");
    EXPECT_EQ(nameOf(offset::kNoiseVolDepth), "SND3 Noise1 volume depth");
    EXPECT_EQ(nameOf(offset::kNoiseCutoff), "SND3 Noise1 filter cutoff");
    EXPECT_EQ(nameOf(offset::kNoise2Type), "SND3 Noise2 type");
    EXPECT_EQ(nameOf(offset::kNoise2VolDepth), "SND3 Noise2 volume depth");
    EXPECT_EQ(nameOf(offset::kPan), "SND3 Pan");
    EXPECT_EQ(nameOf(offset::kVolume), "SND3 Volume");
    EXPECT_EQ(nameOf(offset::kChannel), "SND3 Channel");
    EXPECT_EQ(nameOf(offset::kHitModDecay), "SND3 Hit Modulation Decay");
    EXPECT_EQ(nameOf(offset::kKeyLo), "SND3 KeyLo");
    EXPECT_EQ(nameOf(offset::kKeyHi), "SND3 KeyHi");
    EXPECT_EQ(nameOf(offset::kEffectAmount), "SND3 Effect amount");
    EXPECT_EQ(nameOf(offset::kEffectType), "SND3 Effect type");
    EXPECT_EQ(nameOf(offset::kUserKeyLo), "SND3 UserKeyLo");
    EXPECT_EQ(nameOf(offset::kUserKeyHi), "SND3 UserKeyHi");
    EXPECT_EQ(nameOf(offset::kChoke), "SND3 Choke");
    EXPECT_EQ(nameOf(offset::kOscOn), "SND3 Osc mute");
    EXPECT_EQ(nameOf(offset::kNoise1On), "SND3 Noise1 mute");
    EXPECT_EQ(nameOf(offset::kNoise2On), "SND3 Noise2 mute");
    EXPECT_EQ(parameterInfo(offset::kPatch).name, "Patch");
    // Noise 2's block repeats noise 1's kinds and ranges, shifted (a few
    // names are spelt differently, as saved kits store them).
    for (int off = offset::kNoiseType; off <= offset::kNoiseFilterType; ++off) {
        const ParamInfo& noise1 = parameterInfo(soundIndex(2, off));
        const ParamInfo& noise2 = parameterInfo(soundIndex(2, off + offset::kNoise2Shift));
        if (noise1.kind == ParamKind::None) continue;  // envelope-editor offsets of sound 0 only
        EXPECT_NE(noise1.name.find("Noise1"), std::string::npos) << off;
        EXPECT_NE(noise2.name.find("Noise2"), std::string::npos) << off;
        EXPECT_EQ(noise1.kind, noise2.kind) << off;
        EXPECT_EQ(noise1.max, noise2.max) << off;
        EXPECT_EQ(noise1.step, noise2.step) << off;
    }

    EXPECT_EQ(parameterInfo(global::kShowSound + 2).name, "SND3 Show Sound");
    EXPECT_EQ(parameterInfo(global::kSoundOn + 2).name, "SND3 Sound On");
    EXPECT_EQ(parameterInfo(global::kMute + 2).name, "SND3 Mute");
    EXPECT_EQ(parameterInfo(global::kSolo + 2).name, "SND3 Solo");
    EXPECT_EQ(parameterInfo(global::kSoundVolume + 2).name, "SND3 Sound Vol");
    EXPECT_EQ(parameterInfo(global::kKeyboardMode).name, "Keyboard Mode");
    EXPECT_EQ(parameterInfo(global::kFirstSelectorButton).name, "Noise 1 Type: Previous");
    EXPECT_EQ(parameterInfo(global::kLastSelectorButton).name, "Noise 2: Next Filter");
    EXPECT_EQ(parameterInfo(global::kParameterReadout).name, "paramaterReadout");
    EXPECT_EQ(parameterInfo(kParameterCount - 1).name, "Reserve");
}

TEST(ParameterTable, KeyDefaultsFollowTheSoundsDefaultRange) {
    for (int s = 0; s < kSoundCount; ++s) {
        EXPECT_EQ(parameterInfo(soundIndex(s, offset::kKeyLo)).defaultValue, 36 + 6 * s);
        EXPECT_EQ(parameterInfo(soundIndex(s, offset::kKeyHi)).defaultValue, 41 + 6 * s);
        EXPECT_EQ(parameterInfo(soundIndex(s, offset::kUserKeyLo)).defaultValue, 36 + 6 * s);
        EXPECT_EQ(parameterInfo(soundIndex(s, offset::kUserKeyHi)).defaultValue, 41 + 6 * s);
    }
}

TEST(ParameterTable, PrecisionFollowsTheStep) {
    EXPECT_EQ(displayPrecisionForStep(1.0), 0);
    EXPECT_EQ(displayPrecisionForStep(0.001), 3);
    EXPECT_EQ(displayPrecisionForStep(0.0001), 4);
    EXPECT_EQ(displayPrecisionForStep(1e-06), 6);
    EXPECT_EQ(displayPrecisionForStep(1e-09), 6);
}
