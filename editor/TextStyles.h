// The editor's text styles, filled field by field.
#pragma once

#include <cstdio>

#include "graphics/GraphicsTypes.h"

namespace kettrix::editor {

inline IText makeTextStyle(int size, const IColor& color, const char* face, IText::EStyle style, IText::EAlign align) {
    IText text;
    text.mSize = size;
    text.mColor = color;
    text.mStyle = style;
    text.mAlign = align;
    std::snprintf(text.mFont, sizeof text.mFont, "%s", face);
    return text;
}

}  // namespace kettrix::editor
