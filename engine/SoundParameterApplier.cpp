// The parameter-change path of one sound: every offset of a sound's block
// converted once into the settings of its DrumSound, its voices, the
// smoother, the mixer strip or the key layout.

#include "engine/DrumEngine.h"
#include "engine/EngineLimits.h"

#include <cmath>

namespace kettrix::engine {

namespace {
// Envelope times: the 0..1 knob squared, up to five seconds.
double envelopeSeconds(double v) { return v * v * 5.0; }

// Whole steps of 1/120 (one semitone on the pitch scale), truncated.
double snappedPitch(double v) { return std::trunc(v * kPitchSteps) / kPitchSteps; }
}  // namespace

void DrumEngine::mirror(int index, double value) { host_.setControlValue(index, value); }

void DrumEngine::applySmoothed(int sound, int off, double value) { smoother_.setTarget(soundIndex(sound, off), value); }

void DrumEngine::applySoundParameter(int s, int off, double v) {
    if (s < 0 || s >= kSoundCount) return;
    DrumSound& sound = *sounds_[static_cast<unsigned>(s)];
    auto param = [&](int o) { return host_.paramValue(soundIndex(s, o)); };

    switch (off) {
        // Pitches, with optional snapping to whole notes.
        case offset::kOsc1Snap:
            applySoundParameter(s, offset::kOsc1Pitch, param(offset::kOsc1Pitch));
            return;
        case offset::kOsc2Snap:
            applySoundParameter(s, offset::kOsc2Pitch, param(offset::kOsc2Pitch));
            return;
        case offset::kOsc1Pitch:
            applySmoothed(s, off, param(offset::kOsc1Snap) > 0.0 ? snappedPitch(v) : v);
            return;
        case offset::kOsc2Pitch:
            applySmoothed(s, off, param(offset::kOsc2Snap) > 0.0 ? snappedPitch(v) : v);
            return;
        case offset::kOscFm:
            applySmoothed(s, off, v);
            sound.setOscFm(v);
            return;
        case offset::kOscCutoff:
        case offset::kOscResonance:
        case offset::kNoiseCutoff:
        case offset::kNoiseResonance:
        case offset::kNoiseCutoff + offset::kNoise2Shift:
        case offset::kNoiseResonance + offset::kNoise2Shift:
            applySmoothed(s, off, v);
            return;

        // Mirrored pairs: both members set the same value, then the other
        // member's control follows (and stops there, its value being equal).
        case offset::kOscVolDepth:
        case offset::kOscVolume:
            sound.oscVolumeLevel().depth = v;
            mirror(soundIndex(s, off == offset::kOscVolDepth ? offset::kOscVolume : offset::kOscVolDepth), v);
            return;
        case offset::kNoiseVolDepth:
        case offset::kNoise1Volume:
            sound.noiseVolumeLevel(1).depth = 2.0 * v;
            mirror(soundIndex(s, off == offset::kNoiseVolDepth ? offset::kNoise1Volume : offset::kNoiseVolDepth), v);
            return;
        case offset::kNoiseVolDepth + offset::kNoise2Shift:
        case offset::kNoise2Volume:
            sound.noiseVolumeLevel(2).depth = 2.0 * v;
            mirror(soundIndex(s, off == offset::kNoise2Volume ? offset::kNoiseVolDepth + offset::kNoise2Shift
                                                              : offset::kNoise2Volume),
                   v);
            return;
        case offset::kHitVolume:
        case offset::kHitVolumeMirror:
            // Scaled by the current oscillator voice's volume depth alone
            // (DrumSound::applyHitVolume).
            sound.setHitVolume(v);
            mirror(soundIndex(s, off == offset::kHitVolume ? offset::kHitVolumeMirror : offset::kHitVolume), v);
            return;
        case offset::kHitLowpass:
        case offset::kHitLowpassMirror:
            sound.hitLowpassLevel().depth = v;
            mirror(soundIndex(s, off == offset::kHitLowpass ? offset::kHitLowpassMirror : offset::kHitLowpass), v);
            return;

        // Velocity sensitivities, used at the next trigger.
        case offset::kOscVolVelocity:
            sound.oscVolumeLevel().sens = v;
            return;
        case offset::kOscModVelocity:
            // A sensitivity like the others, not a factor of the amount:
            // see DrumSound::updateModulationAmount.
            sound.oscModulationLevel().sens = v;
            sound.updateModulationAmount();
            return;
        case offset::kOscFilterVelocity:
            sound.oscFilterLevel().sens = v;
            return;
        case offset::kHitFilterVelocity:
            sound.hitLowpassLevel().sens = v;
            return;
        case offset::kNoise1VolVelocity:
            sound.noiseVolumeLevel(1).sens = v;
            return;
        case offset::kNoise1FilterVelocity:
            sound.noiseFilterLevel(1).sens = v;
            return;
        case offset::kNoise2VolVelocity:
            sound.noiseVolumeLevel(2).sens = v;
            return;
        case offset::kNoise2FilterVelocity:
            sound.noiseFilterLevel(2).sens = v;
            return;

        // Mixer strip.
        case offset::kPan:
            mixer_.strip(s).setPan(v);
            return;
        case offset::kVolume:
            mixer_.setSoundVolume(s, v);
            return;
        case offset::kChannel:
            mixer_.strip(s).setChannel(v);
            return;
        case offset::kOscOn:
            sound.setOscOn(v != 0.0);
            return;
        case offset::kNoise1On:
            sound.setNoiseOn(1, v != 0.0);
            return;
        case offset::kNoise2On:
            sound.setNoiseOn(2, v != 0.0);
            return;

        // Key ranges and choke.
        case offset::kKeyLo:
            layout_.keyLoChanged(s, v);
            return;
        case offset::kKeyHi:
            layout_.keyHiChanged(s, v);
            return;
        case offset::kUserKeyLo:
            layout_.userKeyLoChanged(s, v);
            return;
        case offset::kUserKeyHi:
            layout_.userKeyHiChanged(s, v);
            return;
        case offset::kChoke:
            sound.setChokeTarget(static_cast<int>(v) - 1);
            return;

        // Effect.
        case offset::kEffectAmount:
            sound.effect().setEffectAmount(v);
            return;
        case offset::kEffectType:
            sound.effect().setEffectType(static_cast<int>(v));
            return;

        default:
            break;
    }
    applyOscillator(sound, off, v);
    applyNoise(sound, off, v);
    applyHit(sound, off, v);
}

void DrumEngine::applyOscillator(DrumSound& sound, int off, double v) {
    switch (off) {
        case offset::kOsc1Type:
            sound.setOsc1Type(static_cast<int>(v));
            break;
        case offset::kOsc2Type:
            sound.setOsc2Type(static_cast<int>(v));
            break;
        case offset::kOscMix:
            sound.setOscMix(v);
            break;
        case offset::kOscModAttack:
            sound.setEnvelopeTime(SoundEnvelope::OscModulation, false, envelopeSeconds(v));
            break;
        case offset::kOscModRelease:
            sound.setEnvelopeTime(SoundEnvelope::OscModulation, true, envelopeSeconds(v));
            break;
        case offset::kOscModAttackType:
            sound.setEnvelopeShape(SoundEnvelope::OscModulation, false, static_cast<int>(v));
            break;
        case offset::kOscModReleaseType:
            sound.setEnvelopeShape(SoundEnvelope::OscModulation, true, static_cast<int>(v));
            break;
        case offset::kOscModDepth:
            // Also reaches sounding voices at once, through the velocity
            // rule of the last note (DrumSound::updateModulationAmount).
            sound.oscModulationLevel().depth = v;
            sound.updateModulationAmount();
            break;
        case offset::kOscModMode:
            sound.setEnvelopeMode(SoundEnvelope::OscModulation, static_cast<int>(v));
            break;
        case offset::kOscVolAttack:
            sound.setEnvelopeTime(SoundEnvelope::OscVolume, false, envelopeSeconds(v));
            break;
        case offset::kOscVolRelease:
            sound.setEnvelopeTime(SoundEnvelope::OscVolume, true, envelopeSeconds(v));
            break;
        case offset::kOscVolAttackType:
            sound.setEnvelopeShape(SoundEnvelope::OscVolume, false, static_cast<int>(v));
            break;
        case offset::kOscVolReleaseType:
            sound.setEnvelopeShape(SoundEnvelope::OscVolume, true, static_cast<int>(v));
            break;
        case offset::kOscVolMode:
            sound.setEnvelopeMode(SoundEnvelope::OscVolume, static_cast<int>(v));
            break;
        case offset::kOscFilterAttack:
            sound.setEnvelopeTime(SoundEnvelope::OscFilter, false, envelopeSeconds(v));
            break;
        case offset::kOscFilterRelease:
            sound.setEnvelopeTime(SoundEnvelope::OscFilter, true, envelopeSeconds(v));
            break;
        case offset::kOscFilterAttackType:
            sound.setEnvelopeShape(SoundEnvelope::OscFilter, false, static_cast<int>(v));
            break;
        case offset::kOscFilterReleaseType:
            sound.setEnvelopeShape(SoundEnvelope::OscFilter, true, static_cast<int>(v));
            break;
        case offset::kOscFilterDepth:
            sound.oscFilterLevel().depth = v;
            break;
        case offset::kOscFilterMode:
            sound.setEnvelopeMode(SoundEnvelope::OscFilter, static_cast<int>(v));
            break;
        case offset::kOscFilterType:
            sound.setOscFilterType(static_cast<int>(v));
            break;
        case offset::kOscFilterKeytrack:
            sound.setOscFilterKeytrack(v != 0.0);
            break;
        default:
            break;
    }
}

void DrumEngine::applyNoise(DrumSound& sound, int off, double v) {
    int section = 1;
    int base = off;
    if (off >= offset::kNoiseType + offset::kNoise2Shift && off <= offset::kNoiseFilterType + offset::kNoise2Shift) {
        section = 2;
        base = off - offset::kNoise2Shift;
    } else if (off < offset::kNoiseType || off > offset::kNoiseFilterType) {
        if (off == offset::kNoise1Color) sound.setNoiseColor(1, v);
        if (off == offset::kNoise2Color) sound.setNoiseColor(2, v);
        return;
    }
    const SoundEnvelope volume = section == 1 ? SoundEnvelope::Noise1Volume : SoundEnvelope::Noise2Volume;
    const SoundEnvelope filter = section == 1 ? SoundEnvelope::Noise1Filter : SoundEnvelope::Noise2Filter;
    switch (base) {
        case offset::kNoiseType:
            sound.setNoiseType(section, static_cast<int>(v));
            break;
        case offset::kNoiseRetrigger:
            sound.setNoiseRetrigger(section, static_cast<int>(v));
            break;
        case offset::kNoiseKeytrack:
            sound.setNoiseKeytrack(section, v != 0.0);
            break;
        case offset::kNoisePitch:
            sound.setNoisePitch(section, v);
            break;
        case offset::kNoiseStereo:
            sound.setNoiseStereo(section, v);
            break;
        case offset::kNoiseVolAttack:
            sound.setEnvelopeTime(volume, false, envelopeSeconds(v));
            break;
        case offset::kNoiseVolRelease:
            sound.setEnvelopeTime(volume, true, envelopeSeconds(v));
            break;
        case offset::kNoiseVolAttackType:
            sound.setEnvelopeShape(volume, false, static_cast<int>(v));
            break;
        case offset::kNoiseVolReleaseType:
            sound.setEnvelopeShape(volume, true, static_cast<int>(v));
            break;
        case offset::kNoiseVolMode:
            sound.setEnvelopeMode(volume, static_cast<int>(v));
            break;
        case offset::kNoiseFilterKeytrack:
            sound.setNoiseFilterKeytrack(section, v != 0.0);
            break;
        case offset::kNoiseFilterAttack:
            sound.setEnvelopeTime(filter, false, envelopeSeconds(v));
            break;
        case offset::kNoiseFilterRelease:
            sound.setEnvelopeTime(filter, true, envelopeSeconds(v));
            break;
        case offset::kNoiseFilterAttackType:
            sound.setEnvelopeShape(filter, false, static_cast<int>(v));
            break;
        case offset::kNoiseFilterReleaseType:
            sound.setEnvelopeShape(filter, true, static_cast<int>(v));
            break;
        case offset::kNoiseFilterDepth:
            sound.noiseFilterLevel(section).depth = v;
            break;
        case offset::kNoiseFilterMode:
            sound.setEnvelopeMode(filter, static_cast<int>(v));
            break;
        case offset::kNoiseFilterType:
            sound.setNoiseFilterType(section, static_cast<int>(v));
            break;
        default:
            break;  // volume depth, cutoff and resonance are handled above
    }
}

void DrumEngine::applyHit(DrumSound& sound, int off, double v) {
    switch (off) {
        case offset::kHitType:
            sound.setHitType(static_cast<int>(v));
            break;
        case offset::kHitModDecay:
            sound.setHitModulationDecay(v);
            break;
        default:
            break;
    }
}

}  // namespace kettrix::engine
