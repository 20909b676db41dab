#include "editor/EditorLayout.h"

#include "editor/EditorImages.h"

namespace kettrix::editor {
namespace {

using kit::soundIndex;

constexpr Rect at(int x, int y) { return {x, y, 0, 0}; }

constexpr Rect kOscEnvelopeRect = kEnvelopeDisplayRects[0];
constexpr Rect kNoise1EnvelopeRect = kEnvelopeDisplayRects[1];
constexpr Rect kNoise2EnvelopeRect = kEnvelopeDisplayRects[2];

// Offsets in table order: attack, release, depth, mode, attack shape, release shape.
constexpr std::array<EnvelopeEntry, 7> kEnvelopes = {{
    {Group::OscVolume, 1, 118, 94, 26, 27, 30, 31, 28, 29, image::kAttackVolume, Menu::AttackShapeVolume,
     kOscEnvelopeRect},
    {Group::OscModulation, 2, 118, 94, 20, 21, 24, 25, 22, 23, image::kAttackModulation, Menu::AttackShapeModulation,
     kOscEnvelopeRect},
    {Group::OscFilter, 3, 118, 94, 34, 35, 38, 39, 36, 37, image::kAttackModulation, Menu::AttackShapeModulation,
     kOscEnvelopeRect},
    {Group::Noise1Volume, 57, 231, 207, 51, 52, 55, 56, 53, 54, image::kAttackVolume, Menu::AttackShapeVolume,
     kNoise1EnvelopeRect},
    {Group::Noise1Filter, 58, 231, 207, 62, 63, 66, 67, 64, 65, image::kAttackModulation, Menu::AttackShapeModulation,
     kNoise1EnvelopeRect},
    {Group::Noise2Volume, 83, 344, 320, 77, 78, 81, 82, 79, 80, image::kAttackVolume, Menu::AttackShapeVolume,
     kNoise2EnvelopeRect},
    {Group::Noise2Filter, 84, 344, 320, 88, 89, 92, 93, 90, 91, image::kAttackModulation, Menu::AttackShapeModulation,
     kNoise2EnvelopeRect},
}};

// Builds the controls of one sound; every helper appends in creation order.
class SoundSheet {
public:
    explicit SoundSheet(int sound) : sound_(sound) { out_.reserve(kControlsPerSound); }

