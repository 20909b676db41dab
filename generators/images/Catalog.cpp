#include "Catalog.h"

#include "Style.h"
#include "Widgets.h"
#include "base/SettingVocabulary.h"
#include "editor/EditorImages.h"
#include "engine/Envelope.h"
#include "resources/Zoom.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace kettrix::artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A frame per entry of a list, in the order the control selects them.
using Texts = std::vector<std::string>;

// The texts of a setting's selector frames.
Texts frameTexts(const settings::Setting& setting) {
    Texts texts;
    for (int i = 0; i < setting.frames(); ++i) texts.emplace_back(settings::frameText(setting, i));
    return texts;
}

// The height of a selector strip: one frame per value.
constexpr int stripHeight(const settings::Setting& setting, int frameHeight) { return setting.frames() * frameHeight; }

// Knobs: 100 frames turning clockwise from -135 to +135 degrees.
void paintKnobStrip(Canvas& c, int size) {
    for (int i = 0; i < 100; ++i) {
        c.frame(i);
        drawKnob(c, size, -135.0 + 270.0 * i / 99.0);
    }
}

// Vertical slider: the thumb climbs from the bottom (minimum) to the top.
void paintVerticalSlider(Canvas& c, int frames) {
    const double w = c.width(), h = c.frameHeight();
    const double thumbH = 6, travel = h - thumbH - 2;
    for (int i = 0; i < frames; ++i) {
        c.frame(i);
        const double thumbTop = 1 + travel * (1.0 - static_cast<double>(i) / (frames - 1));
        const double cx = w / 2;
        c.fillRounded(cx - 2, 1, 4, h - 2, 2, {9, 11, 13});
        c.fillRounded(cx - 1, thumbTop + thumbH / 2, 2, h - 2 - (thumbTop + thumbH / 2), 1, style::kAccentSoft);
        c.fillRounded(0.5, thumbTop, w - 1, thumbH, 1.5, style::kFaceEdge);
        c.fillRoundedGradient(1.5, thumbTop + 0.5, w - 3, thumbH - 1.5, 1, {222, 227, 232}, {168, 174, 181});
        c.line(2.5, thumbTop + thumbH / 2 - 0.25, w - 2.5, thumbTop + thumbH / 2 - 0.25, {96, 102, 110}, 1.0);
    }
}

// Horizontal slider: the thumb moves from the left (minimum) to the right.
void paintHorizontalSlider(Canvas& c, int frames) {
    const double w = c.width(), h = c.frameHeight();
    const double thumbW = 5, travel = w - thumbW;
    for (int i = 0; i < frames; ++i) {
        c.frame(i);
        const double thumbLeft = travel * i / (frames - 1);
        c.fillRounded(0.5, h / 2 - 1.5, w - 1, 3, 1.5, {9, 11, 13});
        if (thumbLeft > 1) c.fillRounded(1, h / 2 - 1, thumbLeft, 2, 1, style::kAccentSoft);
        c.fillRounded(thumbLeft, 0, thumbW, h, 1.5, style::kFaceEdge);
        c.fillRoundedGradient(thumbLeft + 0.5, 0.5, thumbW - 1, h - 1, 1, {222, 227, 232}, {168, 174, 181});
    }
}

// Two-frame buttons: off, then on.
template <typename Glyph>
void paintButton(Canvas& c, Glyph glyph) {
    for (int lit = 0; lit < 2; ++lit) {
        c.frame(lit);
        drawButtonFace(c, 0, 0, c.width(), c.frameHeight(), lit != 0);
        glyph(c, lit != 0);
    }
}

Colour glyphColour(bool lit) { return lit ? Colour{226, 246, 255} : Colour{168, 176, 185}; }

// A 29 x 22 switch: a lamp bar along the top and a glyph below it.
template <typename Glyph>
void paintLampButton(Canvas& c, Glyph glyph) {
    paintButton(c, [&](Canvas& cc, bool lit) {
        drawLamp(cc, 9.5, 3.5, 10, 2.5, lit);
        glyph(cc, lit);
    });
}

