// A plug-in instance created through its entry point, with its editor drawn
// off-screen and driven by synthetic mouse events at editor pixels.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TestHost.h"
#include "editor/K4_GEnvelope.h"
#include "editor/KettrixEditor.h"
#include "editor/SV_ContextMenu.h"
#include "graphics/IGraphicsOffscreen.h"
#include "kit/ParameterTable.h"
#include "plugin/EditorAttachment.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

namespace kettrix::test {

inline std::unique_ptr<IGraphics> OffscreenGraphics(IGraphicsPlug* plug, int w, int h) {
    return std::make_unique<IGraphicsOffscreen>(plug, w, h);
}

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() {
        RecordingHost::Instance().Reset();
        SetGraphicsFactory(&OffscreenGraphics);
        effect = CreateVstInstance(&RecordingHost::Callback);
    }
    ~EditorFixture() override {
        if (effect) Dispatch(effect, effClose);
        SetGraphicsFactory(nullptr);
    }

    IPlugMonoSynth& plug() { return *static_cast<IPlugMonoSynth*>(static_cast<IPlugVST*>(effect->object)); }
    editor::KettrixEditor& ed() { return plug().Editor(); }
    IGraphicsOffscreen& gui() { return dynamic_cast<IGraphicsOffscreen&>(plug().Graphics()); }
    SV_ContextMenu& menu() { return *ed().Menu(); }
    double plain(int index) { return plug().ParamAt(index)->Value(); }
    IControl* control(int index) { return plug().Graphics().GetControl(index); }
    IControl* controlOf(int s, int off) { return control(ed().ControlOf(s, off)); }

    // Opens the editor as a host does: effOpen pushes the kit, then the window opens.
    void open() {
        Dispatch(effect, effOpen);
        Dispatch(effect, effEditOpen, 0, 0, nullptr);
    }
    void click(int x, int y, IMouseMod mod = IMouseMod(true)) { gui().Click(x, y, mod); }
    void rightClick(int x, int y) { click(x, y, IMouseMod(false, true)); }
    // The sound tab of sound i, below its name field.
    void clickSoundTab(int i) { click(35 + 77 * i + 20, 12); }

    AEffect* effect = nullptr;
};

}  // namespace kettrix::test
