#include "DocsPictures.h"

#include "Catalog.h"
#include "EditorLayout.h"
#include "Painter.h"
#include "Style.h"
#include "base/SettingVocabulary.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace kettrix::artwork {
namespace {

// Committed images, opened once each.
class ImageShelf {
public:
    explicit ImageShelf(std::string directory) : directory_(std::move(directory)) {}
    ~ImageShelf() {
        for (auto& entry : images_) cairo_surface_destroy(entry.second);
    }
    cairo_surface_t* get(const std::string& file) {
        auto it = images_.find(file);
        if (it != images_.end()) return it->second;
        cairo_surface_t* s = cairo_image_surface_create_from_png((directory_ + "/" + file).c_str());
        if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "cannot read %s/%s\n", directory_.c_str(), file.c_str());
        }
        images_[file] = s;
        return s;
    }
    bool ok() const {
        for (const auto& entry : images_) {
            if (cairo_surface_status(entry.second) != CAIRO_STATUS_SUCCESS) return false;
        }
        return true;
    }

private:
    std::string directory_;
    std::map<std::string, cairo_surface_t*> images_;
};

int framesOf(const std::string& file, int width, int height, int frameHeight) {
    (void)file;
    (void)width;
    return frameHeight > 0 ? height / frameHeight : 1;
}

// Draws frame `frame` of a strip whose frames are frameHeight pixels high.
void blitFrame(cairo_t* cr, cairo_surface_t* image, int frame, int frameHeight, double x, double y) {
    const int w = cairo_image_surface_get_width(image);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, frameHeight);
    cairo_clip(cr);
    cairo_set_source_surface(cr, image, x, y - static_cast<double>(frame) * frameHeight);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

bool isSelectedTab(const ControlRect& c) {
    return c.what == "osc volume envelope tab" || c.what == "noise 1 volume envelope tab" ||
           c.what == "noise 2 volume envelope tab" || c.what == "mixer tab" || c.what == "sound 1 tab";
}