void keyboardGlyph(Canvas& c, bool lit) {
    const Colour ink = glyphColour(lit);
    const double x = 8.5, y = 9.5, w = 12, h = 8;
    c.strokeRect(x, y, w, h, ink);
    for (int k = 1; k < 4; ++k) c.line(x + 3 * k, y + 4, x + 3 * k, y + h, ink);
    for (int k = 1; k < 4; ++k) c.fillRect(x + 3 * k - 1, y, 2, 4.5, ink);
}

void retriggerGlyph(Canvas& c, bool lit) {
    const Colour ink = glyphColour(lit);
    cairo_t* cr = c.cr();
    c.setColour(ink);
    cairo_set_line_width(cr, 1.4);
    cairo_arc(cr, 14.5, 13.5, 4.2, -0.3, 4.4);
    cairo_stroke(cr);
    const double ax = 14.5 + 4.2 * std::cos(-0.3), ay = 13.5 + 4.2 * std::sin(-0.3);
    cairo_move_to(cr, ax + 2.6, ay - 0.6);
    cairo_line_to(cr, ax - 1.6, ay - 2.8);
    cairo_line_to(cr, ax - 0.4, ay + 1.8);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void powerGlyph(Canvas& c, bool lit) {
    const Colour ink = glyphColour(lit);
    cairo_t* cr = c.cr();
    c.setColour(ink);
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, 14.5, 14.0, 4.2, -kPi / 2 + 0.7, 3 * kPi / 2 - 0.7);
    cairo_stroke(cr);
    c.line(14.5, 8.6, 14.5, 13.2, ink, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void textButton(Canvas& c, const char* text) {
    paintButton(c, [text](Canvas& cc, bool lit) {
        TextStyle s = style::label();
        s.colour = lit ? Colour{236, 249, 255} : style::kLabel;
        cc.text(text, cc.width() / 2.0, std::floor((cc.frameHeight() - Canvas::capHeight(s)) / 2), Align::Centre, s);
    });
}

// Two frames of a tab: unselected, then selected (also shown under it on
// the backdrop, where the selected tab is hidden).
void paintTabStrip(Canvas& c, const char* text, Colour selectedFill) {
    for (int selected = 0; selected < 2; ++selected) {
        c.frame(selected);
        drawTab(c, 0, 0, c.width(), c.frameHeight(), text, selected != 0, selectedFill);
    }
}

// A selector showing one text per frame.
void paintTextSelector(Canvas& c, const Texts& texts, bool menuMark, bool centred) {
    const double w = c.width(), h = c.frameHeight();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        c.frame(static_cast<int>(i));
        drawField(c, 0, 0, w, h, menuMark);
        drawFieldText(c, texts[i], 0, 0, menuMark ? w - 12 : w, h, centred);
    }
}

// Oscillator waveforms: an icon and a caption per type.
void waveIcon(const Canvas& c, int type, double x, double y, double w, double h) {
    cairo_t* cr = c.cr();
    const double mid = y + h / 2, amp = h / 2;
    auto plot = [&](auto f) {
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            const double px = x + w * t, py = mid - amp * f(t);
            if (i == 0) {
                cairo_move_to(cr, px, py);
            } else {
                cairo_line_to(cr, px, py);
            }
        }
    };
    switch (type) {
        case 0:
            cairo_move_to(cr, x, mid);
            cairo_line_to(cr, x + w, mid);
            break;
        case 1:
        case 2:
        case 3:
            plot([](double t) { return std::sin(2 * kPi * t); });
            break;
        case 4:
            plot([](double t) { return t < 0.25 ? 4 * t : t < 0.75 ? 2 - 4 * t : 4 * t - 4; });
            break;
        case 5:
            cairo_move_to(cr, x, mid);
            cairo_line_to(cr, x, y);
            cairo_line_to(cr, x + w / 2, y);
            cairo_line_to(cr, x + w / 2, y + h);
            cairo_line_to(cr, x + w, y + h);
            cairo_line_to(cr, x + w, mid);
            break;
        case 6:
            cairo_move_to(cr, x, mid);
            cairo_line_to(cr, x + w / 2, y);
            cairo_line_to(cr, x + w / 2, y + h);
            cairo_line_to(cr, x + w, mid);
            break;
        default: {
            std::uint32_t seed = 0x2545F491u;
            cairo_move_to(cr, x, mid);
            for (int i = 1; i <= 12; ++i) {
                seed = seed * 1664525u + 1013904223u;
                const double v = ((seed >> 8) & 0xFFFF) / 32767.5 - 1.0;
                cairo_line_to(cr, x + w * i / 12.0, mid - amp * v);
            }
            break;
        }
    }
    c.setColour(type == 0 ? style::kLabelDim : style::kAccent);
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void paintOscillatorTypes(Canvas& c) {
    const Texts captions = frameTexts(settings::kOscillatorType);
    TextStyle caption{Weight::Bold, 7.0, style::kValueText};
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
        c.frame(i);
        drawField(c, 0, 0, c.width(), c.frameHeight(), false);
        waveIcon(c, i, 6.5, 4.5, 16, 7);
        c.text(captions[static_cast<std::size_t>(i)], c.width() / 2.0, 15, Align::Centre, caption);
    }
}

