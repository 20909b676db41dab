#include "editor/ControlGroup.h"

#include <algorithm>

#include "graphics/IGraphics.h"

namespace kettrix {

void ControlGroup::Bind(IGraphics& graphics) {
    graphics_ = &graphics;
    controls_.clear();
    for (int i = 0; i < graphics.NControls(); ++i) {
        const int param = graphics.GetControl(i)->ParamIdx();
        if (param >= 0 && std::find(params_.begin(), params_.end(), param) != params_.end()) controls_.push_back(i);
    }
}

void ControlGroup::SetHidden(bool hidden, bool force) {
    if (hidden == hidden_ && !force) return;
    hidden_ = hidden;
    if (graphics_ == nullptr) return;
    for (int index : controls_) graphics_->GetControl(index)->Hide(hidden);
}

}  // namespace kettrix
