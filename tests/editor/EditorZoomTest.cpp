// The editor at 150 and 200 % behaves as at 100 %: a click at the window
// pixel of every control's centre does to the kit what the click does at
// 100 %, and the host is told the window's size.
#include <gtest/gtest.h>

#include "EditorFixture.h"
#include "editor/EditorImages.h"
#include "graphics/BitmapCache.h"
#include "resources/Zoom.h"

namespace kettrix::test {
namespace {

class EditorZoomTest : public EditorFixture {
protected:
    // A second instance, like the fixture's, to run beside it at another zoom.
    struct Twin {
        Twin() { effect = CreateVstInstance(&RecordingHost::Callback); }
        ~Twin() { Dispatch(effect, effClose); }
        IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }
        IGraphicsOffscreen& gui() { return dynamic_cast<IGraphicsOffscreen&>(plug().Graphics()); }
        AEffect* effect = nullptr;
    };

    static std::pair<int, int> EditRect(AEffect* effect) {
        ERect* rect = nullptr;
        Dispatch(effect, effEditGetRect, 0, 0, &rect);
        return rect ? std::make_pair(rect->right - rect->left, rect->bottom - rect->top) : std::make_pair(0, 0);
    }
};

TEST_F(EditorZoomTest, EveryControlClickedAtItsZoomedCentreChangesWhatItChangesAt100) {
    for (int percent : {150, 200}) {
        SCOPED_TRACE(percent);
        Twin hundred, zoomed;
        ASSERT_TRUE(zoomed.plug().Graphics().SetZoom(percent));
        for (Twin* twin : {&hundred, &zoomed}) {
            Dispatch(twin->effect, effOpen);
            Dispatch(twin->effect, effEditOpen, 0, 0, nullptr);
            twin->gui().Tick();
        }
        EXPECT_EQ(EditRect(zoomed.effect), std::make_pair(zoom::ToPhysical(editor::kEditorWidth, percent),
                                                          zoom::ToPhysical(editor::kEditorHeight, percent)));
        IGraphics& logical = hundred.plug().Graphics();
        int clicked = 0;
        for (int i = 1; i < logical.NControls(); ++i) {
            const IControl* control = logical.GetControl(i);
            if (control->IsHidden() || control->IsGrayed()) continue;
            const IRECT& r = control->GetTargetRECT();
            const int x = (r.L + r.R) / 2, y = (r.T + r.B) / 2;
            hundred.gui().Click(x, y);
            zoomed.gui().Click(zoom::ToPhysical(x, percent), zoom::ToPhysical(y, percent));
            hundred.gui().Tick();
            zoomed.gui().Tick();
            ++clicked;
            for (int p = 0; p < kit::kParameterCount; ++p)
                ASSERT_EQ(hundred.plug().ParamAt(p)->Value(), zoomed.plug().ParamAt(p)->Value())
                    << "parameter " << p << " after clicking control " << i << " at " << x << "," << y;
        }
        EXPECT_GT(clicked, 100);
    }
}

TEST(EditorZoomImages, EveryImageTheEditorLoadsDecodesAtEveryZoomThroughItsOwnLoader) {
    for (const editor::ImageEntry& entry : editor::editorImages()) {
        // The one strip the table cuts unevenly is loaded but never drawn.
        const bool evenFrames = entry.height % entry.frames == 0;
        EXPECT_TRUE(evenFrames || entry.id == editor::image::kSoundVolumeSlider69) << entry.name;
        if (!evenFrames) continue;
        for (int percent : zoom::kPercents) {
            SCOPED_TRACE(std::string(entry.name) + " at " + std::to_string(percent));
            const LICE_IBitmap* image = LoadCachedPNG(entry.id, percent);
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->GetWidth(), zoom::ToPhysical(entry.width, percent));
            EXPECT_EQ(image->GetHeight(), entry.frames * zoom::ToPhysical(entry.height / entry.frames, percent));
        }
    }
}

}  // namespace
}  // namespace kettrix::test
