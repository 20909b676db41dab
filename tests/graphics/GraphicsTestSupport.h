// Helpers for the graphics tests: a plug-in stand-in that records what the
// framework asks of it, and images made in memory.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IGraphicsOffscreen.h"
#include "graphics/Lice.h"

namespace kettrix::test {

class RecordingPlug : public IGraphicsPlug {
public:
    struct Range {
        double min, max, shape;
    };
    struct Event {
        std::string what;  // "begin", "set", "end", "show", "clear"
        int paramIdx;
        double value;
    };

    std::map<int, Range> ranges;
    std::vector<Event> events;
    std::map<int, double> values;
    int lockDepth = 0;
    int maxLockDepth = 0;

    void SetParameterFromEditor(int paramIdx, double normalized) override {
        values[paramIdx] = normalized;
        events.push_back({"set", paramIdx, normalized});
    }
    void BeginHostParamEdit(int paramIdx) override { events.push_back({"begin", paramIdx, 0.0}); }
    void EndHostParamEdit(int paramIdx) override { events.push_back({"end", paramIdx, 0.0}); }
    void ShowParamInfo(int paramIdx, int, int) override { events.push_back({"show", paramIdx, 0.0}); }
    void ClearParamInfo() override { events.push_back({"clear", -1, 0.0}); }
    // A stand-in for a parameter's own mapping: clamped, then shaped.
    bool NormalizedFromPlain(int paramIdx, double plain, double* normalized) const override {
        auto it = ranges.find(paramIdx);
        if (it == ranges.end()) return false;
        const Range& r = it->second;
        *normalized = std::pow((std::clamp(plain, r.min, r.max) - r.min) / (r.max - r.min), 1.0 / r.shape);
        return true;
    }
    bool GetParamText(int paramIdx, char* out, std::size_t size) const override {
        auto it = values.find(paramIdx);
        std::snprintf(out, size, "%.3f", it == values.end() ? 0.0 : it->second);
        return true;
    }
    bool ParamFromText(int /*paramIdx*/, const char* text, double* normalized) const override {
        char* end = nullptr;
        const double v = std::strtod(text, &end);
        if (end == text) return false;
        *normalized = v;
        return true;
    }
    void LockPlug() override { maxLockDepth = std::max(maxLockDepth, ++lockDepth); }
    void UnlockPlug() override { --lockDepth; }

    // The names of the recorded events, in order, for one parameter.
    std::vector<std::string> EventNames(int paramIdx) const {
        std::vector<std::string> names;
        for (const Event& e : events)
            if (e.paramIdx == paramIdx) names.push_back(e.what);
        return names;
    }
};

// A frame strip whose pixel rows encode their own row number: red = row
// & 0xff, green = row >> 8, blue = 0x80 + column, alpha 255. Reading a drawn
// pixel back tells which source row and column it came from.
inline std::unique_ptr<LICE_MemBitmap> MakeRowCodedStrip(int w, int h) {
    auto bitmap = std::make_unique<LICE_MemBitmap>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap->GetBits()[y * bitmap->GetRowSpan() + x] =
                LICE_RGBA(static_cast<unsigned>(y & 0xff), static_cast<unsigned>(y >> 8),
                          static_cast<unsigned>(0x80 + (x & 0x7f)), 255);
    return bitmap;
}

inline int SourceRowOf(LICE_pixel p) { return static_cast<int>(LICE_GETR(p) | (LICE_GETG(p) << 8)); }

// A single-colour bitmap.
inline std::unique_ptr<LICE_MemBitmap> MakeSolid(int w, int h, LICE_pixel color) {
    auto bitmap = std::make_unique<LICE_MemBitmap>(w, h);
    LICE_Clear(bitmap.get(), color);
    return bitmap;
}

// A control that counts its drawings and fills its rectangle.
class CountingControl : public IControl {
public:
    CountingControl(IGraphicsPlug* plug, const IRECT& rect, int paramIdx = -1, IColor color = IColor(255, 200, 0, 0))
        : IControl(plug, rect, paramIdx), color_(color) {}
    bool Draw(IGraphics* graphics) override {
        ++draws;
        graphics->FillIRect(color_, rect_);
        return true;
    }
    int draws = 0;

private:
    IColor color_;
};

}  // namespace kettrix::test
