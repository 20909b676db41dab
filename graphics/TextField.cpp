#include "TextField.h"

#include <algorithm>

namespace kettrix {

namespace {

constexpr int kPadding = 2;  // pixels between the field's edge and a near/far text
constexpr LICE_pixel kSelectionColor = LICE_RGBA(51, 153, 255, 255);

int TextWidth(LICE_CachedFont& font, const std::string& text, std::size_t length) {
    if (length == 0) return 0;
    IRECT r(0, 0, 0, 0);
    font.DrawText(nullptr, text.c_str(), static_cast<int>(length), &r,
                  LICE_DT_SINGLELINE | LICE_DT_NOCLIP | LICE_DT_CALCRECT);
    return r.W();
}

}  // namespace

void TextField::Open(const std::string& text, std::size_t maxLength) {
    maxLength_ = maxLength;
    text_ = text.substr(0, maxLength);
    anchor_ = 0;
    caret_ = text_.size();
}

void TextField::DeleteSelection() {
    const std::size_t start = SelectionStart();
    text_.erase(start, SelectionEnd() - start);
    caret_ = anchor_ = start;
}

void TextField::Type(const std::string& chars) {
    std::string printable;
    for (char c : chars)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) printable += c;
    if (printable.empty()) return;
    DeleteSelection();
    const std::size_t room = maxLength_ > text_.size() ? maxLength_ - text_.size() : 0;
    printable.resize(std::min(room, printable.size()));
    text_.insert(caret_, printable);
    caret_ += printable.size();
    anchor_ = caret_;
}

void TextField::Press(Key key) {
    switch (key) {
        case Key::Backspace:
            if (HasSelection())
                DeleteSelection();
            else if (caret_ > 0) {
                text_.erase(--caret_, 1);
                anchor_ = caret_;
            }
            break;
        case Key::Delete:
            if (HasSelection())
                DeleteSelection();
            else if (caret_ < text_.size())
                text_.erase(caret_, 1);
            break;
        case Key::Left:
            caret_ = HasSelection() ? SelectionStart() : (caret_ > 0 ? caret_ - 1 : 0);
            anchor_ = caret_;
            break;
        case Key::Right:
            caret_ = HasSelection() ? SelectionEnd() : std::min(caret_ + 1, text_.size());
            anchor_ = caret_;
            break;
        case Key::Home:
            caret_ = anchor_ = 0;
            break;
        case Key::End:
            caret_ = anchor_ = text_.size();
            break;
    }
}

void TextField::Draw(LICE_IBitmap* bitmap, const IText& style) const {
    if (!bitmap) return;
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    LICE_FillRect(bitmap, 0, 0, w, h, LICE_ColorFrom(style.textEntryBGColor_), 1.0f, LICE_BLIT_MODE_COPY);
    LICE_CachedFont font;
    if (!font.SetFromFace(style.font_, style.size_, style.style_ == IText::kStyleBold,
                          style.style_ == IText::kStyleItalic))
        return;
    const int textWidth = TextWidth(font, text_, text_.size());
    int x0 = kPadding;
    if (style.align_ == IText::kAlignCenter)
        x0 = (w - textWidth) / 2;
    else if (style.align_ == IText::kAlignFar)
        x0 = w - kPadding - textWidth;
    // A text longer than the field keeps its caret in view.
    const int caretX = x0 + TextWidth(font, text_, caret_);
    if (caretX > w - kPadding) x0 -= caretX - (w - kPadding);
    if (x0 + TextWidth(font, text_, caret_) < kPadding) x0 = kPadding - TextWidth(font, text_, caret_);

    if (HasSelection()) {
        const int s0 = x0 + TextWidth(font, text_, SelectionStart());
        const int s1 = x0 + TextWidth(font, text_, SelectionEnd());
        LICE_FillRect(bitmap, s0, 1, s1 - s0, h - 2, kSelectionColor, 1.0f, LICE_BLIT_MODE_COPY);
    }
    const IRECT clip(0, 0, w, h);
    font.SetClipRect(&clip);
    font.SetTextColor(LICE_ColorFrom(style.textEntryFGColor_));
    IRECT textRect(x0, 0, x0 + textWidth + 1, h);
    font.DrawText(bitmap, text_.c_str(), static_cast<int>(text_.size()), &textRect,
                  LICE_DT_LEFT | LICE_DT_VCENTER | LICE_DT_SINGLELINE | LICE_DT_NOCLIP);
    if (!HasSelection()) {
        const int cx = x0 + TextWidth(font, text_, caret_);
        LICE_Line(bitmap, cx, 2, cx, h - 3, LICE_ColorFrom(style.textEntryFGColor_), 1.0f, LICE_BLIT_MODE_COPY, false);
    }
}

}  // namespace kettrix
