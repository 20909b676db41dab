// Where every parameter sits: ten blocks of 132 per-sound parameters, then the
// global ones. The kit model, the engine and the plug-in class all address
// settings through these names, and saved kits store their values in this
// order, so this header is the only place an index is written down.
#pragma once

namespace kettrix::layout {

inline constexpr int kSoundCount = 10;
inline constexpr int kSoundBlockSize = 132;
inline constexpr int kFirstGlobalIndex = kSoundCount * kSoundBlockSize;  // 1320
inline constexpr int kParameterCount = 1393;

// Index of the parameter at offset `off` of `sound`'s block.
constexpr int soundIndex(int sound, int off) { return sound * kSoundBlockSize + off; }
constexpr bool isSoundParameter(int index) { return index >= 0 && index < kFirstGlobalIndex; }

// Offsets within a sound's block. Offsets not named here are read by no
// code outside the parameter table.
namespace offset {
inline constexpr int kOsc1Snap = 0;
// The envelope editors' own parameters, defined in sound 0's block only.
inline constexpr int kOscVolEnvelope = 1;
inline constexpr int kOscModEnvelope = 2;
inline constexpr int kOscFilterEnvelope = 3;
// The envelope view tabs, one switch per envelope.
inline constexpr int kOscVolTab = 4;
inline constexpr int kOscModTab = 5;
inline constexpr int kOscFilterTab = 6;
inline constexpr int kNoise1VolTab = 7;
inline constexpr int kNoise1FilterTab = 8;
inline constexpr int kNoise2VolTab = 9;
inline constexpr int kNoise2FilterTab = 10;
inline constexpr int kOsc1Pitch = 11;
inline constexpr int kOsc1Type = 12;
inline constexpr int kOsc2Pitch = 13;
inline constexpr int kOsc2Type = 14;
inline constexpr int kOscMix = 15;
inline constexpr int kOscFm = 16;
inline constexpr int kHitVolume = 17;
inline constexpr int kHitLowpass = 18;
inline constexpr int kHitType = 19;
inline constexpr int kOscModAttack = 20;
inline constexpr int kOscModRelease = 21;
inline constexpr int kOscModAttackType = 22;
inline constexpr int kOscModReleaseType = 23;
inline constexpr int kOscModDepth = 24;
inline constexpr int kOscModMode = 25;
inline constexpr int kOscVolAttack = 26;
inline constexpr int kOscVolRelease = 27;
inline constexpr int kOscVolAttackType = 28;
inline constexpr int kOscVolReleaseType = 29;
inline constexpr int kOscVolDepth = 30;
inline constexpr int kOscVolMode = 31;
inline constexpr int kOscCutoff = 32;
inline constexpr int kOscResonance = 33;
inline constexpr int kOscFilterAttack = 34;
inline constexpr int kOscFilterRelease = 35;
inline constexpr int kOscFilterAttackType = 36;
inline constexpr int kOscFilterReleaseType = 37;
inline constexpr int kOscFilterDepth = 38;
inline constexpr int kOscFilterMode = 39;
inline constexpr int kOscFilterType = 40;
inline constexpr int kOscFilterKeytrack = 41;
inline constexpr int kOsc2Snap = 44;

// Noise 1 block; noise 2 uses the same layout shifted by kNoise2Shift, except
// its colour, which sits elsewhere.
inline constexpr int kNoiseType = 46;
inline constexpr int kNoiseRetrigger = 47;
inline constexpr int kNoiseKeytrack = 48;
inline constexpr int kNoisePitch = 49;
inline constexpr int kNoiseStereo = 50;
inline constexpr int kNoiseVolAttack = 51;
inline constexpr int kNoiseVolRelease = 52;
inline constexpr int kNoiseVolAttackType = 53;
inline constexpr int kNoiseVolReleaseType = 54;
inline constexpr int kNoiseVolDepth = 55;
inline constexpr int kNoiseVolMode = 56;
inline constexpr int kNoiseCutoff = 59;
inline constexpr int kNoiseResonance = 60;
inline constexpr int kNoiseFilterKeytrack = 61;
inline constexpr int kNoiseFilterAttack = 62;
inline constexpr int kNoiseFilterRelease = 63;
inline constexpr int kNoiseFilterAttackType = 64;
inline constexpr int kNoiseFilterReleaseType = 65;
inline constexpr int kNoiseFilterDepth = 66;
inline constexpr int kNoiseFilterMode = 67;
inline constexpr int kNoiseFilterType = 68;
inline constexpr int kNoiseVolEnvelope = 57;     // sound 0 only, as the oscillator's
inline constexpr int kNoiseFilterEnvelope = 58;  // sound 0 only
inline constexpr int kNoise1Color = 71;
inline constexpr int kNoise2Color = 97;
inline constexpr int kNoise2Shift = 26;
inline constexpr int kNoise2Type = kNoiseType + kNoise2Shift;          // 72
inline constexpr int kNoise2VolDepth = kNoiseVolDepth + kNoise2Shift;  // 81

// Reserved slots that carry a backdrop or spare control in the editor.
inline constexpr int kHitPanel = 69;        // the hit generator panel's backdrop
inline constexpr int kVelocityPage = 104;   // the velocity page's backdrop
inline constexpr int kPageTabsSpare = 114;  // an invisible switch among the page tabs
inline constexpr int kReservedBeforeKeys = 119;

inline constexpr int kHitVolumeMirror = 70;
inline constexpr int kHitLowpassMirror = 96;
inline constexpr int kOscVolume = 98;      // mirrors kOscVolDepth
inline constexpr int kNoise1Volume = 99;   // mirrors noise 1 volume depth
inline constexpr int kNoise2Volume = 100;  // mirrors noise 2 volume depth
inline constexpr int kPan = 101;
inline constexpr int kVolume = 102;
inline constexpr int kChannel = 103;
inline constexpr int kOscVolVelocity = 105;
inline constexpr int kOscModVelocity = 106;
inline constexpr int kOscFilterVelocity = 107;
inline constexpr int kHitFilterVelocity = 108;
inline constexpr int kNoise1VolVelocity = 109;
inline constexpr int kNoise1FilterVelocity = 110;
inline constexpr int kNoise2VolVelocity = 111;
inline constexpr int kNoise2FilterVelocity = 112;
inline constexpr int kShowMixer = 115;
inline constexpr int kShowVelocity = 116;
inline constexpr int kHitModDecay = 118;
inline constexpr int kKeyLo = 120;
inline constexpr int kKeyHi = 121;
inline constexpr int kEffectAmount = 123;
inline constexpr int kEffectType = 124;
inline constexpr int kPatch = 125;  // sound 0 only; reserved in the other sounds
inline constexpr int kUserKeyLo = 126;
inline constexpr int kUserKeyHi = 127;
inline constexpr int kChoke = 128;
inline constexpr int kOscOn = 129;  // "Osc mute": 1 lets the section play
inline constexpr int kNoise1On = 130;
inline constexpr int kNoise2On = 131;
}  // namespace offset

// Global indices (1320 and up). "+ sound" marks the first of ten, one per sound.
namespace global {
inline constexpr int kReserved = 1320;
inline constexpr int kShowSound = 1321;    // + sound
inline constexpr int kSoundOn = 1331;      // + sound: the activity lamp
inline constexpr int kMute = 1341;         // + sound
inline constexpr int kSolo = 1351;         // + sound
inline constexpr int kSoundVolume = 1361;  // + sound: the mixer fader
inline constexpr int kKeyboardMode = 1371;
inline constexpr int kKeyboard = 1372;
inline constexpr int kFirstSelectorButton = 1373;
inline constexpr int kLastSelectorButton = 1384;
inline constexpr int kParameterReadout = 1385;
// Pseudo-index delivered to the dispatch when a sound name was edited.
inline constexpr int kSoundNameEdited = 999999;
}  // namespace global

// The selectors the previous/next buttons step, in button order: selector k
// has the buttons kFirstSelectorButton + 2k (previous) and + 2k + 1 (next).
inline constexpr int kSteppedSelectors[] = {offset::kNoiseType,       offset::kNoise2Type,
                                            offset::kHitType,         offset::kOscFilterType,
                                            offset::kNoiseFilterType, offset::kNoiseFilterType + offset::kNoise2Shift};
inline constexpr int kSteppedSelectorCount = static_cast<int>(sizeof kSteppedSelectors / sizeof kSteppedSelectors[0]);

// The previous button of the stepped selector at `off` (-1 when it has none).
constexpr int previousButtonOf(int off) {
    for (int k = 0; k < kSteppedSelectorCount; ++k)
        if (kSteppedSelectors[k] == off) return global::kFirstSelectorButton + 2 * k;
    return -1;
}

static_assert(global::kReserved == kFirstGlobalIndex, "the globals follow the last sound's block");
static_assert(global::kShowSound + kSoundCount == global::kSoundOn && global::kSoundOn + kSoundCount == global::kMute &&
                  global::kMute + kSoundCount == global::kSolo && global::kSolo + kSoundCount == global::kSoundVolume &&
                  global::kSoundVolume + kSoundCount == global::kKeyboardMode,
              "one global of each per-sound kind for every sound, back to back");
static_assert(offset::kNoise2On < kSoundBlockSize);
static_assert(global::kFirstSelectorButton + 2 * kSteppedSelectorCount - 1 == global::kLastSelectorButton,
              "two buttons for every stepped selector");

}  // namespace kettrix::layout
