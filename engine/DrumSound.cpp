#include "engine/DrumSound.h"

#include "engine/ActiveSoundList.h"
#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"
#include "engine/Mixer.h"
#include "engine/NoteRouter.h"
#include "engine/SoundBanks.h"

#include <cmath>

namespace kettrix::engine {

namespace {
// The activity lamp stays lit for this many blocks after a trigger.
constexpr int kIndicatorBlocks = 10;
// The hit generator borrows the second wavetable set.
constexpr int kHitGeneratorTableSet = 1;

unsigned at(int section) { return static_cast<unsigned>(section - 1); }
}  // namespace

DrumSound::DrumSound(int soundIndex, double sampleRate, const SoundBanks& banks, NoteRouter& router,
                     ActiveSoundList& active, MixStrip& strip, EngineHost& host)
    : soundIndex_(soundIndex),
      banks_(banks),
      router_(router),
      active_(active),
      strip_(strip),
      host_(host),
      osc_{OscillatorVoice(sampleRate, banks.wavetables), OscillatorVoice(sampleRate, banks.wavetables)},
      noise1_{NoiseVoice(sampleRate), NoiseVoice(sampleRate)},
      noise2_{NoiseVoice(sampleRate), NoiseVoice(sampleRate)},
      hit_{HitVoice(sampleRate), HitVoice(sampleRate)},
      effect_(sampleRate) {
    for (HitVoice& voice : hit_) voice.setGeneratorTables(banks_.wavetables.set(kHitGeneratorTableSet));
}

DrumSound::~DrumSound() = default;

void DrumSound::rebuild(double sampleRate) {
    for (auto& voice : osc_) voice = OscillatorVoice(sampleRate, banks_.wavetables);
    for (auto* section : {&noise1_, &noise2_})
        for (auto& voice : *section) voice = NoiseVoice(sampleRate);
    for (auto& voice : hit_) {
        voice = HitVoice(sampleRate);
        voice.setGeneratorTables(banks_.wavetables.set(kHitGeneratorTableSet));
    }
    effect_ = SoundEffect(sampleRate);
}

void DrumSound::stop() noexcept {
    sounding_ = 0;
    gateState_ = 0;
    active_.markInactive(soundIndex_);
}

double DrumSound::velocityLevel(const VelocityDepth& level) const noexcept {
    const SoundTrigger& t = router_.trigger(soundIndex_);
    if (t.chokeRestart) return 0.0;
    return level.depth * (level.sens * t.velocity + (1.0 - level.sens));
}

// --- Rendering ---------------------------------------------------------------

void DrumSound::renderNoise(NoiseVoices& voices, const double* cutoff, double cutoffKey, const double* resonance,
                            int frames, double* left, double* right) noexcept {
    NoiseVoice& current = voices[static_cast<unsigned>(currentVoice_)];
    if (!current.active) return;
    current.render(cutoff, cutoffKey, resonance, frames, left, right);
    // The fading voice goes inactive when its tail ends, possibly mid-run.
    voices[static_cast<unsigned>(previousVoice_)].renderTail(frames, left, right);
}

void DrumSound::renderHitAndOscillator(HitVoice& hit, OscillatorVoice& osc, const SoundRunInputs& in, int frames,
                                       double* left, double* right) noexcept {
    // An "Analog" hit sample holds the oscillator back until it ends; the
    // gate is read after each hit sample.
    std::array<std::uint8_t, kMaxRun> oscGate;
    hit.setLevel(hitLevel_);
    for (int k = 0; k < frames; ++k) {
        left[k] = right[k] = hit.tick();  // the hit is mono
        oscGate[static_cast<unsigned>(k)] = hit.oscillatorGateOpen() ? 1 : 0;
    }
    if (!osc.active) return;
    // The voice plays over each stretch of the run with the gate open.
    std::array<double, kMaxRun> x;
    for (int k = 0; k < frames;) {
        if (!oscGate[static_cast<unsigned>(k)]) {
            x[static_cast<unsigned>(k++)] = 0.0;
            continue;
        }
        int end = k + 1;
        while (end < frames && oscGate[static_cast<unsigned>(end)]) ++end;
        osc.render(in.osc1Pitch + k, in.osc2Pitch + k, in.oscCutoff + k, oscFilterKey_, in.oscResonance + k,
                   in.fmAmount + k, end - k, x.data() + k);
        k = end;
    }
    osc_[static_cast<unsigned>(previousVoice_)].renderTail(frames, x.data());
    for (int k = 0; k < frames; ++k) {
        left[k] += x[static_cast<unsigned>(k)];
        right[k] += x[static_cast<unsigned>(k)];
    }
}

void DrumSound::render(bool gate, const SoundRunInputs& in, int frames, double* left, double* right, double* mixLeft,
                       double* mixRight) noexcept {
    if (gate && !gateState_)
        trigger(in.oscCutoff[0], in.oscResonance[0], in.fmAmount[0], in.noise1Cutoff[0], in.noise1Resonance[0],
                in.noise2Cutoff[0], in.noise2Resonance[0]);
    else if (!gate && gateState_)
        release();

    // Section by section over the run; each sample's sum is built in the
    // order of the sections below, as one sample at a time would build it.
    HitVoice& hit = hit_[static_cast<unsigned>(currentVoice_)];
    OscillatorVoice& osc = osc_[static_cast<unsigned>(currentVoice_)];
    if (hit.playing) {
        renderHitAndOscillator(hit, osc, in, frames, left, right);
    } else if (osc.active) {
        // Without hit ticks nothing moves the oscillator's gate: it stays
        // open or shut for the whole run. The sum starts from the silent hit.
        if (hit.oscillatorGateOpen())
            osc.render(in.osc1Pitch, in.osc2Pitch, in.oscCutoff, oscFilterKey_, in.oscResonance, in.fmAmount, frames,
                       left);
        else
            std::fill(left, left + frames, 0.0);
        osc_[static_cast<unsigned>(previousVoice_)].renderTail(frames, left);
        for (int k = 0; k < frames; ++k) {
            left[k] = 0.0 + left[k];
            right[k] = left[k];
        }
    } else {
        std::fill(left, left + frames, 0.0);
        std::fill(right, right + frames, 0.0);
    }

    renderNoise(noise1_, in.noise1Cutoff, noise_[0].filterKey, in.noise1Resonance, frames, left, right);
    renderNoise(noise2_, in.noise2Cutoff, noise_[1].filterKey, in.noise2Resonance, frames, left, right);

    if (effect_.enabled()) effect_.processRun(left, right, frames);
    // The strip's gains as each sample joins the mix: the product is rounded
    // before the sum, as a separate pass over the run would round it.
    const double gainL = strip_.gainL;
    const double gainR = strip_.gainR;
    for (int k = 0; k < frames; ++k) {
        mixLeft[k] += left[k] * gainL;
        mixRight[k] += right[k] * gainR;
    }
}

// --- Trigger and release -------------------------------------------------------

void DrumSound::trigger(double oscCutoff, double oscResonance, double fmAmount, double noise1Cutoff,
                        double noise1Resonance, double noise2Cutoff, double noise2Resonance) noexcept {
    gateState_ = 1;
    // The voices about to become the previous ones keep the settings they
    // were playing with, still with the old note's key tracking.
    const auto leaving = static_cast<unsigned>(currentVoice_);
    OscillatorVoice& osc = osc_[leaving];
    osc.tailCutoff = oscCutoff + oscFilterKey_;
    osc.tailResonance = oscResonance;
    osc.tailFm = fmAmount;
    osc.modOut = 0.0;
    osc.filterOut = 0.0;
    noise1_[leaving].tailCutoff = noise1Cutoff + noise_[0].filterKey;
    noise1_[leaving].tailResonance = noise1Resonance;
    noise2_[leaving].tailCutoff = noise2Cutoff + noise_[1].filterKey;
    noise2_[leaving].tailResonance = noise2Resonance;

    previousVoice_ = currentVoice_;
    currentVoice_ = (currentVoice_ + 1) % kVoicesPerSound;
    startVoice();

    const auto cur = static_cast<unsigned>(currentVoice_);
    auto mode = [this](SoundEnvelope e) { return envelopeModes_[static_cast<unsigned>(e)]; };
    noise1_[cur].setEnvelopeModes(mode(SoundEnvelope::Noise1Volume), mode(SoundEnvelope::Noise1Filter));
    noise2_[cur].setEnvelopeModes(mode(SoundEnvelope::Noise2Volume), mode(SoundEnvelope::Noise2Filter));
    osc_[cur].setEnvelopeModes(mode(SoundEnvelope::OscVolume), mode(SoundEnvelope::OscModulation),
                               mode(SoundEnvelope::OscFilter));

    if (oscOn_) osc_[cur].start();
    if (noise_[0].on) noise1_[cur].start();
    if (noise_[1].on) noise2_[cur].start();
    // The hit belongs to the oscillator section: silent while it is off.
    HitVoice& hit = hit_[cur];
    if (oscOn_ && hit.enabled) {
        hit.selectMode();
        hit.start();
    }
}

void DrumSound::startNoise(int section) noexcept {
    NoiseSettings& settings = noise_[at(section)];
    NoiseVoice& voice = noiseVoices(section)[static_cast<unsigned>(currentVoice_)];
    voice.setKey(settings.keytrack ? kPitchSteps * keyOffset_ : 0.0);
    voice.setPitch(settings.pitch);
    voice.keyValue = keyOffset_;
}

void DrumSound::startVoice() noexcept {
    const SoundTrigger& t = router_.trigger(soundIndex_);
    // A choke restart arrives with velocity 0 and so never chokes in turn.
    if (chokeTarget_ != -1 && t.velocity > 0.0) router_.choke(chokeTarget_);

    sounding_ = 1;
    blocksSinceTrigger_ = 0;
    keyOffset_ = t.keyOffset;
    velocity_ = t.velocity;
    const auto cur = static_cast<unsigned>(currentVoice_);
    OscillatorVoice& osc = osc_[cur];
    osc.keyValue = keyOffset_;

    osc.volDepth = velocityLevel(oscVolume_);
    osc.modDepth = velocityLevel(oscModulation_);
    osc.filterDepth = velocityLevel(oscFilter_);
    noise1_[cur].volDepth = velocityLevel(noise1Volume_);
    noise1_[cur].filterDepth = velocityLevel(noise1Filter_);
    noise2_[cur].volDepth = velocityLevel(noise2Volume_);
    noise2_[cur].filterDepth = velocityLevel(noise2Filter_);
    hitLevel_ = velocityLevel(hitLowpass_);

    startNoise(1);
    startNoise(2);

    effect_.startDip();
    applyHitVolume();  // follows the new current oscillator voice's level

    oscFilterKey_ = oscFilterKeytrack_ ? keyOffset_ : 0.0;
    for (NoiseSettings& n : noise_) n.filterKey = n.filterKeytrack ? keyOffset_ : 0.0;
}

void DrumSound::release() noexcept {
    gateState_ = 0;
    // Mode 0 lets a held envelope run its release; the previous voices are
    // left alone.
    const auto cur = static_cast<unsigned>(currentVoice_);
    osc_[cur].setEnvelopeModes(kModeTrigger, kModeTrigger, kModeTrigger);
    noise1_[cur].setEnvelopeModes(kModeTrigger, kModeTrigger);
    noise2_[cur].setEnvelopeModes(kModeTrigger, kModeTrigger);
}

void DrumSound::endOfBlock() noexcept {
    if (blocksSinceTrigger_ > kIndicatorBlocks) host_.setActivityIndicator(soundIndex_, 0.0);
    ++blocksSinceTrigger_;

    sounding_ = 0;
    for (unsigned v = 0; v < kVoicesPerSound; ++v) {
        // Every voice updates its flags, even once the sound is known to sound.
        const bool osc = osc_[v].updateActive() != 0;
        const bool noise1 = noise1_[v].updateActive() != 0;
        const bool noise2 = noise2_[v].updateActive() != 0;
        const bool hit = hit_[v].updateActive() != 0;
        if (osc || noise1 || noise2 || hit) sounding_ = 1;
    }

    // A choke restart only exists to cut the sound at this block boundary.
    if (router_.trigger(soundIndex_).chokeRestart) sounding_ = 0;
    if (sounding_) return;
    gateState_ = 0;
    active_.markInactive(soundIndex_);
}

// --- Settings --------------------------------------------------------------

void DrumSound::updateModulationAmount() {
    // Acts on sounding voices as well; the amount follows the velocity rule
    // of the trigger with the velocity of the last note: depth x (sens x
    // velocity + 1 - sens), as every other depth. "Osc modulation velocity"
    // is that sens, not a factor of the amount: at its default 0 the full
    // depth applies whatever the velocity, at 1 the amount is depth x
    // velocity. Reading it as amount = depth x sensitivity would silence the
    // modulation of every sound left at the default, factory kits included.
    const double sens = oscModulation_.sens;
    const double amount =
        router_.trigger(soundIndex_).chokeRestart ? 0.0 : oscModulation_.depth * (sens * velocity_ + (1.0 - sens));
    for (auto& voice : osc_) {
        voice.modDepth = amount;
        voice.modulation.attack.depth = amount;
        voice.modulation.release.depth = amount;
    }
}

void DrumSound::setEnvelopeMode(SoundEnvelope envelope, int mode) {
    envelopeModes_[static_cast<unsigned>(envelope)] = mode;
    for (unsigned v = 0; v < kVoicesPerSound; ++v) {
        switch (envelope) {
            case SoundEnvelope::OscVolume:
                osc_[v].volume.mode = mode;
                break;
            case SoundEnvelope::OscModulation:
                osc_[v].modulation.mode = mode;
                break;
            case SoundEnvelope::OscFilter:
                osc_[v].filterEnv.mode = mode;
                break;
            case SoundEnvelope::Noise1Volume:
                noise1_[v].volume.mode = mode;
                break;
            case SoundEnvelope::Noise1Filter:
                noise1_[v].filterEnv.mode = mode;
                break;
            case SoundEnvelope::Noise2Volume:
                noise2_[v].volume.mode = mode;
                break;
            case SoundEnvelope::Noise2Filter:
                noise2_[v].filterEnv.mode = mode;
                break;
            case SoundEnvelope::Count:
                break;
        }
    }
}

void DrumSound::setOscOn(bool on) {
    oscOn_ = on ? 1 : 0;
    if (!on)
        for (auto& voice : osc_) voice.volume.stop();
}

void DrumSound::setOsc1Type(int type) {
    for (auto& voice : osc_) voice.setType(1, type);
}

void DrumSound::setOsc2Type(int type) {
    for (auto& voice : osc_) voice.setType(2, type);
}

void DrumSound::setOscMix(double mix) {
    for (auto& voice : osc_) voice.setMix(mix);
}

void DrumSound::setOscFm(double amount) {
    for (auto& voice : osc_) voice.setFm(amount);
}

void DrumSound::setOscFilterType(int type) {
    for (auto& voice : osc_) voice.setFilterType(type);
}

void DrumSound::setEnvelopeTime(SoundEnvelope envelope, bool release, double seconds) {
    for (unsigned v = 0; v < kVoicesPerSound; ++v) {
        OscillatorVoice& osc = osc_[v];
        NoiseVoice& n1 = noise1_[v];
        NoiseVoice& n2 = noise2_[v];
        switch (envelope) {
            case SoundEnvelope::OscVolume:
                (release ? osc.volRelease : osc.volAttack) = seconds;
                break;
            case SoundEnvelope::OscModulation:
                (release ? osc.modRelease : osc.modAttack) = seconds;
                break;
            case SoundEnvelope::OscFilter:
                (release ? osc.filterRelease : osc.filterAttack) = seconds;
                break;
            case SoundEnvelope::Noise1Volume:
                (release ? n1.volRelease : n1.volAttack) = seconds;
                break;
            case SoundEnvelope::Noise1Filter:
                (release ? n1.filterRelease : n1.filterAttack) = seconds;
                break;
            case SoundEnvelope::Noise2Volume:
                (release ? n2.volRelease : n2.volAttack) = seconds;
                break;
            case SoundEnvelope::Noise2Filter:
                (release ? n2.filterRelease : n2.filterAttack) = seconds;
                break;
            case SoundEnvelope::Count:
                break;
        }
    }
}

void DrumSound::setEnvelopeShape(SoundEnvelope envelope, bool release, int shape) {
    for (unsigned v = 0; v < kVoicesPerSound; ++v) {
        EnvelopePair* pair = nullptr;
        bool volumeShapes = false;  // volume envelopes use the volume attack presets
        switch (envelope) {
            case SoundEnvelope::OscVolume:
                pair = &osc_[v].volume;
                volumeShapes = true;
                break;
            case SoundEnvelope::OscModulation:
                pair = &osc_[v].modulation;
                break;
            case SoundEnvelope::OscFilter:
                pair = &osc_[v].filterEnv;
                break;
            case SoundEnvelope::Noise1Volume:
                pair = &noise1_[v].volume;
                volumeShapes = true;
                break;
            case SoundEnvelope::Noise1Filter:
                pair = &noise1_[v].filterEnv;
                break;
            case SoundEnvelope::Noise2Volume:
                pair = &noise2_[v].volume;
                volumeShapes = true;
                break;
            case SoundEnvelope::Noise2Filter:
                pair = &noise2_[v].filterEnv;
                break;
            case SoundEnvelope::Count:
                break;
        }
        if (!pair) continue;
        if (release)
            pair->release.setReleaseShape(shape);
        else if (volumeShapes)
            pair->attack.setAttackShapeVolume(shape);
        else
            pair->attack.setAttackShapeModulation(shape);
    }
}

void DrumSound::setNoiseOn(int section, bool on) {
    noise_[at(section)].on = on ? 1 : 0;
    if (!on)
        for (auto& voice : noiseVoices(section)) voice.volume.stop();
}

void DrumSound::setNoiseType(int section, int type) {
    const int slot = type - kFirstSampleNoiseType;
    for (auto& voice : noiseVoices(section)) {
        voice.setCymbalTables(banks_.wavetables.set(WavetableBank::kCymbalSlot));
        if (type == 0)
            voice.disable();
        else
            voice.setType(type, banks_.noiseSamples.buffer(slot), banks_.noiseSamples.length(slot));
    }
}

void DrumSound::setNoiseRetrigger(int section, int retrigger) {
    for (auto& voice : noiseVoices(section)) voice.retrigger = retrigger;
}

void DrumSound::setNoiseKeytrack(int section, bool on) { noise_[at(section)].keytrack = on ? 1 : 0; }

void DrumSound::setNoisePitch(int section, double pitch) {
    // The current voice follows at once; the other takes it at its start.
    noise_[at(section)].pitch = pitch;
    noiseVoices(section)[static_cast<unsigned>(currentVoice_)].setPitch(pitch);
}

void DrumSound::setNoiseStereo(int section, double stereo) {
    for (auto& voice : noiseVoices(section)) voice.setStereo(stereo);
}

void DrumSound::setNoiseColor(int section, double color) {
    for (auto& voice : noiseVoices(section)) {
        voice.setColor(color);
        if (!voice.active) voice.clearDelayLine();
    }
}

void DrumSound::setNoiseFilterKeytrack(int section, bool on) { noise_[at(section)].filterKeytrack = on ? 1 : 0; }

void DrumSound::setNoiseFilterType(int section, int type) {
    for (auto& voice : noiseVoices(section)) voice.setFilterType(type);
}

void DrumSound::setHitVolume(double volume) {
    hitVolume_ = volume;
    applyHitVolume();
}

void DrumSound::applyHitVolume() noexcept {
    // The hit follows the level the current oscillator voice was started with:
    // "Hit volume" x that voice's volume depth ("Osc volume depth" after the
    // velocity rule), captured at each trigger (HitVoice::start). The volume
    // envelope's scale is deliberately not a further factor: the scale
    // already carries that same depth, so multiplying it in would count the
    // depth and the velocity twice and make the hit fall with their square.
    const double level = hitVolume_ * osc_[static_cast<unsigned>(currentVoice_)].volDepth;
    for (auto& voice : hit_) {
        voice.setVolume(level);
        voice.setGeneratorDepth(level);
    }
}

void DrumSound::setHitType(int type) {
    const int slot = type - kFirstHitType;
    for (auto& voice : hit_) voice.setType(type, banks_.hitSamples.buffer(slot), banks_.hitSamples.length(slot));
}

void DrumSound::setHitModulationDecay(double decay) {
    for (auto& voice : hit_) voice.setDecay(decay);
}

}  // namespace kettrix::engine
