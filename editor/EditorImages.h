// The editor's images: every PNG resource the editor loads, with the name it
// is loaded under and the frame count that cuts it into control states.
#pragma once

#include <span>

namespace kettrix::editor {

struct ImageEntry {
    int id;
    const char* name;
    int width;
    int height;
    int frames;
};

// Resource ids, named after what uses them.
namespace image {
inline constexpr int kKnob = 101;
inline constexpr int kBackground = 102;
inline constexpr int kEnvelopeMode = 104;
inline constexpr int kButton = 105;
inline constexpr int kSnap = 106;
inline constexpr int kKnobSmall = 107;
inline constexpr int kNoiseType = 108;
inline constexpr int kEffectAmountSlider = 109;
inline constexpr int kEffectType = 110;
inline constexpr int kChoke = 111;
inline constexpr int kSectionMute = 112;
inline constexpr int kLock = 113;
inline constexpr int kMute = 114;
inline constexpr int kSolo = 115;
inline constexpr int kSoundTab = 116;
inline constexpr int kMenuLarge = 117;
inline constexpr int kMenuItem = 118;
inline constexpr int kMenuSmall = 119;
inline constexpr int kSoundVolumeSlider69 = 125;  // same picture as 139, loaded but unused
inline constexpr int kSoundOn = 126;
inline constexpr int kVelocityBackdrop = 127;
inline constexpr int kEnvelopeVolumeTab = 128;
inline constexpr int kEnvelopeModulationTab = 129;
inline constexpr int kEnvelopeFilterTab = 130;
inline constexpr int kVelocityTab = 132;
inline constexpr int kHitPanel = 133;
inline constexpr int kWhiteKey = 134;
inline constexpr int kBlackKey = 135;
inline constexpr int kKeytrack = 136;
inline constexpr int kEffectsTab = 137;
inline constexpr int kEnvelopeSlider = 138;
inline constexpr int kSoundVolumeSlider = 139;
inline constexpr int kPrevNext = 142;
inline constexpr int kOscillatorType = 143;
inline constexpr int kFilterType = 144;
inline constexpr int kHitType = 145;
inline constexpr int kAttackVolume = 146;
inline constexpr int kAttackModulation = 147;
inline constexpr int kRelease = 148;
inline constexpr int kOutput = 149;
inline constexpr int kZoom = 150;  // one frame per zoom, in zoom::kPercents order
}  // namespace image

// Every image the editor loads, in loading order (the background first).
std::span<const ImageEntry> editorImages();

// The entry of `id`, or nullptr when the editor does not load it.
const ImageEntry* findImage(int id);

}  // namespace kettrix::editor
