// The controls of one section of one sound that are hidden and shown
// together. A group names parameters; its controls are every control of the
// editor bound to one of them, found once when the control list is complete.
#pragma once

#include <vector>

namespace kettrix {

class IGraphics;

class ControlGroup {
public:
    void AddParam(int paramIdx) { mParams.push_back(paramIdx); }
    // Collects the controls bound to the group's parameters, in list order.
    void Bind(IGraphics& graphics);
    // Hides or shows every control of the group; does nothing when the group
    // is already in that state unless forced.
    void SetHidden(bool hidden, bool force = false);

    bool IsHidden() const { return mHidden; }
    const std::vector<int>& Params() const { return mParams; }
    const std::vector<int>& Controls() const { return mControls; }

private:
    IGraphics* mGraphics = nullptr;
    bool mHidden = false;
    std::vector<int> mParams;
    std::vector<int> mControls;
};

}  // namespace kettrix