    void add(ControlKind kind, int image, Rect rect, int off, Group group, Menu menu = Menu::None) {
        out_.push_back({kind, image, rect, soundIndex(sound_, off), group, menu, sound_});
    }
    void envelopeDetail(const EnvelopeEntry& e) {
        add(ControlKind::Knob, image::kEnvelopeSlider, at(656, e.sliderY), e.attack, e.group);
        add(ControlKind::Knob, image::kEnvelopeSlider, at(672, e.sliderY), e.release, e.group);
        add(ControlKind::Knob, image::kEnvelopeSlider, at(688, e.sliderY), e.depth, e.group);
        add(ControlKind::Selector, image::kEnvelopeMode, at(657, e.modeY), e.mode, e.group, Menu::EnvelopeMode);
        // Shape selectors sit outside the window: only the envelope editor opens them.
        add(ControlKind::Selector, e.attackImage, at(502, -100), e.attackShape, e.group, e.attackMenu);
        add(ControlKind::Selector, image::kRelease, at(605, -100), e.releaseShape, e.group, Menu::ReleaseShape);
    }
    void oscillatorSection() {
        constexpr Group g = Group::Oscillator;
        add(ControlKind::Switch, image::kEnvelopeVolumeTab, at(403, 93), 4, g);
        add(ControlKind::Switch, image::kEnvelopeModulationTab, at(446, 93), 5, g);
        add(ControlKind::Switch, image::kEnvelopeFilterTab, at(489, 93), 6, g);
        add(ControlKind::Knob, image::kKnobSmall, at(46, 122), 11, g);
        add(ControlKind::Switch, image::kSnap, at(53, 93), 0, g);
        add(ControlKind::Switch, image::kSnap, at(139, 93), 44, g);
        add(ControlKind::Knob, image::kKnobSmall, at(132, 122), 13, g);
        add(ControlKind::Knob, image::kKnob, at(93, 167), 16, g);
        add(ControlKind::Knob, image::kKnobSmall, at(89, 122), 15, g);
        add(ControlKind::Knob, image::kKnobSmall, at(184, 122), 17, g);
        add(ControlKind::Knob, image::kKnobSmall, at(227, 122), 18, g);
        add(ControlKind::Image, image::kHitPanel, kHitPanelAt, 69, g);
        add(ControlKind::Knob, image::kKnob, at(183, 130), 70, g);
        add(ControlKind::Knob, image::kKnob, at(210, 130), 96, g);
        add(ControlKind::Knob, image::kKnob, at(237, 130), 118, g);
        add(ControlKind::Knob, image::kKnobSmall, at(279, 122), 32, g);
        add(ControlKind::Switch, image::kKeytrack, at(322, 127), 41, g);
        add(ControlKind::Knob, image::kKnobSmall, at(362, 122), 33, g);
        add(ControlKind::Selector, image::kOscillatorType, at(46, 174), 12, g, Menu::OscillatorType);
        add(ControlKind::Selector, image::kOscillatorType, at(132, 174), 14, g, Menu::OscillatorType);
        add(ControlKind::Selector, image::kFilterType, at(306, 178), 40, g, Menu::FilterType);
        for (int e = 0; e < 3; ++e) envelopeDetail(kEnvelopes[static_cast<std::size_t>(e)]);
        add(ControlKind::Selector, image::kHitType, at(211, 178), 19, g, Menu::HitType);
    }
    // Noise 2 is noise 1 moved down by 113 pixels with its own offsets.
    void noiseSection(int which) {
        const bool second = which == 2;
        const Group g = second ? Group::Noise2 : Group::Noise1;
        const int dy = second ? kNoiseRowStep : 0;
        auto o = [second](int first, int other) { return second ? other : first; };
        add(ControlKind::Switch, image::kEnvelopeVolumeTab, at(403, 206 + dy), o(7, 9), g);
        add(ControlKind::Switch, image::kEnvelopeFilterTab, at(446, 206 + dy), o(8, 10), g);
        add(ControlKind::Knob, image::kKnobSmall, at(46, 235 + dy), o(49, 75), g);
        add(ControlKind::Switch, image::kKeytrack, at(88, 240 + dy), o(48, 74), g);
        add(ControlKind::Knob, image::kKnobSmall, at(133, 235 + dy), o(71, 97), g);
        add(ControlKind::Knob, image::kKnobSmall, at(184, 235 + dy), o(50, 76), g);
        add(ControlKind::Switch, image::kButton, at(228, 240 + dy), o(47, 73), g);
        const std::size_t firstEnvelope = second ? 5 : 3;
        envelopeDetail(kEnvelopes[firstEnvelope]);
        envelopeDetail(kEnvelopes[firstEnvelope + 1]);
        add(ControlKind::Knob, image::kKnobSmall, at(279, 235 + dy), o(59, 85), g);
        add(ControlKind::Switch, image::kKeytrack, at(322, 240 + dy), o(61, 87), g);
        add(ControlKind::Knob, image::kKnobSmall, at(362, 235 + dy), o(60, 86), g);
        add(ControlKind::Selector, image::kFilterType, at(306, 291 + dy), o(68, 94), g, Menu::FilterType);
        add(ControlKind::Selector, image::kNoiseType, at(72, 291 + dy), o(46, 72), g, Menu::NoiseType);
    }
    void mixerPage() {
        constexpr Group g = Group::Mixer;
        add(ControlKind::Knob, image::kKnobSmall, at(720, 122), 98, g);
        add(ControlKind::Switch, image::kSectionMute, at(766, 127), 129, g);
        add(ControlKind::Knob, image::kKnobSmall, at(720, 174), 99, g);
        add(ControlKind::Switch, image::kSectionMute, at(766, 179), 130, g);
        add(ControlKind::Knob, image::kKnobSmall, at(720, 226), 100, g);
        add(ControlKind::Switch, image::kSectionMute, at(766, 231), 131, g);
        add(ControlKind::Selector, image::kEffectType, at(722, 290), 124, g, Menu::EffectType);
        add(ControlKind::HSlider, image::kEffectAmountSlider, at(723, 308), 123, g);
        add(ControlKind::Knob, image::kKnobSmall, at(720, 376), 101, g);
        add(ControlKind::Selector, image::kOutput, at(720, 333), 103, g, Menu::OutputChannel);
        add(ControlKind::Knob, image::kKnobSmall, at(764, 376), 102, g);
        add(ControlKind::Selector, image::kChoke, at(764, 333), 128, g, Menu::Choke);
    }
    void velocityPage() {
        constexpr Group g = Group::Velocity;
        add(ControlKind::Image, image::kVelocityBackdrop, kVelocityPageAt, 104, g);
        add(ControlKind::Knob, image::kKnob, at(719, 148), 105, g);
        add(ControlKind::Knob, image::kKnob, at(746, 148), 106, g);
        add(ControlKind::Knob, image::kKnob, at(773, 148), 107, g);
        add(ControlKind::Knob, image::kKnob, at(720, 214), 109, g);
        add(ControlKind::Knob, image::kKnob, at(747, 214), 110, g);
        add(ControlKind::Knob, image::kKnob, at(720, 280), 111, g);
        add(ControlKind::Knob, image::kKnob, at(747, 280), 112, g);
        add(ControlKind::Knob, image::kKnob, at(748, 346), 108, g);
    }
    void pageTabs() {
        constexpr Group g = Group::PageTabs;
        add(ControlKind::Switch, image::kKeytrack, at(710, 98), 114, g);
        add(ControlKind::Switch, image::kEffectsTab, at(710, 93), 115, g);
        add(ControlKind::Switch, image::kVelocityTab, at(757, 93), 116, g);
    }

