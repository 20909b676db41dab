#include "GoldenKits.h"

#include "engine/EngineLimits.h"
#include "kit/ParameterTable.h"

#include <algorithm>
#include <cmath>

namespace kettrix::golden {

namespace o = engine::offset;
using engine::kSoundCount;
using engine::soundIndex;

namespace {

constexpr int kFirstKey = 30;

double maxOf(int index) { return kit::parameterInfo(index).max; }

void setSound(AEffect* e, int sound, int off, double plain) { setPlain(e, soundIndex(sound, off), plain); }

void setDefaults(AEffect* e) {
    for (int index = 0; index < kit::kParameterCount; ++index) {
        const kit::ParamInfo& info = kit::parameterInfo(index);
        if (info.kind == kit::ParamKind::None) continue;
        setPlain(e, index, info.defaultValue);
    }
}

// Patch key layout, each sound on its own three keys, nothing muted.
void setKeysAndMixer(AEffect* e) {
    setPlain(e, kit::global::kKeyboardMode, 0.0);
    for (int s = 0; s < kSoundCount; ++s) {
        setSound(e, s, o::kKeyLo, soundKey(s));
        setSound(e, s, o::kKeyHi, soundKey(s) + 2);
        setPlain(e, kit::global::kMute + s, 0.0);
        setPlain(e, kit::global::kSolo + s, 0.0);
        // The table's default of 0 would leave a loaded copy of the kit silent.
        setPlain(e, kit::global::kSoundVolume + s, 1.0);
    }
}

void worstCase(AEffect* e) {
    for (int s = 0; s < kSoundCount; ++s) {
        setSound(e, s, o::kOsc1Type, 6);
        setSound(e, s, o::kOsc2Type, 5);
        setSound(e, s, o::kOscFm, 0.4);
        setSound(e, s, o::kOscFilterType, 12);
        setSound(e, s, o::kOscCutoff, 0.7);
        setSound(e, s, o::kOscVolRelease, 0.6);
        setSound(e, s, o::kOscModDepth, 0.3);
        setSound(e, s, o::kOscFilterDepth, 0.3);
        for (int shift : {0, o::kNoise2Shift}) {
            setSound(e, s, o::kNoiseType + shift, 5 + s);
            setSound(e, s, o::kNoiseStereo + shift, 1.0);
            setSound(e, s, o::kNoiseVolRelease + shift, 0.6);
            setSound(e, s, o::kNoiseFilterType + shift, 3);
            setSound(e, s, o::kNoiseCutoff + shift, 0.6);
            setSound(e, s, o::kNoiseFilterDepth + shift, 0.2);
        }
        setSound(e, s, o::kHitType, 18);
        setSound(e, s, o::kEffectType, 2);
        setSound(e, s, o::kEffectAmount, 0.3);
        setSound(e, s, o::kOscOn, 1);
        setSound(e, s, o::kNoise1On, 1);
        setSound(e, s, o::kNoise2On, 1);
        setSound(e, s, o::kChannel, s % 6);
    }
}

// Spreads the types of every section over the sounds; `half` picks which
// half of the noise types and oscillator modes this kit carries.
void spread(AEffect* e, int half) {
    const int noiseTypes = static_cast<int>(maxOf(soundIndex(0, o::kNoiseType))) + 1;  // 40
    const int oscModes = static_cast<int>(maxOf(soundIndex(0, o::kOsc1Type))) + 1;
    const int filterTypes = static_cast<int>(maxOf(soundIndex(0, o::kOscFilterType))) + 1;
    const int hitTypes = static_cast<int>(maxOf(soundIndex(0, o::kHitType))) + 1;
    const int effectTypes = static_cast<int>(maxOf(soundIndex(0, o::kEffectType))) + 1;
    for (int s = 0; s < kSoundCount; ++s) {
        const int n = 2 * s + half * 2 * kSoundCount;
        setSound(e, s, o::kOsc1Type, (2 * s + half) % oscModes);
        setSound(e, s, o::kOsc2Type, (2 * s + 1 + half * 5) % oscModes);
        setSound(e, s, o::kOscMix, 0.1 * s);
        setSound(e, s, o::kOscFm, 0.05 * s);
        setSound(e, s, o::kOscFilterType, (s + half * kSoundCount) % filterTypes);
        setSound(e, s, o::kOscCutoff, 0.3 + 0.05 * s);
        setSound(e, s, o::kOscResonance, 0.1 * (s % 8));
        setSound(e, s, o::kOscVolRelease, 0.2 + 0.03 * s);
        setSound(e, s, o::kOscFilterDepth, 0.4);
        setSound(e, s, o::kOscModDepth, 0.2);
        setSound(e, s, o::kOscFilterKeytrack, s % 2);
        for (int section = 0; section < 2; ++section) {
            const int shift = section * o::kNoise2Shift;
            setSound(e, s, o::kNoiseType + shift, (n + section) % noiseTypes);
            setSound(e, s, o::kNoiseStereo + shift, (s + section) % 3 * 0.5);
            setSound(e, s, o::kNoisePitch + shift, 0.3 + 0.04 * s);
            setSound(e, s, o::kNoiseKeytrack + shift, section);
            setSound(e, s, o::kNoiseRetrigger + shift, s % 2);
            setSound(e, s, o::kNoiseVolRelease + shift, 0.25);
            setSound(e, s, o::kNoiseFilterType + shift, (2 * s + section + half * 3) % filterTypes);
            setSound(e, s, o::kNoiseCutoff + shift, 0.4 + 0.05 * s);
            setSound(e, s, o::kNoiseResonance + shift, 0.05 * s);
            setSound(e, s, o::kNoiseFilterDepth + shift, 0.3);
        }
        setSound(e, s, o::kNoise1Color, 0.1 * s);
        setSound(e, s, o::kNoise2Color, 1.0 - 0.1 * s);
        setSound(e, s, o::kHitType, (s + half * kSoundCount) % hitTypes);
        setSound(e, s, o::kHitVolume, 0.8);
        setSound(e, s, o::kHitModDecay, 0.1 * s);
        setSound(e, s, o::kEffectType, (s + half) % effectTypes);
        setSound(e, s, o::kEffectAmount, 0.1 + 0.08 * s);
        setSound(e, s, o::kOscOn, s != 9 ? 1 : 0);
        setSound(e, s, o::kNoise1On, s % 3 != 2 ? 1 : 0);
        setSound(e, s, o::kNoise2On, s % 4 != 3 ? 1 : 0);
        setSound(e, s, o::kPan, 0.1 * s);
        setSound(e, s, o::kChannel, s % 6);
        // Sound 3 cuts sound 4 off, sound 7 cuts sound 2.
        if (s == 3) setSound(e, s, o::kChoke, 5);
        if (s == 7) setSound(e, s, o::kChoke, 3);
    }
}

// Every per-sound parameter drawn at random; keys, channels and volumes are
// set afterwards so that every sound can be played and heard.
void randomKit(AEffect* e, std::uint32_t seed) {
    Lcg random{seed};
    for (int s = 0; s < kSoundCount; ++s)
        for (int off = 0; off < engine::kSoundBlockSize; ++off) {
            const int index = soundIndex(s, off);
            if (kit::parameterInfo(index).kind == kit::ParamKind::None) {
                random.next();
                continue;
            }
            e->setParameter(e, index, static_cast<float>(random.unit()));
        }
    for (int s = 0; s < kSoundCount; ++s) {
        setSound(e, s, o::kVolume, 0.5 + 0.05 * s);
        setSound(e, s, o::kOscVolRelease, 0.05 + 0.5 * random.unit());
        setSound(e, s, o::kNoiseVolRelease, 0.05 + 0.5 * random.unit());
        setSound(e, s, o::kNoiseVolRelease + o::kNoise2Shift, 0.05 + 0.5 * random.unit());
    }
}

}  // namespace

std::string kitName(KitKind kind) {
    switch (kind) {
        case KitKind::WorstCase:
            return "worst";
        case KitKind::SpreadA:
            return "spreadA";
        case KitKind::SpreadB:
            return "spreadB";
        case KitKind::Random1:
            return "random1";
        case KitKind::Random2:
            return "random2";
    }
    return "?";
}

int soundKey(int sound) { return kFirstKey + 3 * sound; }

void setPlain(AEffect* effect, int index, double plain) {
    const kit::ParamInfo& info = kit::parameterInfo(index);
    const double span = info.max - info.min;
    const double normalized = span > 0.0 ? std::clamp((plain - info.min) / span, 0.0, 1.0) : 0.0;
    effect->setParameter(effect, index, static_cast<float>(normalized));
}

void buildKit(AEffect* effect, KitKind kind) {
    setDefaults(effect);
    switch (kind) {
        case KitKind::WorstCase:
            worstCase(effect);
            break;
        case KitKind::SpreadA:
            spread(effect, 0);
            break;
        case KitKind::SpreadB:
            spread(effect, 1);
            break;
        case KitKind::Random1:
            randomKit(effect, 0x5EED0001u);
            break;
        case KitKind::Random2:
            randomKit(effect, 0x5EED0002u);
            break;
    }
    setKeysAndMixer(effect);
}

}  // namespace kettrix::golden
