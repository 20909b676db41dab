#include "editor/EditorLayout.h"

#include "editor/EditorImages.h"

namespace kettrix::editor {
namespace {

using kit::soundIndex;

constexpr Rect at(int x, int y) { return {x, y, 0, 0}; }

constexpr Rect kOscEnvelopeRect = kEnvelopeDisplayRects[0];
constexpr Rect kNoise1EnvelopeRect = kEnvelopeDisplayRects[1];
constexpr Rect kNoise2EnvelopeRect = kEnvelopeDisplayRects[2];

namespace off = kit::offset;
using F = ReadOutFormat;
constexpr int kN2 = off::kNoise2Shift;

// Offsets in table order: attack, release, depth, mode, attack shape, release shape.
constexpr std::array<EnvelopeEntry, 7> kEnvelopes = {{
    {Group::OscVolume, off::kOscVolEnvelope, 118, 94, off::kOscVolAttack, off::kOscVolRelease, off::kOscVolDepth,
     off::kOscVolMode, off::kOscVolAttackType, off::kOscVolReleaseType, image::kAttackVolume, Menu::AttackShapeVolume,
     kOscEnvelopeRect},
    {Group::OscModulation, off::kOscModEnvelope, 118, 94, off::kOscModAttack, off::kOscModRelease, off::kOscModDepth,
     off::kOscModMode, off::kOscModAttackType, off::kOscModReleaseType, image::kAttackModulation,
     Menu::AttackShapeModulation, kOscEnvelopeRect},
    {Group::OscFilter, off::kOscFilterEnvelope, 118, 94, off::kOscFilterAttack, off::kOscFilterRelease,
     off::kOscFilterDepth, off::kOscFilterMode, off::kOscFilterAttackType, off::kOscFilterReleaseType,
     image::kAttackModulation, Menu::AttackShapeModulation, kOscEnvelopeRect},
    {Group::Noise1Volume, off::kNoiseVolEnvelope, 118 + kNoiseRowStep, 94 + kNoiseRowStep, off::kNoiseVolAttack,
     off::kNoiseVolRelease, off::kNoiseVolDepth, off::kNoiseVolMode, off::kNoiseVolAttackType,
     off::kNoiseVolReleaseType, image::kAttackVolume, Menu::AttackShapeVolume, kNoise1EnvelopeRect},
    {Group::Noise1Filter, off::kNoiseFilterEnvelope, 118 + kNoiseRowStep, 94 + kNoiseRowStep, off::kNoiseFilterAttack,
     off::kNoiseFilterRelease, off::kNoiseFilterDepth, off::kNoiseFilterMode, off::kNoiseFilterAttackType,
     off::kNoiseFilterReleaseType, image::kAttackModulation, Menu::AttackShapeModulation, kNoise1EnvelopeRect},
    {Group::Noise2Volume, off::kNoiseVolEnvelope + kN2, 118 + 2 * kNoiseRowStep, 94 + 2 * kNoiseRowStep,
     off::kNoiseVolAttack + kN2, off::kNoiseVolRelease + kN2, off::kNoiseVolDepth + kN2, off::kNoiseVolMode + kN2,
     off::kNoiseVolAttackType + kN2, off::kNoiseVolReleaseType + kN2, image::kAttackVolume, Menu::AttackShapeVolume,
     kNoise2EnvelopeRect},
    {Group::Noise2Filter, off::kNoiseFilterEnvelope + kN2, 118 + 2 * kNoiseRowStep, 94 + 2 * kNoiseRowStep,
     off::kNoiseFilterAttack + kN2, off::kNoiseFilterRelease + kN2, off::kNoiseFilterDepth + kN2,
     off::kNoiseFilterMode + kN2, off::kNoiseFilterAttackType + kN2, off::kNoiseFilterReleaseType + kN2,
     image::kAttackModulation, Menu::AttackShapeModulation, kNoise2EnvelopeRect},
}};

// Builds the controls of one sound; every helper appends in creation order.
class SoundSheet {
public:
    explicit SoundSheet(int sound) : sound_(sound) { out_.reserve(kControlsPerSound); }

