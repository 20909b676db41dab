// Parameter and preset store: chunk reading rules, parameter conversion and
// formatting, preset naming, blobs and the developer dump.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

#include "base/Base64.h"
#include "base/Chunk.h"
#include "base/IPlugBase.h"
#include "base/Param.h"

namespace kettrix {
namespace {

TEST(Chunk, TypedValuesReadBackAtTheirPositionsAndReadsPastTheEndFail) {
    Chunk chunk;
    chunk.PutU32(0x70666674u);
    chunk.PutDouble(-2.5);
    chunk.PutBool(true);
    chunk.PutStr("KICK");
    EXPECT_EQ(chunk.Size(), 4 + 8 + 1 + 4 + 4);
    EXPECT_EQ(chunk.Data()[0], 0x74);  // little-endian: 't' first

    uint32_t magic = 0;
    double value = 0.0;
    bool flag = false;
    std::string text;
    int pos = chunk.GetU32(&magic, 0);
    pos = chunk.GetDouble(&value, pos);
    pos = chunk.GetBool(&flag, pos);
    pos = chunk.GetStr(&text, pos);
    EXPECT_EQ(pos, chunk.Size());
    EXPECT_EQ(magic, 0x70666674u);
    EXPECT_EQ(value, -2.5);
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "KICK");

