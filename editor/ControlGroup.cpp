#include "editor/ControlGroup.h"

#include <algorithm>

#include "graphics/IGraphics.h"

namespace kettrix {

void ControlGroup::Bind(IGraphics& graphics) {
    mGraphics = &graphics;
    mControls.clear();
    for (int i = 0; i < graphics.NControls(); ++i) {
        const int param = graphics.GetControl(i)->ParamIdx();
        if (param >= 0 && std::find(mParams.begin(), mParams.end(), param) != mParams.end()) mControls.push_back(i);
    }
}

void ControlGroup::SetHidden(bool hidden, bool force) {
    if (hidden == mHidden && !force) return;
    mHidden = hidden;
    if (mGraphics == nullptr) return;
    for (int index : mControls) mGraphics->GetControl(index)->Hide(hidden);
}

}  // namespace kettrix
