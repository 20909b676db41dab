// Redraw costs of an editor the size of the real one: an opaque background,
// 300 knobs and switches with anti-aliased alpha edges and 20 texts.
//
// BM_FullRedraw       everything dirty (the window opening, a sound switch)
// BM_OneKnobDirty     one knob changed: it and what overlaps it
// BM_NothingDirty     a timer tick with nothing to do
// BM_SecondEditorImages  image memory of a second editor of the process
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "graphics/BitmapCache.h"
#include "graphics/IGraphicsOffscreen.h"

namespace kettrix {
namespace {

class NoPlug : public IGraphicsPlug {
public:
    void SetParameterFromEditor(int, double) override {}
    bool NormalizedFromPlain(int, double, double*) const override { return false; }
};

// A knob strip: frames of a disc with a soft edge and an indicator.
std::unique_ptr<LICE_MemBitmap> KnobStrip(int size, int frames) {
    auto strip = std::make_unique<LICE_MemBitmap>(size, size * frames);
    const double c = (size - 1) / 2.0, r = size / 2.0 - 1.0;
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double d = std::hypot(x - c, y - c);
                const double coverage = std::clamp(r - d + 0.5, 0.0, 1.0);
                const unsigned a = static_cast<unsigned>(coverage * 255.0);
                const unsigned shade = static_cast<unsigned>(60 + 3 * f % 120);
                strip->GetBits()[(f * size + y) * size + x] = LICE_RGBA(shade, shade, shade + 20, a);
            }
    return strip;
}

struct Editor {
    NoPlug plug;
    IGraphicsOffscreen gui{&plug, 839, 556};
    std::unique_ptr<LICE_MemBitmap> background = std::make_unique<LICE_MemBitmap>(839, 556);
    std::unique_ptr<LICE_MemBitmap> knob = KnobStrip(34, 100);
    std::unique_ptr<LICE_MemBitmap> sw = KnobStrip(18, 2);
    int knobIndex = -1;

    Editor() {
        for (int y = 0; y < 556; ++y)
            for (int x = 0; x < 839; ++x)
                background->GetBits()[y * 839 + x] = LICE_RGBA(40 + x % 16, 42 + y % 8, 48, 255);
        gui.AttachControl(
            new IBitmapControl(&plug, 0, 0, IBitmap(background.get(), 839, 556, 1), IChannelBlend::kBlendClobber));
        // 300 controls on a grid: 200 knobs and 100 switches.
        for (int i = 0; i < 300; ++i) {
            const int x = 10 + (i % 20) * 41, y = 40 + (i / 20) * 33;
            if (i % 3 == 2) {
                gui.AttachControl(new ISwitchControl(&plug, x, y, i, IBitmap(sw.get(), 18, 36, 2)));
            } else {
                const int idx =
                    gui.AttachControl(new IKnobMultiControl(&plug, x, y, i, IBitmap(knob.get(), 34, 3400, 100)));
                if (knobIndex < 0 && i > 100) knobIndex = idx;
            }
        }
        const IText style(12, IColor(255, 200, 220, 230), "Arial", IText::kStyleBold);
        for (int i = 0; i < 20; ++i)
            gui.AttachControl(new ITextControl(
                &plug, IRECT(10 + (i % 10) * 80, 10 + (i / 10) * 520, 85 + (i % 10) * 80, 26 + (i / 10) * 520), style,
                "SNARE 0.125"));
        for (int i = 0; i < 300; ++i) gui.SetParameterFromPlug(i, (i % 7) / 6.0, true);
        gui.RenderAll();
    }
};

void BM_FullRedraw(benchmark::State& state) {
    Editor editor;
    for (auto _ : state) {
        editor.gui.SetAllControlsDirty();
        editor.gui.Tick();
    }
    state.counters["draws/pass"] = 321;
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_OneKnobDirty(benchmark::State& state) {
    Editor editor;
    double value = 0.0;
    for (auto _ : state) {
        value = value > 0.9 ? 0.0 : value + 0.01;
        editor.gui.SetControlFromPlug(editor.knobIndex, value);
        editor.gui.Tick();
    }
}
BENCHMARK(BM_OneKnobDirty)->Unit(benchmark::kMicrosecond);

void BM_NothingDirty(benchmark::State& state) {
    Editor editor;
    const long before = editor.gui.DrawCount();
    for (auto _ : state) benchmark::DoNotOptimize(editor.gui.Tick());
    if (editor.gui.DrawCount() != before) state.SkipWithError("a pass with nothing dirty drew");
}
BENCHMARK(BM_NothingDirty)->Unit(benchmark::kMicrosecond);

// The editor's image ids: a second editor finds them all in the cache.
void BM_SecondEditorImages(benchmark::State& state) {
    const int ids[] = {102, 101, 107, 138, 139, 125, 109, 106, 111, 116, 117, 118, 119, 126,
                       105, 112, 114, 115, 128, 129, 130, 132, 137, 136, 134, 135, 133, 127,
                       142, 143, 144, 145, 146, 147, 148, 149, 104, 108, 110, 113};
    NoPlug plug;
    {
        IGraphicsOffscreen first(&plug, 839, 556);
        for (int id : ids) first.LoadBitmap(id, "image.png");
    }
    const std::size_t afterFirst = CachedBitmapBytes();
    std::size_t added = 0;
    for (auto _ : state) {
        IGraphicsOffscreen second(&plug, 839, 556);
        for (int id : ids) second.LoadBitmap(id, "image.png");
        added = CachedBitmapBytes() - afterFirst;
    }
    state.counters["images"] = CachedBitmapCount();
    state.counters["image_bytes"] = static_cast<double>(afterFirst);
    state.counters["second_editor_added_bytes"] = static_cast<double>(added);
}
BENCHMARK(BM_SecondEditorImages)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kettrix
