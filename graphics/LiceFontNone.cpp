// Fonts for a build without a font rasteriser (the 32-bit Linux core
// build): every font is empty and text draws nothing.
#include <utility>

#include "Lice.h"

namespace kettrix {

struct LICE_CachedFont::Impl {};

bool LICE_TextAvailable() { return false; }

LICE_CachedFont::LICE_CachedFont() : impl_(nullptr) {}
LICE_CachedFont::~LICE_CachedFont() = default;
bool LICE_CachedFont::SetFromFace(const char*, int, bool, bool) { return false; }
void LICE_CachedFont::SetFromHFont(void*, int) {}
LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) { return std::exchange(textColor_, color); }
LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) { return std::exchange(bkColor_, color); }
int LICE_CachedFont::SetBkMode(int mode) { return std::exchange(bkMode_, mode); }
void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
    combineMode_ = mode;
    combineAlpha_ = alpha;
}
void* LICE_CachedFont::GetHFont() const { return nullptr; }
int LICE_CachedFont::GetLineHeight() const { return 0; }
int LICE_CachedFont::DrawText(LICE_IBitmap*, const char*, int, IRECT*, int) { return 0; }

}  // namespace kettrix