    ControlEntry& add(ControlKind kind, int image, Rect rect, int offset, Group group, Menu menu = Menu::None) {
        return out_.emplace_back(ControlEntry{kind, image, rect, soundIndex(sound_, offset), group, menu, sound_});
    }
    void envelopeDetail(const EnvelopeEntry& e) {
        add(ControlKind::Knob, image::kEnvelopeSlider, at(656, e.sliderY), e.attack, e.group);
        add(ControlKind::Knob, image::kEnvelopeSlider, at(672, e.sliderY), e.release, e.group);
        add(ControlKind::Knob, image::kEnvelopeSlider, at(688, e.sliderY), e.depth, e.group);
        add(ControlKind::Selector, image::kEnvelopeMode, at(657, e.modeY), e.mode, e.group, Menu::EnvelopeMode)
            .readOut = F::NameOnly;
        // Shape selectors sit outside the window: only the envelope editor opens them.
        add(ControlKind::Selector, e.attackImage, at(502, -100), e.attackShape, e.group, e.attackMenu);
        add(ControlKind::Selector, image::kRelease, at(605, -100), e.releaseShape, e.group, Menu::ReleaseShape);
    }
    void oscillatorSection() {
        constexpr Group g = Group::Oscillator;
        add(ControlKind::Switch, image::kEnvelopeVolumeTab, at(403, 93), off::kOscVolTab, g).readOut = F::NameOnly;
        add(ControlKind::Switch, image::kEnvelopeModulationTab, at(446, 93), off::kOscModTab, g).readOut = F::NameOnly;
        add(ControlKind::Switch, image::kEnvelopeFilterTab, at(489, 93), off::kOscFilterTab, g).readOut = F::NameOnly;
        add(ControlKind::Knob, image::kKnobSmall, at(46, 122), off::kOsc1Pitch, g).readOut = F::Hertz;
        add(ControlKind::Switch, image::kSnap, at(53, 93), off::kOsc1Snap, g).readOut = F::OnOff;
        add(ControlKind::Switch, image::kSnap, at(139, 93), off::kOsc2Snap, g).readOut = F::OnOff;
        add(ControlKind::Knob, image::kKnobSmall, at(132, 122), off::kOsc2Pitch, g).readOut = F::Hertz;
        add(ControlKind::Knob, image::kKnob, at(93, 167), off::kOscFm, g);
        add(ControlKind::Knob, image::kKnobSmall, at(89, 122), off::kOscMix, g).readOut = F::OscMix;
        add(ControlKind::Knob, image::kKnobSmall, at(184, 122), off::kHitVolume, g);
        add(ControlKind::Knob, image::kKnobSmall, at(227, 122), off::kHitLowpass, g);
        add(ControlKind::Image, image::kHitPanel, kHitPanelAt, off::kHitPanel, g).readOut = F::Silent;
        add(ControlKind::Knob, image::kKnob, at(183, 130), off::kHitVolumeMirror, g);
        add(ControlKind::Knob, image::kKnob, at(210, 130), off::kHitLowpassMirror, g);
        add(ControlKind::Knob, image::kKnob, at(237, 130), off::kHitModDecay, g);
        add(ControlKind::Knob, image::kKnobSmall, at(279, 122), off::kOscCutoff, g).readOut = F::Hertz;
        add(ControlKind::Switch, image::kKeytrack, at(322, 127), off::kOscFilterKeytrack, g).readOut = F::OnOff;
        add(ControlKind::Knob, image::kKnobSmall, at(362, 122), off::kOscResonance, g);
        add(ControlKind::Selector, image::kOscillatorType, at(46, 174), off::kOsc1Type, g, Menu::OscillatorType)
            .readOut = F::NameOnly;
        add(ControlKind::Selector, image::kOscillatorType, at(132, 174), off::kOsc2Type, g, Menu::OscillatorType)
            .readOut = F::NameOnly;
        add(ControlKind::Selector, image::kFilterType, at(306, 178), off::kOscFilterType, g, Menu::FilterType).readOut =
            F::NameOnly;
        for (int e = 0; e < 3; ++e) envelopeDetail(kEnvelopes[static_cast<std::size_t>(e)]);
        add(ControlKind::Selector, image::kHitType, at(211, 178), off::kHitType, g, Menu::HitType).readOut =
            F::NameOnly;
    }
    // Noise 2 is noise 1 moved down by kNoiseRowStep pixels and by kNoise2Shift
    // offsets, except its view tabs and colour.
    void noiseSection(int which) {
        const bool second = which == 2;
        const Group g = second ? Group::Noise2 : Group::Noise1;
        const int dy = second ? kNoiseRowStep : 0;
        const int shift = second ? kN2 : 0;
        add(ControlKind::Switch, image::kEnvelopeVolumeTab, at(403, 206 + dy),
            second ? off::kNoise2VolTab : off::kNoise1VolTab, g)
            .readOut = F::NameOnly;
        add(ControlKind::Switch, image::kEnvelopeFilterTab, at(446, 206 + dy),
            second ? off::kNoise2FilterTab : off::kNoise1FilterTab, g)
            .readOut = F::NameOnly;
        add(ControlKind::Knob, image::kKnobSmall, at(46, 235 + dy), off::kNoisePitch + shift, g);
        add(ControlKind::Switch, image::kKeytrack, at(88, 240 + dy), off::kNoiseKeytrack + shift, g).readOut = F::OnOff;
        add(ControlKind::Knob, image::kKnobSmall, at(133, 235 + dy), second ? off::kNoise2Color : off::kNoise1Color, g);
        add(ControlKind::Knob, image::kKnobSmall, at(184, 235 + dy), off::kNoiseStereo + shift, g);
        add(ControlKind::Switch, image::kButton, at(228, 240 + dy), off::kNoiseRetrigger + shift, g).readOut = F::OnOff;
        const std::size_t firstEnvelope = second ? 5 : 3;
        envelopeDetail(kEnvelopes[firstEnvelope]);
        envelopeDetail(kEnvelopes[firstEnvelope + 1]);
        add(ControlKind::Knob, image::kKnobSmall, at(279, 235 + dy), off::kNoiseCutoff + shift, g).readOut = F::Hertz;
        add(ControlKind::Switch, image::kKeytrack, at(322, 240 + dy), off::kNoiseFilterKeytrack + shift, g).readOut =
            F::OnOff;
        add(ControlKind::Knob, image::kKnobSmall, at(362, 235 + dy), off::kNoiseResonance + shift, g);
        add(ControlKind::Selector, image::kFilterType, at(306, 291 + dy), off::kNoiseFilterType + shift, g,
            Menu::FilterType)
            .readOut = F::NameOnly;
        add(ControlKind::Selector, image::kNoiseType, at(72, 291 + dy), off::kNoiseType + shift, g, Menu::NoiseType)
            .readOut = F::NameOnly;
    }
    void mixerPage() {
        constexpr Group g = Group::Mixer;
        add(ControlKind::Knob, image::kKnobSmall, at(720, 122), off::kOscVolume, g);
        add(ControlKind::Switch, image::kSectionMute, at(766, 127), off::kOscOn, g).readOut = F::ActiveMuted;
        add(ControlKind::Knob, image::kKnobSmall, at(720, 174), off::kNoise1Volume, g);
        add(ControlKind::Switch, image::kSectionMute, at(766, 179), off::kNoise1On, g).readOut = F::ActiveMuted;
        add(ControlKind::Knob, image::kKnobSmall, at(720, 226), off::kNoise2Volume, g);
        add(ControlKind::Switch, image::kSectionMute, at(766, 231), off::kNoise2On, g).readOut = F::ActiveMuted;
        add(ControlKind::Selector, image::kEffectType, at(722, 290), off::kEffectType, g, Menu::EffectType).readOut =
            F::NameOnly;
        add(ControlKind::HSlider, image::kEffectAmountSlider, at(723, 308), off::kEffectAmount, g);
        add(ControlKind::Knob, image::kKnobSmall, at(720, 376), off::kPan, g).readOut = F::Pan;
        add(ControlKind::Selector, image::kOutput, at(720, 333), off::kChannel, g, Menu::OutputChannel).readOut =
            F::NameOnly;
        add(ControlKind::Knob, image::kKnobSmall, at(764, 376), off::kVolume, g).readOut = F::HalfPercent;
        add(ControlKind::Selector, image::kChoke, at(764, 333), off::kChoke, g, Menu::Choke).readOut = F::NameOnly;
    }
    void velocityPage() {
        constexpr Group g = Group::Velocity;
        add(ControlKind::Image, image::kVelocityBackdrop, kVelocityPageAt, off::kVelocityPage, g).readOut = F::Silent;
        add(ControlKind::Knob, image::kKnob, at(719, 148), off::kOscVolVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(746, 148), off::kOscModVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(773, 148), off::kOscFilterVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(720, 214), off::kNoise1VolVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(747, 214), off::kNoise1FilterVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(720, 280), off::kNoise2VolVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(747, 280), off::kNoise2FilterVelocity, g);
        add(ControlKind::Knob, image::kKnob, at(748, 346), off::kHitFilterVelocity, g);
    }
    void pageTabs() {
        constexpr Group g = Group::PageTabs;
        add(ControlKind::Switch, image::kKeytrack, at(710, 98), off::kPageTabsSpare, g);
        add(ControlKind::Switch, image::kEffectsTab, at(710, 93), off::kShowMixer, g).readOut = F::NameOnly;
        add(ControlKind::Switch, image::kVelocityTab, at(757, 93), off::kShowVelocity, g).readOut = F::NameOnly;
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
    auto add = [&out](ControlKind kind, int image, Rect rect, int param, Menu menu = Menu::None,
                      int sound = -1) -> ControlEntry& {
        return out.emplace_back(ControlEntry{kind, image, rect, param, Group::None, menu, sound});
    };
    for (int i = 0; i < kit::kSoundCount; ++i) {
        const int x0 = kStripX0 + kStripPitch * i;
        add(ControlKind::Switch, image::kSoundTab, at(x0, 10), g::kShowSound + i, Menu::None, i).readOut = F::NameOnly;
        add(ControlKind::HSlider, image::kSoundVolumeSlider, at(x0 + 2, 36), g::kSoundVolume + i, Menu::None, i)
            .readOut = F::HalfPercent;
        add(ControlKind::Switch, image::kSoundOn, at(x0 + 67, 14), g::kSoundOn + i, Menu::None, i).readOut = F::Silent;
        add(ControlKind::Switch, image::kSolo, at(x0, 45), g::kSolo + i, Menu::None, i).readOut = F::OnOff;
        add(ControlKind::Switch, image::kMute, at(x0 + 39, 45), g::kMute + i, Menu::None, i).readOut = F::OnOff;
    }
    add(ControlKind::ReadOut, 0, kReadOutRect, -1);
    add(ControlKind::Selector, image::kLock, at(255, 525), g::kKeyboardMode, Menu::KeyboardMode).readOut = F::Silent;
    // Bound to parameter 0 for the framework's sake; the read-out of that
    // parameter is the oscillator 1 snap switch's.
    add(ControlKind::FileCommands, 0, kFileCommandsRect, 0).readOut = F::OnOff;
    add(ControlKind::Selector, image::kLock, at(255, -100), soundIndex(0, off::kPatch), Menu::Patch);
    for (int i = 0; i < kit::kSoundCount; ++i) add(ControlKind::NameField, 0, nameFieldRect(i), -1, Menu::None, i);
    for (const EnvelopeEntry& e : kEnvelopes)
        add(ControlKind::EnvelopeEditor, 0, e.editorRect, e.editorParam).readOut = F::ShapeHint;
    // Previous/next pairs in the table's order: hit, oscillator filter, noise 1
    // type, noise 1 filter, noise 2 type, noise 2 filter.
    struct PrevNext {
        int x, y, previousParam;
    };
    constexpr PrevNext kPrevNext[] = {{184, 174, layout::previousButtonOf(off::kHitType)},
                                      {279, 174, layout::previousButtonOf(off::kOscFilterType)},
                                      {45, 287, layout::previousButtonOf(off::kNoiseType)},
                                      {279, 287, layout::previousButtonOf(off::kNoiseFilterType)},
                                      {45, 400, layout::previousButtonOf(off::kNoise2Type)},
                                      {279, 400, layout::previousButtonOf(off::kNoiseFilterType + kN2)}};
    for (const PrevNext& p : kPrevNext) {
        add(ControlKind::Contact, image::kPrevNext, at(p.x, p.y), p.previousParam).readOut = F::Silent;
        add(ControlKind::Contact, image::kPrevNext, at(p.x + 13, p.y), p.previousParam + 1).readOut = F::Silent;
    }
    add(ControlKind::Keyboard, 0, kKeyboardRect, g::kKeyboard).readOut = F::KeyboardHint;
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