    EXPECT_EQ(chunk.GetU32(&magic, chunk.Size() - 3), -1);
    EXPECT_EQ(chunk.GetDouble(&value, chunk.Size()), -1);
    EXPECT_EQ(chunk.GetBool(&flag, -1), -1);
    EXPECT_EQ(chunk.GetBool(&flag, chunk.Size()), -1);
}

TEST(Chunk, TextLengthsThatDoNotFitNeverMoveBackwardsOrCopy) {
    Chunk negative;
    negative.PutI32(-8);
    negative.PutU64(0);
    std::string text = "unchanged";
    EXPECT_EQ(negative.GetStr(&text, 0), -1);
    EXPECT_EQ(text, "unchanged");

    Chunk tooLong;
    tooLong.PutI32(100);
    tooLong.PutBytes("abc", 3);
    EXPECT_EQ(tooLong.GetStr(&text, 0), 104);
    EXPECT_EQ(text, "unchanged");
    int32_t next = 0;
    EXPECT_EQ(tooLong.GetI32(&next, 104), -1);

    Chunk huge;
    huge.PutI32(std::numeric_limits<int32_t>::max());
    EXPECT_EQ(huge.GetStr(&text, 0), -1);

    Chunk empty;
    empty.PutStr("");
    EXPECT_EQ(empty.GetStr(&text, 0), 4);
    EXPECT_EQ(text, "unchanged");
}

TEST(Param, DisplayPrecisionComesFromTheStep) {
    EXPECT_EQ(PrecisionFromStep(0.001), 3);
    EXPECT_EQ(PrecisionFromStep(0.01), 2);
    EXPECT_EQ(PrecisionFromStep(0.5), 1);
    EXPECT_EQ(PrecisionFromStep(1e-6), 6);
    EXPECT_EQ(PrecisionFromStep(1e-9), 6);
    EXPECT_EQ(PrecisionFromStep(1.0), 0);
}

TEST(Param, FormattingUsesPrecisionDisplayTextsAndNegation) {
    char text[kParamTextBufferSize];
    Param gain;
    gain.DefineContinuous("Gain", 0.5, 0.0, 2.0, 0.001);
    gain.SetLabel("dB");
    gain.FormatCurrent(text, true);
    EXPECT_STREQ(text, "0.500");
    EXPECT_EQ(gain.HostLabel(), "dB");
    gain.FormatValue(0.25, true, text, true);  // normalized 0.25 of 0..2
    EXPECT_STREQ(text, "0.500");

    Param steps;
    steps.DefineInteger("Steps", 3, 0, 7);
    steps.FormatCurrent(text, true);
    EXPECT_STREQ(text, "3");
    steps.FormatValue(6.9, false, text, true);  // integers are truncated for display
    EXPECT_STREQ(text, "6");

    Param enable;
    enable.DefineSwitch("Enable", true);
    enable.FormatCurrent(text, true);
    EXPECT_STREQ(text, "on");
    enable.SetPlain(0.0);
    enable.FormatCurrent(text, true);
    EXPECT_STREQ(text, "off");
    enable.FormatCurrent(text, false);
    EXPECT_STREQ(text, "0");
    EXPECT_EQ(enable.HostLabel(), "");

    Param tune;
    tune.DefineContinuous("Tune", 0.25, -1.0, 1.0, 0.01);
    tune.SetNegateDisplay(true);
    tune.FormatCurrent(text, true);
    EXPECT_STREQ(text, "-0.25");
}

TEST(Param, NormalizedConversionRoundsStepsHalfUpAndStaysInRange) {
    Param steps;
    steps.DefineInteger("Steps", 0, 0, 7);
    steps.SetFromNormalized(0.5);
    EXPECT_EQ(steps.Value(), 4.0);  // 3.5 rounds up
    steps.SetFromNormalized(0.49);
    EXPECT_EQ(steps.Value(), 3.0);
    EXPECT_NEAR(steps.Normalized(), 3.0 / 7.0, 1e-12);

    Param gain;
    gain.DefineContinuous("Gain", 0.0, 0.0, 2.0, 0.001);
    gain.SetFromNormalized(0.5);
    EXPECT_EQ(gain.Value(), 1.0);
    gain.SetFromNormalized(0.1234567);  // continuous values are not stepped
    EXPECT_NEAR(gain.Value(), 0.2469134, 1e-12);

    // Hostile host values never leave the range.
    gain.SetFromNormalized(7.0);
    EXPECT_EQ(gain.Value(), 2.0);
    gain.SetFromNormalized(-3.0);
    EXPECT_EQ(gain.Value(), 0.0);
    gain.SetFromNormalized(std::nan(""));
    EXPECT_EQ(gain.Value(), 0.0);
    gain.SetPlain(std::nan(""));
    EXPECT_EQ(gain.Value(), 0.0);
    gain.SetPlain(99.0);
    EXPECT_EQ(gain.Value(), 2.0);
    EXPECT_EQ(gain.Normalized(), 1.0);
}

TEST(Param, FirstDefinitionFixesTheTypeAndMaxCoversOneStep) {
    Param param;
    EXPECT_EQ(param.GetType(), Param::Type::None);
    param.DefineSwitch("A", false);
    param.DefineContinuous("B", 0.0, 0.0, 5.0, 0.1);
    EXPECT_EQ(param.GetType(), Param::Type::Switch);
    EXPECT_EQ(param.Name(), "B");

    Param narrow;
    narrow.DefineContinuous("Narrow", 3.0, 3.0, 2.0, 0.5);
    EXPECT_EQ(narrow.Max(), 3.5);
}

TEST(Base64, DecodingStopsAtPaddingAndRespectsTheSize) {
    const uint8_t bytes[] = {0x00, 0xFF, 0x10, 0x80, 0x7E};
    const std::string encoded = Base64Encode(bytes, sizeof bytes);
    EXPECT_EQ(encoded, "AP8QgH4=");

    uint8_t out[8];
    EXPECT_EQ(Base64Decode(encoded.c_str(), out, sizeof out), 5u);
    EXPECT_EQ(0, std::memcmp(out, bytes, 5));
    EXPECT_EQ(out[5], 0);  // rest stays zero
    EXPECT_EQ(out[7], 0);

    uint8_t shortOut[2];
    EXPECT_EQ(Base64Decode(encoded.c_str(), shortOut, sizeof shortOut), 2u);
    EXPECT_EQ(shortOut[1], 0xFF);

    EXPECT_EQ(Base64Decode("AP8!QgH4", out, sizeof out), 2u);  // '!' ends the text
}

// A store without a host adapter, with a few typed parameters.
class StorePlug : public IPlugBase {
public:
    static PlugConfig Config() {
        PlugConfig config;
        config.effectName = "Store";
        config.numParams = 3;
        config.numPresets = 8;
        config.channelIOString = "0-2";
        return config;
    }

    StorePlug() : IPlugBase(Config()) {
        ParamAt(0)->DefineContinuous("Level", 0.5, 0.0, 1.0, 0.01);
        ParamAt(1)->DefineInteger("Mode", 2, 0, 5);
        ParamAt(2)->DefineSwitch("On", true);
    }

    void ParameterChanged(int index) override { changed.push_back(index); }
    void ProgramChanged() override { ++programChanges; }

