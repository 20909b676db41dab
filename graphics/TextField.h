// A single-line edit field drawn by the framework itself, for window hosts
// whose toolkit offers no edit control of its own (X11): the text with its
// selection and caret, the editing keys, and its picture in a text style.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "GraphicsTypes.h"
#include "Lice.h"

namespace kettrix {

class TextField {
public:
    // Longest text the field accepts; typing beyond it is ignored.
    static constexpr std::size_t kDefaultMaxLength = 255;

    enum class Key { Backspace, Delete, Left, Right, Home, End };

    // Starts editing `text` (cut to maxLength) with all of it selected, as an
    // edit box does when it opens over a value.
    void Open(const std::string& text, std::size_t maxLength = kDefaultMaxLength);

    // Replaces the selection (or inserts at the caret) with the printable
    // characters of `chars`, up to the length limit.
    void Type(const std::string& chars);
    void Press(Key key);

    const std::string& Text() const { return text_; }
    std::size_t Caret() const { return caret_; }
    bool HasSelection() const { return anchor_ != caret_; }
    std::size_t SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }

    // Draws the field (background, selection, text, caret) into `bitmap`,
    // which is the field's rectangle: the style's face, size, weight,
    // alignment and text-entry colours.
    void Draw(LICE_IBitmap* bitmap, const IText& style) const;

private:
    void DeleteSelection();

    std::string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;  // the other end of the selection
    std::size_t maxLength_ = kDefaultMaxLength;
};

}  // namespace kettrix
