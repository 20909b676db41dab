// The read-out line: a text control whose text shrinks, a pixel at a time
// down to kSmallestSize, when it is wider than the line, so that long
// parameter names and the idle hint are read whole instead of cut off.
#pragma once

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

namespace kettrix {

class ReadOutLine : public ITextControl {
public:
    static constexpr int kSmallestSize = 10;

    using ITextControl::ITextControl;

    bool Draw(IGraphics* graphics) override {
        if (str_[0] == '\0') return true;
        IText text = text_;
        for (; text.size_ > kSmallestSize; --text.size_) {
            IRECT extent(rect_.L, rect_.T, rect_.L, rect_.T);
            if (!graphics->MeasureText(text, str_, extent) || extent.W() <= rect_.W()) break;
        }
        return graphics->DrawText(text, str_, rect_);
    }
};

}  // namespace kettrix