    std::vector<ControlEntry> take() { return std::move(out_); }

private:
    int sound_;
    std::vector<ControlEntry> out_;
};

}  // namespace

const std::array<EnvelopeEntry, 7>& envelopes() { return kEnvelopes; }

std::vector<ControlEntry> soundControls(int s) {
    SoundSheet sheet(s);
    sheet.oscillatorSection();
    sheet.noiseSection(2);
    sheet.noiseSection(1);
    sheet.mixerPage();
    sheet.velocityPage();
    sheet.pageTabs();
    return sheet.take();
}

std::vector<ControlEntry> globalControls() {
    namespace g = kit::global;
    std::vector<ControlEntry> out;
    out.reserve(kGlobalControlsBeforeMenu + 1);
    auto add = [&out](ControlKind kind, int image, Rect rect, int param, Menu menu = Menu::None, int sound = -1) {
        out.push_back({kind, image, rect, param, Group::None, menu, sound});
    };
    for (int i = 0; i < kit::kSoundCount; ++i) {
        const int x0 = kStripX0 + kStripPitch * i;
        add(ControlKind::Switch, image::kSoundTab, at(x0, 10), g::kShowSound + i, Menu::None, i);
        add(ControlKind::HSlider, image::kSoundVolumeSlider, at(x0 + 2, 36), g::kSoundVolume + i, Menu::None, i);
        add(ControlKind::Switch, image::kSoundOn, at(x0 + 67, 14), g::kSoundOn + i, Menu::None, i);
        add(ControlKind::Switch, image::kSolo, at(x0, 45), g::kSolo + i, Menu::None, i);
        add(ControlKind::Switch, image::kMute, at(x0 + 39, 45), g::kMute + i, Menu::None, i);
    }
    add(ControlKind::ReadOut, 0, kReadOutRect, -1);
    add(ControlKind::Selector, image::kLock, at(255, 525), g::kKeyboardMode, Menu::KeyboardMode);
    add(ControlKind::FileCommands, 0, kFileCommandsRect, 0);
    add(ControlKind::Selector, image::kLock, at(255, -100), soundIndex(0, kit::offset::kPatch), Menu::Patch);
    for (int i = 0; i < kit::kSoundCount; ++i) add(ControlKind::NameField, 0, nameFieldRect(i), -1, Menu::None, i);
    for (const EnvelopeEntry& e : kEnvelopes) add(ControlKind::EnvelopeEditor, 0, e.editorRect, e.editorParam);
    // Previous/next pairs in the table's order: hit, oscillator filter, noise 1
    // type, noise 1 filter, noise 2 type, noise 2 filter.
    struct PrevNext {
        int x, y, previousParam;
    };
    constexpr PrevNext kPrevNext[] = {{184, 174, 1377}, {279, 174, 1379}, {45, 287, 1373},
                                      {279, 287, 1381}, {45, 400, 1375},  {279, 400, 1383}};
    for (const PrevNext& p : kPrevNext) {
        add(ControlKind::Contact, image::kPrevNext, at(p.x, p.y), p.previousParam);
        add(ControlKind::Contact, image::kPrevNext, at(p.x + 13, p.y), p.previousParam + 1);
    }
    add(ControlKind::Keyboard, 0, kKeyboardRect, g::kKeyboard);
    add(ControlKind::PopupMenu, 0, {0, 0, kEditorWidth, kEditorHeight}, kMenuParam);
    return out;
}

std::vector<ControlEntry> editorControls() {
    std::vector<ControlEntry> all;
    all.reserve(kControlCount);
    all.push_back({ControlKind::Background, image::kBackground, {0, 0, kEditorWidth, kEditorHeight}, -1});
    for (int s = 0; s < kit::kSoundCount; ++s) {
        const std::vector<ControlEntry> sound = soundControls(s);
        all.insert(all.end(), sound.begin(), sound.end());
    }
    const std::vector<ControlEntry> global = globalControls();
    all.insert(all.end(), global.begin(), global.end());
    return all;
}

}  // namespace kettrix::editor