    std::vector<int> changed;
    int programChanges = 0;
};

TEST(PresetStore, NeverUsedSlotsBecomeNumberedUserPresetsHoldingTheCurrentState) {
    StorePlug plug;
    EXPECT_STREQ(plug.PresetName(3), "empty");
    plug.ParamAt(0)->SetPlain(0.75);
    ASSERT_TRUE(plug.LoadPreset(3));
    EXPECT_STREQ(plug.PresetName(3), "user preset 1");
    EXPECT_EQ(plug.CurrentPresetIndex(), 3);
    ASSERT_TRUE(plug.LoadPreset(5));
    EXPECT_STREQ(plug.PresetName(5), "user preset 2");
    EXPECT_EQ(plug.programChanges, 2);

    plug.ParamAt(0)->SetPlain(0.1);
    ASSERT_TRUE(plug.LoadPreset(3));  // restores what slot 3 captured
    EXPECT_EQ(plug.ParamAt(0)->Value(), 0.75);
    EXPECT_FALSE(plug.LoadPreset(8));
    EXPECT_FALSE(plug.LoadPreset(-1));
    EXPECT_STREQ(plug.PresetName(8), "");
}

TEST(PresetStore, UnreadableSlotStateLeavesTheCurrentPresetAlone) {
    StorePlug plug;
    plug.MakePresetFromBlob("Broken", "", 0);  // initialised, but no state
    ASSERT_TRUE(plug.LoadPreset(1));
    EXPECT_FALSE(plug.LoadPreset(0));
    EXPECT_EQ(plug.CurrentPresetIndex(), 1);
}

TEST(PresetStore, FillEmptyPresetsOnlyTouchesUninitialisedSlots) {
    StorePlug plug;
    ASSERT_TRUE(plug.LoadPreset(0));
    plug.FillEmptyPresets(nullptr, 2);
    EXPECT_STREQ(plug.PresetName(0), "user preset 1");
    EXPECT_STREQ(plug.PresetName(1), "Empty");
    EXPECT_STREQ(plug.PresetName(2), "Empty");
    EXPECT_STREQ(plug.PresetName(3), "empty");
    plug.FillEmptyPresets("-", 100);
    EXPECT_STREQ(plug.PresetName(7), "-");
}

TEST(PresetStore, ShortStateSetsTheFailingParameterToZeroAndStillNotifiesAll) {
    StorePlug plug;
    Chunk chunk;
    chunk.PutDouble(0.3);
    chunk.PutU32(0);  // half a double
    plug.changed.clear();
    EXPECT_EQ(plug.UnserializeParams(chunk, 0), -1);
    EXPECT_EQ(plug.ParamAt(0)->Value(), 0.3);
    EXPECT_EQ(plug.ParamAt(1)->Value(), 0.0);
    EXPECT_EQ(plug.ParamAt(2)->Value(), 1.0);  // left as it was
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2}));
}

TEST(PresetStore, DumpedPresetLinesRecreateTheSameSlots) {
    StorePlug source;
    source.ParamAt(0)->SetPlain(0.42);
    source.FillEmptyPresets("Kit \"A\"", 1);
    source.FillEmptyPresets("Second", 1);
    const std::string path = ::testing::TempDir() + "kettrix_dump.txt";
    ASSERT_TRUE(source.DumpPresetSource(path.c_str()));

    std::ifstream file(path);
    std::string line;
    ASSERT_TRUE(std::getline(file, line));
    const std::string expectedStart = "MakePresetFromBlob(\"Kit \"A\"\", \"";
    EXPECT_EQ(line.rfind(expectedStart, 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 6), ", 24);");

    // Feed the base64 text back in.
    const std::size_t begin = expectedStart.size();
    const std::string encoded = line.substr(begin, line.find('"', begin) - begin);
    StorePlug copy;
    copy.MakePresetFromBlob("Copy", encoded.c_str(), 24);
    ASSERT_NE(copy.PresetAt(0), nullptr);
    EXPECT_EQ(copy.PresetAt(0)->chunk, source.PresetAt(0)->chunk);
    ASSERT_TRUE(copy.LoadPreset(0));
    EXPECT_EQ(copy.ParamAt(0)->Value(), 0.42);
    std::remove(path.c_str());

    EXPECT_FALSE(source.DumpPresetSource("/nonexistent-dir/TEST.txt"));
}

TEST(PresetStore, LegalIOMatchesListedPairsAndWildcards) {
    StorePlug plug;
    EXPECT_TRUE(plug.LegalIO(0, 2));
    EXPECT_TRUE(plug.LegalIO(-1, 2));
    EXPECT_TRUE(plug.LegalIO(0, -1));
    EXPECT_FALSE(plug.LegalIO(1, 2));
    EXPECT_FALSE(plug.LegalIO(0, 4));
}

}  // namespace
}  // namespace kettrix
