#include "EditorLayout.h"

#include <string>

namespace kettrix::artwork {
namespace {

// Frame sizes of the control images.
constexpr int kKnob = 29;       // knob-small
constexpr int kSmallKnob = 21;  // knob
constexpr int kButtonW = 29, kButtonH = 22;
constexpr int kSelectorH = 17;

void add(std::vector<ControlRect>& list, std::string what, ControlKind kind, Rect r, std::string image = {}) {
    list.push_back({std::move(what), kind, r, std::move(image)});
}

void addNoiseSection(std::vector<ControlRect>& list, int n, int dy) {
    const std::string p = "noise " + std::to_string(n) + " ";
    add(list, p + "volume envelope tab", ControlKind::Tab, {403, 206 + dy, 43, 18}, "b-env-vol.png");
    add(list, p + "filter envelope tab", ControlKind::Tab, {446, 206 + dy, 43, 18}, "b-env-fil.png");
    add(list, p + "pitch", ControlKind::Knob, {46, 235 + dy, kKnob, kKnob}, "knob-small.png");
    add(list, p + "keytrack", ControlKind::Switch, {88, 240 + dy, kButtonW, kButtonH}, "b-keyboard.png");
    add(list, p + "colour", ControlKind::Knob, {133, 235 + dy, kKnob, kKnob}, "knob-small.png");
    add(list, p + "stereo", ControlKind::Knob, {184, 235 + dy, kKnob, kKnob}, "knob-small.png");
    add(list, p + "re-trigger", ControlKind::Switch, {228, 240 + dy, kButtonW, kButtonH}, "button.png");
    add(list, p + "filter cutoff", ControlKind::Knob, {279, 235 + dy, kKnob, kKnob}, "knob-small.png");
    add(list, p + "filter keytrack", ControlKind::Switch, {322, 240 + dy, kButtonW, kButtonH}, "b-keyboard.png");
    add(list, p + "filter resonance", ControlKind::Knob, {362, 235 + dy, kKnob, kKnob}, "knob-small.png");
    add(list, p + "filter type", ControlKind::Selector, {306, 291 + dy, 91, kSelectorH}, "b-filter.png");
    add(list, p + "type", ControlKind::Selector, {72, 291 + dy, 101, kSelectorH}, "b-noise-type.png");
    add(list, p + "type previous", ControlKind::Contact, {45, 287 + dy, 15, 25}, "b-prev-next.png");
    add(list, p + "type next", ControlKind::Contact, {58, 287 + dy, 15, 25}, "b-prev-next.png");
    add(list, p + "filter previous", ControlKind::Contact, {279, 287 + dy, 15, 25}, "b-prev-next.png");
    add(list, p + "filter next", ControlKind::Contact, {292, 287 + dy, 15, 25}, "b-prev-next.png");
}

void addEnvelopeColumn(std::vector<ControlRect>& list, const std::string& name, int sliderY, int modeY) {
    for (int i = 0; i < 3; ++i) {
        static const char* const kWhat[] = {"attack", "release", "depth"};
        add(list, name + " envelope " + kWhat[i], ControlKind::Slider, {656 + 16 * i, sliderY, 12, 69},
            "slider-y-small.png");
    }
    add(list, name + " envelope mode", ControlKind::Selector, {657, modeY, 45, kSelectorH}, "b-envelope-mode.png");
}

}  // namespace

std::vector<ControlRect> pageControls() {
    std::vector<ControlRect> list;
    // Oscillator section.
    add(list, "osc volume envelope tab", ControlKind::Tab, {403, 93, 43, 18}, "b-env-vol.png");
    add(list, "osc modulation envelope tab", ControlKind::Tab, {446, 93, 43, 18}, "b-env-mod.png");
    add(list, "osc filter envelope tab", ControlKind::Tab, {489, 93, 43, 18}, "b-env-fil.png");
    add(list, "osc 1 pitch", ControlKind::Knob, {46, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "osc 1 snap", ControlKind::Switch, {53, 93, 18, 18}, "b-snap.png");
    add(list, "osc 2 snap", ControlKind::Switch, {139, 93, 18, 18}, "b-snap.png");
    add(list, "osc 2 pitch", ControlKind::Knob, {132, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "FM", ControlKind::Knob, {93, 167, kSmallKnob, kSmallKnob}, "knob.png");
    add(list, "mix", ControlKind::Knob, {89, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "hit volume", ControlKind::Knob, {184, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "hit low-pass", ControlKind::Knob, {227, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "osc filter cutoff", ControlKind::Knob, {279, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "osc filter keytrack", ControlKind::Switch, {322, 127, kButtonW, kButtonH}, "b-keyboard.png");
    add(list, "osc filter resonance", ControlKind::Knob, {362, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "osc 1 type", ControlKind::Selector, {46, 174, 29, 25}, "b-osc.png");
    add(list, "osc 2 type", ControlKind::Selector, {132, 174, 29, 25}, "b-osc.png");
    add(list, "osc filter type", ControlKind::Selector, {306, 178, 91, kSelectorH}, "b-filter.png");
    add(list, "hit type", ControlKind::Selector, {211, 178, 46, kSelectorH}, "b-hit.png");
    add(list, "hit type previous", ControlKind::Contact, {184, 174, 15, 25}, "b-prev-next.png");
    add(list, "hit type next", ControlKind::Contact, {197, 174, 15, 25}, "b-prev-next.png");
    add(list, "osc filter previous", ControlKind::Contact, {279, 174, 15, 25}, "b-prev-next.png");
    add(list, "osc filter next", ControlKind::Contact, {292, 174, 15, 25}, "b-prev-next.png");
    addNoiseSection(list, 1, 0);
    addNoiseSection(list, 2, kNoiseRowStep);
    addEnvelopeColumn(list, "osc", 118, 94);
    addEnvelopeColumn(list, "noise 1", 231, 207);
    addEnvelopeColumn(list, "noise 2", 344, 320);
    for (int i = 0; i < 3; ++i) add(list, "envelope display", ControlKind::Area, kEnvelopeDisplays[i]);

    // Mixer page and the page tabs.
    add(list, "mixer tab", ControlKind::Tab, {710, 93, 47, 18}, "b-effects.png");
    add(list, "velocity tab", ControlKind::Tab, {757, 93, 47, 18}, "b-velocity.png");
    add(list, "osc volume", ControlKind::Knob, {720, 122, kKnob, kKnob}, "knob-small.png");
    add(list, "osc on", ControlKind::Switch, {766, 127, kButtonW, kButtonH}, "b-mute-part.png");
    add(list, "noise 1 volume", ControlKind::Knob, {720, 174, kKnob, kKnob}, "knob-small.png");
    add(list, "noise 1 on", ControlKind::Switch, {766, 179, kButtonW, kButtonH}, "b-mute-part.png");
    add(list, "noise 2 volume", ControlKind::Knob, {720, 226, kKnob, kKnob}, "knob-small.png");
    add(list, "noise 2 on", ControlKind::Switch, {766, 231, kButtonW, kButtonH}, "b-mute-part.png");
    add(list, "effect type", ControlKind::Selector, {722, 290, 70, kSelectorH}, "b-effect-type.png");
    add(list, "effect amount", ControlKind::Slider, {723, 308, 67, 6}, "slider-x-small-fx.png");
    add(list, "pan", ControlKind::Knob, {720, 376, kKnob, kKnob}, "knob-small.png");
    add(list, "output", ControlKind::Selector, {720, 333, 29, kSelectorH}, "b-out.png");
    add(list, "volume", ControlKind::Knob, {764, 376, kKnob, kKnob}, "knob-small.png");
    add(list, "choke", ControlKind::Selector, {764, 333, 29, kSelectorH}, "b-choke.png");

    // The sound strip.
    for (int i = 0; i < 10; ++i) {
        const int x0 = kStripX0 + kStripPitch * i;
        const std::string p = "sound " + std::to_string(i + 1) + " ";
        add(list, p + "tab", ControlKind::Tab, {x0, 10, 75, 53}, "b-sound1.png");
        add(list, p + "name", ControlKind::Text, {x0, 18, 75, 12});
        add(list, p + "volume", ControlKind::Slider, {x0 + 2, 36, 71, 6}, "slider-x-small.png");
        add(list, p + "on lamp", ControlKind::Switch, {x0 + 67, 14, 4, 4}, "sound-on.png");
        add(list, p + "solo", ControlKind::Switch, {x0, 45, 36, 18}, "b-solo.png");
        add(list, p + "mute", ControlKind::Switch, {x0 + 39, 45, 36, 18}, "b-mute.png");
    }
    add(list, "read-out", ControlKind::Text, kReadout);
    add(list, "keyboard mode", ControlKind::Selector, {255, 525, 122, kSelectorH}, "b-lock.png");
    add(list, "file commands (invisible)", ControlKind::Area, {382, 524, 135, 18});
    add(list, "keyboard", ControlKind::Area, kKeyboard);
    return list;
}

std::vector<ControlRect> velocityPageControls() {
    std::vector<ControlRect> list;
    struct K {
        const char* what;
        int x, y;
    };
    static const K kKnobs[] = {{"osc volume velocity", 719, 148},     {"osc modulation velocity", 746, 148},
                               {"osc filter velocity", 773, 148},     {"noise 1 volume velocity", 720, 214},
                               {"noise 1 filter velocity", 747, 214}, {"noise 2 volume velocity", 720, 280},
                               {"noise 2 filter velocity", 747, 280}, {"hit filter velocity", 748, 346}};
    for (const K& k : kKnobs) add(list, k.what, ControlKind::Knob, {k.x, k.y, kSmallKnob, kSmallKnob}, "knob.png");
    add(list, "mixer tab", ControlKind::Tab, {710, 93, 47, 18}, "b-effects.png");
    return list;
}

std::vector<ControlRect> hitPanelControls() {
    std::vector<ControlRect> list;
    add(list, "hit generator volume", ControlKind::Knob, {183, 130, kSmallKnob, kSmallKnob}, "knob.png");
    add(list, "hit generator modulation", ControlKind::Knob, {210, 130, kSmallKnob, kSmallKnob}, "knob.png");
    add(list, "hit generator modulation decay", ControlKind::Knob, {237, 130, kSmallKnob, kSmallKnob}, "knob.png");
    return list;
}

std::vector<Label> backgroundLabels() {
    using A = LabelAnchor;
    using R = LabelRole;
    std::vector<Label> labels = {
        // Oscillator section: title row, switch row, knob row, selector row.
        {"OSCILLATOR", 46, 78, A::Left, R::Title},
        {"ENVELOPES", 403, 78, A::Left, R::Title},
        {"SNAP", 75, 99, A::Left, R::Label},
        {"SNAP", 135, 99, A::Right, R::Label},
        {"HIT", 184, 99, A::Left, R::Group},
        {"FILTER", 279, 99, A::Left, R::Group},
        {"PITCH 1", 60.5, 154, A::Centre, R::Label},
        {"MIX", 103.5, 154, A::Centre, R::Label},
        {"PITCH 2", 146.5, 154, A::Centre, R::Label},
        {"VOLUME", 198.5, 154, A::Centre, R::Label},
        {"LP", 241.5, 154, A::Centre, R::Label},
        {"CUTOFF", 293.5, 154, A::Centre, R::Label},
        {"KEY", 336.5, 154, A::Centre, R::Label},
        {"RES", 376.5, 154, A::Centre, R::Label},
        {"FM", 103.5, 191, A::Centre, R::Label},
        {"WAVE 1", 60.5, 202, A::Centre, R::Label},
        {"WAVE 2", 146.5, 202, A::Centre, R::Label},
        {"TYPE", 220.5, 202, A::Centre, R::Label},
        {"TYPE", 338, 202, A::Centre, R::Label},
        // Envelope columns.
        {"MODE", 652, 99, A::Right, R::Label},
        {"MODE", 652, 212, A::Right, R::Label},
        {"MODE", 652, 325, A::Right, R::Label},
        // Mixer page.
        {"OSC", 734.5, 154, A::Centre, R::Label},
        {"ON", 780.5, 154, A::Centre, R::Label},
        {"NOISE 1", 734.5, 206, A::Centre, R::Label},
        {"ON", 780.5, 206, A::Centre, R::Label},
        {"NOISE 2", 734.5, 258, A::Centre, R::Label},
        {"ON", 780.5, 258, A::Centre, R::Label},
        {"EFFECT", 757, 280, A::Centre, R::Group},
        {"AMOUNT", 756.5, 317, A::Centre, R::Label},
        {"OUT", 734.5, 353, A::Centre, R::Label},
        {"CHOKE", 778.5, 353, A::Centre, R::Label},
        {"PAN", 734.5, 408, A::Centre, R::Label},
        {"VOLUME", 778.5, 408, A::Centre, R::Label},
        // Bottom row.
        {"KEYS", 250, 530, A::Right, R::Label},
    };
    for (int n = 1; n <= 2; ++n) {
        const int dy = (n - 1) * kNoiseRowStep;
        const std::vector<Label> noise = {
            {"NOISE " + std::to_string(n), 46, 221 + dy, A::Left, R::Title},
            {"FILTER", 279, 221 + dy, A::Left, R::Group},
            {"PITCH", 60.5, 267 + dy, A::Centre, R::Label},
            {"KEY", 102.5, 267 + dy, A::Centre, R::Label},
            {"COLOR", 147.5, 267 + dy, A::Centre, R::Label},
            {"STEREO", 198.5, 267 + dy, A::Centre, R::Label},
            {"RETRIG", 242.5, 267 + dy, A::Centre, R::Label},
            {"CUTOFF", 293.5, 267 + dy, A::Centre, R::Label},
            {"KEY", 336.5, 267 + dy, A::Centre, R::Label},
            {"RES", 376.5, 267 + dy, A::Centre, R::Label},
            {"TYPE", 109, 315 + dy, A::Centre, R::Label},
            {"TYPE", 338, 315 + dy, A::Centre, R::Label},
        };
        labels.insert(labels.end(), noise.begin(), noise.end());
    }
    // Attack, release and depth under each envelope's sliders.
    for (int row = 0; row < 3; ++row) {
        const int top = 190 + row * kNoiseRowStep;
        labels.push_back({"A", 662, top, A::Centre, R::Label});
        labels.push_back({"R", 678, top, A::Centre, R::Label});
        labels.push_back({"D", 694, top, A::Centre, R::Label});
    }
    return labels;
}

std::vector<Label> hitPanelLabels() {
    using A = LabelAnchor;
    return {
        {"GENERATOR", 46.5, 5, A::Centre, LabelRole::Group},
        {"VOL", 19.5, 43, A::Centre, LabelRole::Label},
        {"MOD", 46.5, 43, A::Centre, LabelRole::Label},
        {"DEC", 73.5, 43, A::Centre, LabelRole::Label},
    };
}

std::vector<Label> velocityPageLabels() {
    using A = LabelAnchor;
    using R = LabelRole;
    return {
        {"OSCILLATOR", 47, 42, A::Centre, R::Group}, {"VOL", 19.5, 79, A::Centre, R::Label},
        {"MOD", 46.5, 79, A::Centre, R::Label},      {"FILT", 73.5, 79, A::Centre, R::Label},
        {"NOISE 1", 47, 108, A::Centre, R::Group},   {"VOL", 20.5, 145, A::Centre, R::Label},
        {"FILT", 47.5, 145, A::Centre, R::Label},    {"NOISE 2", 47, 174, A::Centre, R::Group},
        {"VOL", 20.5, 211, A::Centre, R::Label},     {"FILT", 47.5, 211, A::Centre, R::Label},
        {"HIT", 47, 240, A::Centre, R::Group},       {"FILT", 48.5, 277, A::Centre, R::Label},
    };
}

}  // namespace kettrix::artwork
