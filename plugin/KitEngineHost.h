#pragma once
// The engine's host inside the plug-in: parameter values from the kit's
// parameter store, controls set through the kit model's setControlValue
// (which runs the parameter change when the value differs), and the editor
// reached through the kit's editor seam, which works with or without a
// window.

#include "editor/LiveActivity.h"
#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"
#include "kit/EditorSeam.h"
#include "kit/KitModel.h"
#include "kit/ParameterStore.h"

namespace kettrix {

class KitEngineHost final : public engine::EngineHost {
public:
    KitEngineHost(kit::ParameterStore& store, kit::KitModel& kit, kit::EditorSeam& editor)
        : store_(store), kit_(kit), editor_(&editor) {}

    void attachEditor(kit::EditorSeam& editor) { editor_ = &editor; }

    double paramValue(int index) const override { return store_.value(index); }
    void storeParamValue(int index, double value) override {
        store_.setValue(index, value);
        editor_->showParameterValue(index, store_.value(index));
    }
    void setControlValue(int index, double value) override { kit_.setControlValue(index, value); }
    // The lamps and the keyboard may change on the audio thread: there only
    // flags are set, which the editor takes at its next tick. The lamp's
    // "Sound On" parameter is not changed.
    void setActivityIndicator(int sound, double value) override {
        if (activity_) activity_->SetLamp(sound, value > 0.0);
    }
    void keyRangeShown(int, int, int) override {}
    void redrawKeyboard() override {
        if (activity_) activity_->KeyboardChanged();
    }
    void attachActivity(editor::LiveActivity& activity) { activity_ = &activity; }

private:
    kit::ParameterStore& store_;
    kit::KitModel& kit_;
    kit::EditorSeam* editor_;
    editor::LiveActivity* activity_ = nullptr;
};

}  // namespace kettrix
