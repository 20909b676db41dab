#include "EditorLayout.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "editor/EditorImages.h"

namespace kettrix::artwork {
namespace {

namespace off = layout::offset;
namespace gc = editor::global_control;

// The rectangle a control of the editor occupies: a bitmap control is one
// frame of its image large, the others carry their whole rectangle.
Rect extent(const editor::ControlEntry& entry) {
    if (const editor::ImageEntry* image = editor::findImage(entry.image))
        return {entry.rect.left, entry.rect.top, image->width, image->height / image->frames};
    Rect r = fromEditor(entry.rect);
    r.w = std::min(r.w, kWindowWidth - r.x);  // the keyboard reaches past the window
    return r;
}

// The image file a control draws, empty when it draws none.
std::string imageFile(const editor::ControlEntry& entry) {
    const editor::ImageEntry* image = editor::findImage(entry.image);
    if (image == nullptr) return {};
    const std::string_view path = image->name;
    return std::string(path.substr(path.rfind('/') + 1));
}

// Looks controls up in the editor's table: those of sound 1 by their
// parameter offset, the global ones by their place in the list.
class EditorTable {
public:
    EditorTable() : all_(editor::editorControls()) {}

    const editor::ControlEntry& sound(int offset) const {
        for (int i = editor::kFirstSoundControl; i < editor::kFirstSoundControl + editor::kControlsPerSound; ++i)
            if (all_[static_cast<std::size_t>(i)].param == layout::soundIndex(0, offset))
                return all_[static_cast<std::size_t>(i)];
        throw std::logic_error("no control of sound 1 for offset " + std::to_string(offset));
    }
    const editor::ControlEntry& global(int index) const { return all_.at(static_cast<std::size_t>(index)); }
    // The previous (or next) button of the selector a stepped offset names.
    const editor::ControlEntry& stepButton(int offset, bool next) const {
        const int param = layout::previousButtonOf(offset) + (next ? 1 : 0);
        for (const editor::ControlEntry& entry : all_)
            if (entry.kind == editor::ControlKind::Contact && entry.param == param) return entry;
        throw std::logic_error("no previous/next button for offset " + std::to_string(offset));
    }

private:
    std::vector<editor::ControlEntry> all_;
};

const EditorTable& table() {
    static const EditorTable t;
    return t;
}

void add(std::vector<ControlRect>& list, std::string what, Look look, const editor::ControlEntry& entry) {
    list.push_back({std::move(what), look, extent(entry), imageFile(entry)});
}
void addSound(std::vector<ControlRect>& list, std::string what, Look look, int offset) {
    add(list, std::move(what), look, table().sound(offset));
}

void addNoiseSection(std::vector<ControlRect>& list, int n) {
    const std::string p = "noise " + std::to_string(n) + " ";
    const int shift = n == 2 ? off::kNoise2Shift : 0;
    auto a = [&](const char* what, Look look, int offset) { addSound(list, p + what, look, offset + shift); };
    addSound(list, p + "volume envelope tab", Look::Tab, n == 2 ? off::kNoise2VolTab : off::kNoise1VolTab);
    addSound(list, p + "filter envelope tab", Look::Tab, n == 2 ? off::kNoise2FilterTab : off::kNoise1FilterTab);
    a("pitch", Look::Knob, off::kNoisePitch);
    a("keytrack", Look::Switch, off::kNoiseKeytrack);
    addSound(list, p + "colour", Look::Knob, n == 2 ? off::kNoise2Color : off::kNoise1Color);
    a("stereo", Look::Knob, off::kNoiseStereo);
    a("re-trigger", Look::Switch, off::kNoiseRetrigger);
    a("filter cutoff", Look::Knob, off::kNoiseCutoff);
    a("filter keytrack", Look::Switch, off::kNoiseFilterKeytrack);
    a("filter resonance", Look::Knob, off::kNoiseResonance);
    a("filter type", Look::Selector, off::kNoiseFilterType);
    a("type", Look::Selector, off::kNoiseType);
    add(list, p + "type previous", Look::Contact, table().stepButton(off::kNoiseType + shift, false));
    add(list, p + "type next", Look::Contact, table().stepButton(off::kNoiseType + shift, true));
    add(list, p + "filter previous", Look::Contact, table().stepButton(off::kNoiseFilterType + shift, false));
    add(list, p + "filter next", Look::Contact, table().stepButton(off::kNoiseFilterType + shift, true));
}

void addEnvelopeColumn(std::vector<ControlRect>& list, const std::string& name, const editor::EnvelopeEntry& e) {
    addSound(list, name + " envelope attack", Look::Slider, e.attack);
    addSound(list, name + " envelope release", Look::Slider, e.release);
    addSound(list, name + " envelope depth", Look::Slider, e.depth);
    addSound(list, name + " envelope mode", Look::Selector, e.mode);
}

}  // namespace

const Rect kHitPanel =
    extent(editor::ControlEntry{editor::ControlKind::Image, editor::image::kHitPanel, editor::kHitPanelAt, -1});
const Rect kVelocityPage = extent(
    editor::ControlEntry{editor::ControlKind::Image, editor::image::kVelocityBackdrop, editor::kVelocityPageAt, -1});

std::vector<ControlRect> pageControls() {
    std::vector<ControlRect> list;
    // Oscillator section.
    addSound(list, "osc volume envelope tab", Look::Tab, off::kOscVolTab);
    addSound(list, "osc modulation envelope tab", Look::Tab, off::kOscModTab);
    addSound(list, "osc filter envelope tab", Look::Tab, off::kOscFilterTab);
    addSound(list, "osc 1 pitch", Look::Knob, off::kOsc1Pitch);
    addSound(list, "osc 1 snap", Look::Switch, off::kOsc1Snap);
    addSound(list, "osc 2 snap", Look::Switch, off::kOsc2Snap);
    addSound(list, "osc 2 pitch", Look::Knob, off::kOsc2Pitch);
    addSound(list, "FM", Look::Knob, off::kOscFm);
    addSound(list, "mix", Look::Knob, off::kOscMix);
    addSound(list, "hit volume", Look::Knob, off::kHitVolume);
    addSound(list, "hit low-pass", Look::Knob, off::kHitLowpass);
    addSound(list, "osc filter cutoff", Look::Knob, off::kOscCutoff);
    addSound(list, "osc filter keytrack", Look::Switch, off::kOscFilterKeytrack);
    addSound(list, "osc filter resonance", Look::Knob, off::kOscResonance);
    addSound(list, "osc 1 type", Look::Selector, off::kOsc1Type);
    addSound(list, "osc 2 type", Look::Selector, off::kOsc2Type);
    addSound(list, "osc filter type", Look::Selector, off::kOscFilterType);
    addSound(list, "hit type", Look::Selector, off::kHitType);
    add(list, "hit type previous", Look::Contact, table().stepButton(off::kHitType, false));
    add(list, "hit type next", Look::Contact, table().stepButton(off::kHitType, true));
    add(list, "osc filter previous", Look::Contact, table().stepButton(off::kOscFilterType, false));
    add(list, "osc filter next", Look::Contact, table().stepButton(off::kOscFilterType, true));
    addNoiseSection(list, 1);
    addNoiseSection(list, 2);
    const auto& envelopes = editor::envelopes();
    addEnvelopeColumn(list, "osc", envelopes[0]);
    addEnvelopeColumn(list, "noise 1", envelopes[3]);
    addEnvelopeColumn(list, "noise 2", envelopes[5]);
    for (int i = 0; i < 3; ++i)
        list.push_back({"envelope display", Look::Area, fromEditor(editor::kEnvelopeDisplayRects[i]), {}});

    // Mixer page and the page tabs.
    addSound(list, "mixer tab", Look::Tab, off::kShowMixer);
    addSound(list, "velocity tab", Look::Tab, off::kShowVelocity);
    addSound(list, "osc volume", Look::Knob, off::kOscVolume);
    addSound(list, "osc on", Look::Switch, off::kOscOn);
    addSound(list, "noise 1 volume", Look::Knob, off::kNoise1Volume);
    addSound(list, "noise 1 on", Look::Switch, off::kNoise1On);
    addSound(list, "noise 2 volume", Look::Knob, off::kNoise2Volume);
    addSound(list, "noise 2 on", Look::Switch, off::kNoise2On);
    addSound(list, "effect type", Look::Selector, off::kEffectType);
    addSound(list, "effect amount", Look::Slider, off::kEffectAmount);
    addSound(list, "pan", Look::Knob, off::kPan);
    addSound(list, "output", Look::Selector, off::kChannel);
    addSound(list, "volume", Look::Knob, off::kVolume);
    addSound(list, "choke", Look::Selector, off::kChoke);

    // The sound strip.
    for (int i = 0; i < layout::kSoundCount; ++i) {
        const std::string p = "sound " + std::to_string(i + 1) + " ";
        add(list, p + "tab", Look::Tab, table().global(gc::soundTab(i)));
        add(list, p + "name", Look::Text, table().global(gc::nameField(i)));
        add(list, p + "volume", Look::Slider, table().global(gc::soundTab(i) + 1));
        add(list, p + "on lamp", Look::Switch, table().global(gc::soundLamp(i)));
        add(list, p + "solo", Look::Switch, table().global(gc::soundLamp(i) + 1));
        add(list, p + "mute", Look::Switch, table().global(gc::soundLamp(i) + 2));
    }
    add(list, "read-out", Look::Text, table().global(gc::kReadOut));
    add(list, "keyboard mode", Look::Selector, table().global(gc::kKeyboardModeMenu));
    add(list, "file commands (invisible)", Look::Area, table().global(gc::kFileCommands));
    add(list, "keyboard", Look::Area, table().global(gc::kKeyboard));
    // Placed by its own rectangle: the control table does not list it yet.
    add(list, "zoom switch", Look::Switch,
        editor::ControlEntry{editor::ControlKind::Switch, editor::image::kZoom, editor::kZoomSwitchRect, -1});
    return list;
}

std::vector<ControlRect> velocityPageControls() {
    std::vector<ControlRect> list;
    addSound(list, "osc volume velocity", Look::Knob, off::kOscVolVelocity);
    addSound(list, "osc modulation velocity", Look::Knob, off::kOscModVelocity);
    addSound(list, "osc filter velocity", Look::Knob, off::kOscFilterVelocity);
    addSound(list, "noise 1 volume velocity", Look::Knob, off::kNoise1VolVelocity);
    addSound(list, "noise 1 filter velocity", Look::Knob, off::kNoise1FilterVelocity);
    addSound(list, "noise 2 volume velocity", Look::Knob, off::kNoise2VolVelocity);
    addSound(list, "noise 2 filter velocity", Look::Knob, off::kNoise2FilterVelocity);
    addSound(list, "hit filter velocity", Look::Knob, off::kHitFilterVelocity);
    addSound(list, "mixer tab", Look::Tab, off::kShowMixer);
    return list;
}

std::vector<ControlRect> hitPanelControls() {
    std::vector<ControlRect> list;
    addSound(list, "hit generator volume", Look::Knob, off::kHitVolumeMirror);
    addSound(list, "hit generator modulation", Look::Knob, off::kHitLowpassMirror);
    addSound(list, "hit generator modulation decay", Look::Knob, off::kHitModDecay);
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
        // Bottom row; each label five pixels left of its selector, on the
        // cap line of the selector's text.
        {"KEYS", 250, 530, A::Right, R::Label},
        {"ZOOM", editor::kZoomSwitchRect.left - 5.0, editor::kZoomSwitchRect.top + 5, A::Right, R::Label},
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
