// Plain values on their way to the controls: whichever way they arrive (the
// plug-in's value call or the graphics object), a control shows the value as
// its parameter normalises it, and never a NaN.
#include <cmath>
#include <limits>

#include "EditorFixture.h"

namespace kettrix::test {
namespace {

using kit::soundIndex;
namespace off = kit::offset;

class EditorValue : public EditorFixture {
protected:
    EditorValue() { open(); }
};

TEST_F(EditorValue, PlainValuesReachControlsAsTheParameterNormalisesThem) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr int kSound = 2;
    clickSoundTab(kSound);
    // A knob of 0..1, one of 0..2, an integer selector and the pan knob.
    for (int offset : {off::kOsc1Pitch, off::kHitVolume, off::kOscVolAttackType, off::kPan}) {
        const int index = soundIndex(kSound, offset);
        const Param& param = *plug().ParamAt(index);
        IControl* shown = controlOf(kSound, offset);
        ASSERT_NE(shown, nullptr) << offset;
        for (double plain : {-5.0, param.Min(), 0.3, 1.0, 1.7, param.Max(), 50.0, kNaN, kInf, -kInf}) {
            ed().ShowValue(index, 0.5, true);
            ed().ShowValue(index, plain, false);
            EXPECT_EQ(shown->GetValue(), param.Normalized(plain)) << offset << " " << plain;
            ed().ShowValue(index, 0.5, true);
            gui().SetParameterFromPlug(index, plain, false);
            EXPECT_EQ(shown->GetValue(), param.Normalized(plain)) << offset << " " << plain;
            EXPECT_TRUE(std::isfinite(shown->GetValue())) << offset << " " << plain;
        }
    }
    // NaN reads as the bottom of the range, as the parameter stores it.
    ed().ShowValue(soundIndex(kSound, off::kPan), kNaN, false);
    EXPECT_EQ(controlOf(kSound, off::kPan)->GetValue(), 0.0);
}

}  // namespace
}  // namespace kettrix::test
