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
    mMaxLength = maxLength;
    mText = text.substr(0, maxLength);
    mAnchor = 0;
    mCaret = mText.size();
}

void TextField::DeleteSelection() {
    const std::size_t start = SelectionStart();
    mText.erase(start, SelectionEnd() - start);
    mCaret = mAnchor = start;
}

void TextField::Type(const std::string& chars) {
    std::string printable;
    for (char c : chars)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) printable += c;
    if (printable.empty()) return;
    DeleteSelection();
    const std::size_t room = mMaxLength > mText.size() ? mMaxLength - mText.size() : 0;
    printable.resize(std::min(room, printable.size()));
    mText.insert(mCaret, printable);
    mCaret += printable.size();
    mAnchor = mCaret;
}

void TextField::Press(Key key) {
    switch (key) {
        case Key::Backspace:
            if (HasSelection())
                DeleteSelection();
            else if (mCaret > 0) {
                mText.erase(--mCaret, 1);
                mAnchor = mCaret;
            }
            break;
        case Key::Delete:
            if (HasSelection())
                DeleteSelection();
            else if (mCaret < mText.size())
                mText.erase(mCaret, 1);
            break;
        case Key::Left:
            mCaret = HasSelection() ? SelectionStart() : (mCaret > 0 ? mCaret - 1 : 0);
            mAnchor = mCaret;
            break;
        case Key::Right:
            mCaret = HasSelection() ? SelectionEnd() : std::min(mCaret + 1, mText.size());
            mAnchor = mCaret;
            break;
        case Key::Home:
            mCaret = mAnchor = 0;
            break;
        case Key::End:
            mCaret = mAnchor = mText.size();
            break;
    }
}

void TextField::Draw(LICE_IBitmap* bitmap, const IText& style) const {
    if (!bitmap) return;
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    LICE_FillRect(bitmap, 0, 0, w, h, LICE_ColorFrom(style.mTextEntryBGColor), 1.0f, LICE_BLIT_MODE_COPY);
    LICE_CachedFont font;
    if (!font.SetFromFace(style.mFont, style.mSize, style.mStyle == IText::kStyleBold,
                          style.mStyle == IText::kStyleItalic))
        return;
    const int textWidth = TextWidth(font, mText, mText.size());
    int x0 = kPadding;
    if (style.mAlign == IText::kAlignCenter)
        x0 = (w - textWidth) / 2;
    else if (style.mAlign == IText::kAlignFar)
        x0 = w - kPadding - textWidth;
    // A text longer than the field keeps its caret in view.
    const int caretX = x0 + TextWidth(font, mText, mCaret);
    if (caretX > w - kPadding) x0 -= caretX - (w - kPadding);
    if (x0 + TextWidth(font, mText, mCaret) < kPadding) x0 = kPadding - TextWidth(font, mText, mCaret);

    if (HasSelection()) {
        const int s0 = x0 + TextWidth(font, mText, SelectionStart());
        const int s1 = x0 + TextWidth(font, mText, SelectionEnd());
        LICE_FillRect(bitmap, s0, 1, s1 - s0, h - 2, kSelectionColor, 1.0f, LICE_BLIT_MODE_COPY);
    }
    const IRECT clip(0, 0, w, h);
    font.SetClipRect(&clip);
    font.SetTextColor(LICE_ColorFrom(style.mTextEntryFGColor));
    IRECT textRect(x0, 0, x0 + textWidth + 1, h);
    font.DrawText(bitmap, mText.c_str(), static_cast<int>(mText.size()), &textRect,
                  LICE_DT_LEFT | LICE_DT_VCENTER | LICE_DT_SINGLELINE | LICE_DT_NOCLIP);
    if (!HasSelection()) {
        const int cx = x0 + TextWidth(font, mText, mCaret);
        LICE_Line(bitmap, cx, 2, cx, h - 3, LICE_ColorFrom(style.mTextEntryFGColor), 1.0f, LICE_BLIT_MODE_COPY, false);
    }
}

}  // namespace kettrix