// Envelope shapes as small curves, drawn from the engine's own shape tables.
enum class ShapeFamily { VolumeAttack, ModulationAttack, Release };

void paintShapeSelector(Canvas& c, ShapeFamily family, const Texts& names) {
    const double w = c.width(), h = c.frameHeight();
    for (int id = 0; id < static_cast<int>(names.size()); ++id) {
        c.frame(id);
        drawField(c, 0, 0, w, h, true);
        engine::Envelope envelope(44100.0);
        if (family == ShapeFamily::VolumeAttack) envelope.setAttackShapeVolume(id);
        if (family == ShapeFamily::ModulationAttack) envelope.setAttackShapeModulation(id);
        if (family == ShapeFamily::Release) envelope.setReleaseShape(id);
        const double x = 5.5, y = 4.5, cw = 20, ch = h - 9;
        cairo_t* cr = c.cr();
        c.fillRect(x - 1.5, y - 1.5, cw + 3, ch + 3, {26, 32, 37});
        for (int i = 0; i <= 96; ++i) {
            const double t = std::fmin(i / 96.0, 0.999);
            const double v = envelope.evaluateForDisplay(100.0 * t);
            const double px = x + cw * t, py = y + ch * (1.0 - v);
            if (i == 0) {
                cairo_move_to(cr, px, py);
            } else {
                cairo_line_to(cr, px, py);
            }
        }
        c.setColour(style::kAccent);
        cairo_set_line_width(cr, 1.2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        const double textX = x + cw + 6;
        const std::string& name = names[static_cast<std::size_t>(id)];
        const TextStyle s = fittingValueStyle(c, name, w - textX - 13);
        c.text(name, textX, std::floor((h - Canvas::capHeight(s)) / 2), Align::Left, s);
    }
}

// Keyboard mode: an open padlock for the kit's own key ranges, a closed one
// for the user's locked ranges, and a key map being laid out.
void paintKeyboardMode(Canvas& c) {
    const Texts texts = frameTexts(settings::kKeyboardMode);
    const double w = c.width(), h = c.frameHeight();
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        c.frame(i);
        drawField(c, 0, 0, w, h, true);
        cairo_t* cr = c.cr();
        const Colour ink = i == 1 ? style::kAccent : style::kLabelDim;
        const double lx = 6.5, ly = 8.5;
        c.fillRounded(lx, ly, 7, 5.5, 1, ink);
        c.setColour(ink);
        cairo_set_line_width(cr, 1.2);
        if (i == 1) {
            cairo_arc(cr, lx + 3.5, ly, 2.4, kPi, 2 * kPi);
        } else {
            cairo_arc(cr, lx + 3.5 + (i == 0 ? 3.5 : 0), ly - 0.8, 2.4, kPi, 2 * kPi);
        }
        cairo_stroke(cr);
        const TextStyle s = style::value();
        c.text(texts[static_cast<std::size_t>(i)], 19, std::floor((h - Canvas::capHeight(s)) / 2), Align::Left, s);
    }
}

// The zoom switch: a small field naming the zoom, one frame per zoom.
void paintZoomSwitch(Canvas& c) {
    for (std::size_t i = 0; i < zoom::kPercents.size(); ++i) {
        c.frame(static_cast<int>(i));
        drawField(c, 0, 0, c.width(), c.frameHeight(), false);
        drawFieldText(c, std::to_string(zoom::kPercents[i]) + "%", 0, 0, c.width(), c.frameHeight(), true);
    }
}