// The editor as a user sees it with sound 1 selected: every control drawn
// in a sample state over the background.
void paintMock(const Canvas& c, ImageShelf& shelf, bool velocityPage) {
    cairo_t* cr = c.cr();
    cairo_set_source_surface(cr, shelf.get("bg.png"), 0, 0);
    cairo_paint(cr);
    int n = 0;
    for (const ControlRect& control : pageControls()) {
        ++n;
        if (control.image.empty() || isSelectedTab(control)) continue;
        const bool onRightPage = control.rect.x >= 710 && control.rect.y >= 111 && control.rect.y < 430;
        if (velocityPage && onRightPage) continue;
        cairo_surface_t* image = shelf.get(control.image);
        const int height = cairo_image_surface_get_height(image);
        const int frames = std::max(1, height / std::max(1, control.rect.h));
        int frame = (n * 37) % frames;
        if (control.kind == Look::Tab) frame = 0;
        if (control.kind == Look::Contact) frame = 0;
        blitFrame(cr, image, frame, control.rect.h, control.rect.x, control.rect.y);
    }
    if (velocityPage) {
        cairo_set_source_surface(cr, shelf.get("bg-velocity.png"), kVelocityPage.x, kVelocityPage.y);
        cairo_paint(cr);
        blitFrame(cr, shelf.get("b-effects.png"), 0, 18, 710, 93);
        int k = 0;
        for (const ControlRect& control : velocityPageControls()) {
            if (control.kind != Look::Knob) continue;
            blitFrame(cr, shelf.get("knob.png"), (k++ * 23 + 30) % 100, 21, control.rect.x, control.rect.y);
        }
        cairo_set_source_surface(cr, shelf.get("bg-hit.png"), kHitPanel.x, kHitPanel.y);
        cairo_paint(cr);
        for (const ControlRect& control : hitPanelControls()) {
            blitFrame(cr, shelf.get("knob.png"), (k++ * 29 + 20) % 100, 21, control.rect.x, control.rect.y);
        }
    }
    // Sound names as the name fields draw them, and the read-out line.
    static const char* const kNames[] = {"KICK",    "PERC",   "SNARE",    "CLAP",  "CLOSED HH",
                                         "OPEN HH", "LO TOM", "HIGH TOM", "CRASH", "RIDE"};
    const TextStyle name{Weight::Bold, 12.0, style::kAccent};
    for (int i = 0; i < 10; ++i) c.text(kNames[i], kStripX0 + kStripPitch * i + 37.5, 20, Align::Centre, name);
    c.text("Sorvane Kettrix 4", kReadout.x, kReadout.y + 4, Align::Left, {Weight::Regular, 14.0, {180, 180, 180}});
    // Sound 1's key range (36 to 41) highlighted, note 38 held.
    static const int kWhiteIndex[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
    static const int kWhiteFrame[12] = {0, -1, 1, -1, 2, 0, -1, 3, -1, 4, -1, 2};
    static const int kBlackOffset[12] = {0, 10, 0, 24, 0, 0, 52, 0, 66, 0, 80, 0};
    for (int note = 36; note <= 41; ++note) {
        const int pc = note % 12, octave = note / 12 - 2;
        if (kWhiteIndex[pc] < 0) continue;
        const double x = kKeyboard.x + 98 * octave + 14 * kWhiteIndex[pc];
        blitFrame(cr, shelf.get("wk.png"), kWhiteFrame[pc], 46, x, kKeyboard.y);
        if (note == 38) blitFrame(cr, shelf.get("wk.png"), 6, 46, x, kKeyboard.y);
    }
    for (int note = 36; note <= 41; ++note) {
        const int pc = note % 12, octave = note / 12 - 2;
        if (kWhiteIndex[pc] >= 0) continue;
        blitFrame(cr, shelf.get("bk.png"), 0, 31, kKeyboard.x + 98 * octave + kBlackOffset[pc], kKeyboard.y);
    }
    // A volume envelope in the first display, as the envelope editor draws it.
    const Rect d = kEnvelopeDisplays[0];
    for (int x = 0; x < 150; ++x) {
        const double t = x / 150.0;
        const double v = x < 20 ? x / 20.0 : 1.0 - (t - 20 / 150.0) / (1 - 20 / 150.0);
        const double h = d.h * v * 0.9;
        c.line(d.x + x + 0.5, d.y + d.h / 2.0 - h / 2, d.x + x + 0.5, d.y + d.h / 2.0 + h / 2, {255, 255, 175, 0.35});
    }
    c.fillRect(d.x + 20, d.y, 1, d.h, style::kAccentSoft);
    c.fillRect(d.x + 150, d.y, 1, d.h, style::kAccentSoft);
}

Colour kindColour(Look kind) {
    switch (kind) {
        case Look::Knob:
            return {255, 90, 90};
        case Look::Switch:
            return {255, 200, 60};
        case Look::Tab:
            return {255, 140, 40};
        case Look::Selector:
            return {90, 230, 120};
        case Look::Slider:
            return {220, 110, 255};
        case Look::Contact:
            return {255, 110, 190};
        case Look::Text:
            return {255, 255, 120};
        default:
            return {200, 200, 200};
    }
}

// The background at twice its size with every control's rectangle outlined.
void paintOverlay(const Canvas& c, ImageShelf& shelf) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_scale(cr, 2, 2);
    cairo_set_source_surface(cr, shelf.get("bg.png"), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    std::vector<ControlRect> all = pageControls();
    for (const ControlRect& r : hitPanelControls()) all.push_back(r);
    for (const ControlRect& r : velocityPageControls()) all.push_back(r);
    all.push_back({"hit panel", Look::Image, kHitPanel, {}});
    all.push_back({"velocity page", Look::Image, kVelocityPage, {}});
    for (const ControlRect& r : all) {
        c.setColour(kindColour(r.kind).withAlpha(0.85));
        cairo_set_line_width(cr, 1.0);
        cairo_rectangle(cr, 2 * r.rect.x + 0.5, 2 * r.rect.y + 0.5, 2 * r.rect.w - 1, 2 * r.rect.h - 1);
        cairo_stroke(cr);
    }
}

struct SheetEntry {
    std::string file;
    int frameHeight;
};

// Every strip frame by frame, wrapped into rows, each frame as large as it
// shows at 200 %: the 100 % images at twice their size, the 200 % images
// pixel for pixel, so the two sheets compare side by side. Returns the
// height used.
double paintStrips(const Canvas& c, ImageShelf& shelf, const std::vector<SheetEntry>& entries, int width, int percent) {
    constexpr int kShownAt = 200;
    const double enlarge = static_cast<double>(kShownAt) / percent;
    cairo_t* cr = c.cr();
    c.fillRect(0, 0, c.width(), c.frameHeight(), style::kWindowBottom);
    double y = 8;
    const TextStyle caption = style::label();
    for (const SheetEntry& e : entries) {
        cairo_surface_t* image = shelf.get(e.file);
        const int w = cairo_image_surface_get_width(image);
        const int frameHeight = zoom::ToPhysical(e.frameHeight, percent);
        const int frames = framesOf(e.file, w, cairo_image_surface_get_height(image), frameHeight);
        c.text(e.file + "  (" + std::to_string(frames) + " frames)", 8, y, Align::Left, caption);
        y += 14;
        double x = 8;
        const double shownW = enlarge * w, shownH = enlarge * frameHeight;
        for (int f = 0; f < frames; ++f) {
            if (x + shownW > width - 8) {
                x = 8;
                y += shownH + 4;
            }
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_scale(cr, enlarge, enlarge);
            blitFrame(cr, image, f, frameHeight, 0, 0);
            cairo_restore(cr);
            x += shownW + 4;
        }
        y += shownH + 12;
    }
    return y;
}

std::vector<SheetEntry> sheetEntries() {
    return {{"knob-small.png", 29},   {"knob.png", 21},         {"slider-y-small.png", 69},  {"slider-x-small.png", 6},
            {"b-snap.png", 18},       {"button.png", 22},       {"b-keyboard.png", 22},      {"b-mute-part.png", 22},
            {"b-solo.png", 18},       {"b-mute.png", 18},       {"sound-on.png", 4},         {"b-sound1.png", 53},
            {"b-env-vol.png", 18},    {"b-env-mod.png", 18},    {"b-env-fil.png", 18},       {"b-effects.png", 18},
            {"b-velocity.png", 18},   {"b-prev-next.png", 25},  {"b-osc.png", 25},           {"b-filter.png", 17},
            {"b-hit.png", 17},        {"b-noise-type.png", 17}, {"b-envelope-mode.png", 17}, {"b-effect-type.png", 17},
            {"b-out.png", 17},        {"b-choke.png", 17},      {"b-lock.png", 17},          {"b-zoom.png", 17},
            {"b-attack-vol.png", 21}, {"b-attack-mod.png", 21}, {"b-release.png", 21},       {"wk.png", 46},
            {"bk.png", 31},           {"bg-menu-item.png", 27}};
}

// The pop-up menu as the menu control draws it: the noise type menu with
// its "Snare" submenu open and one entry chosen.
void paintMenuMock(const Canvas& c, ImageShelf& shelf) {
    cairo_t* cr = c.cr();
    cairo_set_source_surface(cr, shelf.get("bg-menu-large.png"), 0, 0);
    cairo_paint(cr);
    cairo_surface_t* item = shelf.get("bg-menu-item.png");
    const TextStyle text{Weight::Regular, 14.0, {220, 242, 255}};
    struct Row {
        const char* text;
        int frame;  // of bg-menu-item.png: 0 submenu, 1 open submenu, 2 entry, 3 chosen entry
    };
    // The top level: values outside a submenu and one row per submenu; the
    // chosen value's submenu is open beside it.
    const settings::Setting& noise = settings::kNoiseType;
    const std::string_view chosen = "Snare 909";
    auto submenuOf = [](const settings::Entry& e) { return std::string_view(e.submenu ? e.submenu : ""); };
    std::string_view open;
    for (const settings::Entry& e : noise.entries)
        if (e.name == chosen) open = submenuOf(e);
    std::vector<Row> first, second;
    std::string_view previous;
    for (const settings::Entry& e : noise.entries) {
        const std::string_view submenu = submenuOf(e);
        if (submenu.empty()) {
            first.push_back({e.name, 2});
        } else if (submenu != previous) {
            first.push_back({e.submenu, submenu == open ? 1 : 0});
        }
        if (!submenu.empty() && submenu == open) second.push_back({e.name, e.name == chosen ? 3 : 2});
        previous = submenu;
    }
    double y = 49;
    for (const Row& r : first) {
        blitFrame(cr, item, r.frame, 27, 26, y);
        c.text(r.text, 32, y + 8, Align::Left, text);
        y += 27;
    }
    y = 49;
    for (const Row& r : second) {
        blitFrame(cr, item, r.frame, 27, 26 + 217 + 19, y);
        c.text(r.text, 26 + 217 + 19 + 6, y + 8, Align::Left, text);
        y += 27;
    }
}

}  // namespace

