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
        if (mStr[0] == '\0') return true;
        IText text = mText;
        for (; text.mSize > kSmallestSize; --text.mSize) {
            IRECT extent(mRECT.L, mRECT.T, mRECT.L, mRECT.T);
            if (!graphics->MeasureText(text, mStr, extent) || extent.W() <= mRECT.W()) break;
        }
        return graphics->DrawText(text, mStr, mRECT);
    }
};

}  // namespace kettrix
