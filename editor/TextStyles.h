// The editor's text styles, filled field by field.
#pragma once

#include <cstdio>

#include "graphics/GraphicsTypes.h"

namespace kettrix::editor {

inline IText makeTextStyle(int size, const IColor& color, const char* face, IText::EStyle style, IText::EAlign align) {
    IText text;
    text.size_ = size;
    text.color_ = color;
    text.style_ = style;
    text.align_ = align;
    std::snprintf(text.font_, sizeof text.font_, "%s", face);
    return text;
}

}  // namespace kettrix::editor