// A catalog entry sized by the editor's image table.
ImageEntry fromEditorTable(int id, std::function<void(Canvas&)> paint) {
    const editor::ImageEntry& e = *editor::findImage(id);
    const std::string_view path = e.name;
    return {{id}, std::string(path.substr(path.rfind('/') + 1)), e.width, e.height, e.frames, std::move(paint)};
}

}  // namespace

std::string zoomFolder(int percent) {
    return percent == zoom::kDefaultPercent ? std::string() : std::to_string(percent) + "/";
}

std::vector<ImageEntry> imageCatalog() {
    const Texts filterTypes = frameTexts(settings::kFilterType);
    const Texts hitTypes = frameTexts(settings::kHitType);
    const Texts noiseTypes = frameTexts(settings::kNoiseType);
    const Texts volumeAttack = frameTexts(settings::kAttackShapeVolume);
    const Texts modulationAttack = frameTexts(settings::kAttackShapeModulation);
    const Texts release = frameTexts(settings::kReleaseShape);

    const Colour screenTab = style::kScreen;
    const Colour pageTab = style::kPanel;

    std::vector<ImageEntry> list = {
        {{102}, "bg.png", 839, 556, 1, paintBackground},
        {{101}, "knob.png", 21, 2100, 100, [](Canvas& c) { paintKnobStrip(c, 21); }},
        {{107}, "knob-small.png", 29, 2900, 100, [](Canvas& c) { paintKnobStrip(c, 29); }},
        {{138}, "slider-y-small.png", 12, 4761, 69, [](Canvas& c) { paintVerticalSlider(c, 69); }},
        {{139, 125}, "slider-x-small.png", 71, 426, 71, [](Canvas& c) { paintHorizontalSlider(c, 71); }},
        {{109}, "slider-x-small-fx.png", 67, 402, 67, [](Canvas& c) { paintHorizontalSlider(c, 67); }},
        {{106},
         "b-snap.png",
         18,
         36,
         2,
         [](Canvas& c) { paintButton(c, [](Canvas& cc, bool lit) { drawLamp(cc, 6, 6, 6, 6, lit); }); }},
        {{111},
         "b-choke.png",
         29,
         stripHeight(settings::kChoke, 17),
         settings::kChoke.frames(),
         [](Canvas& c) { paintTextSelector(c, frameTexts(settings::kChoke), false, true); }},
        {{116},
         "b-sound1.png",
         75,
         106,
         2,
         [](Canvas& c) {
             for (int selected = 0; selected < 2; ++selected) {
                 c.frame(selected);
                 drawTab(c, 0, 0, 75, 53, "", selected != 0, style::kSoundTabSelected);
             }
         }},
        {{117}, "bg-menu-large.png", 521, 372, 1, paintMenuBackground},
        {{118}, "bg-menu-item.png", 217, 108, 4, paintMenuItems},
        {{119}, "bg-menu-small.png", 287, 372, 1, paintMenuBackground},
        {{126},
         "sound-on.png",
         4,
         8,
         2,
         [](Canvas& c) {
             for (int lit = 0; lit < 2; ++lit) {
                 c.frame(lit);
                 drawLamp(c, 0, 0, 4, 4, lit != 0);
             }
         }},
        {{105}, "button.png", 29, 44, 2, [](Canvas& c) { paintLampButton(c, retriggerGlyph); }},
        {{112}, "b-mute-part.png", 29, 44, 2, [](Canvas& c) { paintLampButton(c, powerGlyph); }},
        {{114}, "b-mute.png", 36, 36, 2, [](Canvas& c) { textButton(c, "MUTE"); }},
        {{115}, "b-solo.png", 36, 36, 2, [](Canvas& c) { textButton(c, "SOLO"); }},
        {{128}, "b-env-vol.png", 43, 36, 2, [=](Canvas& c) { paintTabStrip(c, "VOL", screenTab); }},
        {{129}, "b-env-mod.png", 43, 36, 2, [=](Canvas& c) { paintTabStrip(c, "MOD", screenTab); }},
        {{130}, "b-env-fil.png", 43, 36, 2, [=](Canvas& c) { paintTabStrip(c, "FILTER", screenTab); }},
        {{131}, "b-tab.png", 47, 36, 2, [=](Canvas& c) { paintTabStrip(c, "", pageTab); }},
        {{132}, "b-velocity.png", 47, 36, 2, [=](Canvas& c) { paintTabStrip(c, "VELOCITY", pageTab); }},
        {{137}, "b-effects.png", 47, 36, 2, [=](Canvas& c) { paintTabStrip(c, "MIXER", pageTab); }},
        {{136}, "b-keyboard.png", 29, 44, 2, [](Canvas& c) { paintLampButton(c, keyboardGlyph); }},
        {{134}, "wk.png", 14, 322, 7, paintWhiteKeys},
        {{135}, "bk.png", 9, 93, 3, paintBlackKeys},
        {{133}, "bg-hit.png", 93, 63, 1, paintHitPanel},
        {{127}, "bg-velocity.png", 94, 337, 1, paintVelocityPage},
        {{142},
         "b-prev-next.png",
         15,
         50,
         2,
         [](Canvas& c) {
             // A clear key cap: the arrow painted on the background shows
             // through it; pressed, the cap glows.
             for (int pressed = 0; pressed < 2; ++pressed) {
                 c.frame(pressed);
                 c.strokeRounded(1, 1, 12, 23, 3, {120, 130, 141, 0.55});
                 c.fillRounded(2, 2, 10, 21, 2, pressed ? style::kAccent.withAlpha(0.30) : Colour{255, 255, 255, 0.04});
             }
         }},
        {{143},
         "b-osc.png",
         29,
         stripHeight(settings::kOscillatorType, 25),
         settings::kOscillatorType.frames(),
         paintOscillatorTypes},
        {{144},
         "b-filter.png",
         91,
         stripHeight(settings::kFilterType, 17),
         settings::kFilterType.frames(),
         [=](Canvas& c) { paintTextSelector(c, filterTypes, true, false); }},
        {{145},
         "b-hit.png",
         46,
         stripHeight(settings::kHitType, 17),
         settings::kHitType.frames(),
         [=](Canvas& c) { paintTextSelector(c, hitTypes, false, true); }},
        {{146},
         "b-attack-vol.png",
         101,
         stripHeight(settings::kAttackShapeVolume, 21),
         settings::kAttackShapeVolume.frames(),
         [=](Canvas& c) { paintShapeSelector(c, ShapeFamily::VolumeAttack, volumeAttack); }},
        {{147},
         "b-attack-mod.png",
         101,
         stripHeight(settings::kAttackShapeModulation, 21),
         settings::kAttackShapeModulation.frames(),
         [=](Canvas& c) { paintShapeSelector(c, ShapeFamily::ModulationAttack, modulationAttack); }},
        {{148},
         "b-release.png",
         101,
         stripHeight(settings::kReleaseShape, 21),
         settings::kReleaseShape.frames(),
         [=](Canvas& c) { paintShapeSelector(c, ShapeFamily::Release, release); }},
        {{149},
         "b-out.png",
         29,
         stripHeight(settings::kOutput, 17),
         settings::kOutput.frames(),
         [](Canvas& c) { paintTextSelector(c, frameTexts(settings::kOutput), false, true); }},
        {{104},
         "b-envelope-mode.png",
         45,
         stripHeight(settings::kEnvelopeMode, 17),
         settings::kEnvelopeMode.frames(),
         [](Canvas& c) { paintTextSelector(c, frameTexts(settings::kEnvelopeMode), false, true); }},
        {{108},
         "b-noise-type.png",
         101,
         stripHeight(settings::kNoiseType, 17),
         settings::kNoiseType.frames(),
         [=](Canvas& c) { paintTextSelector(c, noiseTypes, true, false); }},
        {{110},
         "b-effect-type.png",
         70,
         stripHeight(settings::kEffectType, 17),
         settings::kEffectType.frames(),
         [](Canvas& c) { paintTextSelector(c, frameTexts(settings::kEffectType), true, false); }},
        {{113},
         "b-lock.png",
         122,
         stripHeight(settings::kKeyboardMode, 17),
         settings::kKeyboardMode.frames(),
         paintKeyboardMode},
        fromEditorTable(editor::image::kZoom, paintZoomSwitch),
    };
    return list;
}

}  // namespace kettrix::artwork
