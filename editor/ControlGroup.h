// The controls of one section of one sound that are hidden and shown
// together. A group names parameters; its controls are every control of the
// editor bound to one of them, found once when the control list is complete.
#pragma once

#include <vector>

namespace kettrix {

class IGraphics;

class ControlGroup {
public:
    void AddParam(int paramIdx) { params_.push_back(paramIdx); }
    // Collects the controls bound to the group's parameters, in list order.
    void Bind(IGraphics& graphics);
    // Hides or shows every control of the group; does nothing when the group
    // is already in that state unless forced.
    void SetHidden(bool hidden, bool force = false);

    bool IsHidden() const { return hidden_; }
    const std::vector<int>& Params() const { return params_; }
    const std::vector<int>& Controls() const { return controls_; }

private:
    IGraphics* graphics_ = nullptr;
    bool hidden_ = false;
    std::vector<int> params_;
    std::vector<int> controls_;
};

}  // namespace kettrix
