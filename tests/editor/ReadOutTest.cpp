// The read-out line's texts for the examples of every rule.
#include <gtest/gtest.h>

#include "editor/ReadOut.h"
#include "kit/ParameterTable.h"

namespace kettrix::editor {
namespace {

std::string text(int index, double value) {
    const kit::ParamInfo& info = kit::parameterInfo(index);
    return readOutText(index, value, info.name, info.max).value_or("<nothing>");
}

TEST(ReadOut, SwitchesPitchesMixPanAndVolumes) {
    for (int s = 0; s < kit::kSoundCount; ++s) {
        const std::string name = kit::parameterInfo(kit::soundIndex(s, 0)).name;
        EXPECT_EQ(text(kit::soundIndex(s, 0), 1.0), name + ": ON") << s;
        EXPECT_EQ(text(kit::soundIndex(s, 0), 0.0), name + ": OFF") << s;
    }
    const std::string pitch = kit::parameterInfo(11).name;
    EXPECT_EQ(text(11, 0.5), pitch + ": 440 Hz");
    EXPECT_EQ(text(11, 0.0), pitch + ": 13 Hz");
    EXPECT_EQ(text(kit::soundIndex(2, 85), 1.0), kit::parameterInfo(kit::soundIndex(2, 85)).name + ": 14080 Hz");
    EXPECT_EQ(text(15, 0.3), "Mix OSC1/OSC2: 70/30%");
    const int pan = kit::soundIndex(4, kit::offset::kPan);
    const std::string panName = kit::parameterInfo(pan).name;
    EXPECT_EQ(text(pan, 0.5), panName + ": 0% Center");
    EXPECT_EQ(text(pan, 0.5004), panName + ": 0% R");
    EXPECT_EQ(text(pan, 0.0), panName + ": 100% L");
    EXPECT_EQ(text(kit::soundIndex(1, kit::offset::kVolume), 2.0),
              kit::parameterInfo(kit::soundIndex(1, kit::offset::kVolume)).name + ": 100 %");
    EXPECT_EQ(text(kit::global::kSoundVolume + 3, 1.0),
              kit::parameterInfo(kit::global::kSoundVolume + 3).name + ": 50 %");
    EXPECT_EQ(text(kit::soundIndex(0, 130), 0.0), kit::parameterInfo(kit::soundIndex(0, 130)).name + ": MUTED");
}

TEST(ReadOut, NamesHintsSilencesAndTheGenericPercentage) {
    EXPECT_EQ(text(kit::soundIndex(3, 46), 5.0), kit::parameterInfo(kit::soundIndex(3, 46)).name);
    EXPECT_EQ(text(kit::global::kShowSound + 2, 0.0), kit::parameterInfo(kit::global::kShowSound + 2).name);
    EXPECT_EQ(text(kit::global::kKeyboard, 0.0), "Use right mouse button to drag range");
    EXPECT_EQ(text(57, 0.4), "Right click to select shape");
    EXPECT_EQ(text(kit::global::kSoundOn + 1, 1.0), "<nothing>");
    EXPECT_EQ(text(kit::global::kKeyboardMode, 1.0), "<nothing>");
    EXPECT_EQ(text(1380, 1.0), "<nothing>");
    EXPECT_EQ(text(kit::soundIndex(5, 69), 1.0), "<nothing>");
    EXPECT_EQ(text(-1, 0.0), "<nothing>");
    // "Hit volume" runs to 2: 1.0 is half of it.
    EXPECT_EQ(text(17, 1.0), kit::parameterInfo(17).name + ": 50 %");
    EXPECT_EQ(text(kit::global::kMute + 9, 1.0), kit::parameterInfo(kit::global::kMute + 9).name + ": ON");
}

}  // namespace
}  // namespace kettrix::editor