bool writeDocsPictures(const std::string& imageDirectory, const std::string& outputDirectory) {
    ImageShelf shelf(imageDirectory);
    bool ok = cairo_surface_write_to_png(shelf.get("bg.png"), (outputDirectory + "/background.png").c_str()) ==
              CAIRO_STATUS_SUCCESS;
    {
        Canvas mock(kWindowWidth, kWindowHeight);
        paintMock(mock, shelf, false);
        ok = mock.writePng(outputDirectory + "/editor-mock-mixer.png") && ok;
    }
    {
        Canvas mock(kWindowWidth, kWindowHeight);
        paintMock(mock, shelf, true);
        ok = mock.writePng(outputDirectory + "/editor-mock-velocity.png") && ok;
    }
    {
        Canvas overlay(2 * kWindowWidth, 2 * kWindowHeight);
        paintOverlay(overlay, shelf);
        ok = overlay.writePng(outputDirectory + "/editor-overlay.png") && ok;
    }
    // The contact sheets of the 100 % and 200 % images.
    ImageShelf shelf200(imageDirectory + "/" + zoomFolder(200));
    for (auto [percent, images, file] :
         {std::tuple{100, &shelf, "editor-strips.png"}, std::tuple{200, &shelf200, "editor-strips-200.png"}}) {
        Canvas draft(1600, 8000);
        const int height = static_cast<int>(paintStrips(draft, *images, sheetEntries(), 1600, percent));
        Canvas sheet(1600, height);
        paintStrips(sheet, *images, sheetEntries(), 1600, percent);
        ok = sheet.writePng(outputDirectory + "/" + file) && ok;
    }
    {
        Canvas menu(521, 372);
        paintMenuMock(menu, shelf);
        ok = menu.writePng(outputDirectory + "/editor-menu.png") && ok;
    }
    return ok && shelf.ok() && shelf200.ok();
}

}  // namespace kettrix::artwork
