#include "engine/DrumSound.h"

#include "engine/ActiveSoundList.h"
#include "engine/EngineHost.h"
#include "engine/Mixer.h"
#include "engine/NoteRouter.h"
#include "engine/SoundBanks.h"

namespace kettrix::engine {

namespace {
// The activity lamp stays lit for this many blocks after a trigger.
constexpr int kIndicatorBlocks = 10;
}  // namespace

DrumSound::DrumSound(int soundIndex, double sampleRate, const SoundBanks& banks, NoteRouter& router,
                     ActiveSoundList& active, MixStrip& strip, EngineHost& host)
    : soundIndex_(soundIndex), banks_(banks), router_(router), active_(active), strip_(strip), host_(host) {
    makeVoices(sampleRate);
}

DrumSound::~DrumSound() = default;

void DrumSound::makeVoices(double sampleRate) {
    for (auto& voice : osc_) voice = std::make_unique<OscillatorVoice>(sampleRate, banks_.wavetables);
    effect_ = std::make_unique<SoundEffect>(sampleRate);
}

void DrumSound::rebuild(double sampleRate) {
    makeVoices(sampleRate);
    outL_ = outR_ = 0.0;
}

void DrumSound::stop() noexcept {
    sounding_ = 0;
    gateState_ = 0;
    outL_ = outR_ = 0.0;
    active_.markInactive(soundIndex_);
}

double DrumSound::velocityLevel(const VelocityDepth& level) const noexcept {
    const SoundTrigger& t = router_.trigger(soundIndex_);
    if (t.chokeRestart) return 0.0;
    return level.depth * (level.sens * t.velocity + (1.0 - level.sens));
}

void DrumSound::tick(bool gate, double osc1Pitch, double osc2Pitch, double oscCutoff, double oscResonance,
                     double fmAmount, double noise1Cutoff, double noise1Resonance, double noise2Cutoff,
                     double noise2Resonance) noexcept {
    if (gate && !gateState_)
        trigger(oscCutoff, oscResonance, fmAmount, noise1Cutoff, noise1Resonance, noise2Cutoff, noise2Resonance);
    else if (!gate && gateState_)
        release();

    outL_ = outR_ = 0.0;
    OscillatorVoice& osc = *osc_[static_cast<unsigned>(currentVoice_)];
    if (osc.active) {
        double x = osc.tick(osc1Pitch, osc2Pitch, oscCutoff + oscFilterKey_, oscResonance, fmAmount);
        OscillatorVoice& previous = *osc_[static_cast<unsigned>(previousVoice_)];
        if (previous.active) x += previous.tail();
        outL_ += x;
        outR_ += x;
    }
    (void)noise1Cutoff;
    (void)noise1Resonance;
    (void)noise2Cutoff;
    (void)noise2Resonance;

    if (effect_->enabled()) {
        effect_->process(outL_, outR_);
        outL_ = effect_->outL();
        outR_ = effect_->outR();
    }
    outL_ *= strip_.gainL;
    outR_ *= strip_.gainR;
}

void DrumSound::trigger(double oscCutoff, double oscResonance, double fmAmount, double noise1Cutoff,
                        double noise1Resonance, double noise2Cutoff, double noise2Resonance) noexcept {
    gateState_ = 1;
    // The voice about to become the previous one keeps the settings it was
    // playing with, still with the old note's key tracking.
    OscillatorVoice& leaving = *osc_[static_cast<unsigned>(currentVoice_)];
    leaving.tailCutoff = oscCutoff + oscFilterKey_;
    leaving.tailResonance = oscResonance;
    leaving.tailFm = fmAmount;
    leaving.modOut = 0.0;
    leaving.filterOut = 0.0;
    (void)noise1Cutoff;
    (void)noise1Resonance;
    (void)noise2Cutoff;
    (void)noise2Resonance;

    previousVoice_ = currentVoice_;
    currentVoice_ = (currentVoice_ + 1) % kVoicesPerSound;
    startVoice();

    OscillatorVoice& osc = *osc_[static_cast<unsigned>(currentVoice_)];
    osc.setEnvelopeModes(envelopeModes_[static_cast<unsigned>(SoundEnvelope::OscVolume)],
                         envelopeModes_[static_cast<unsigned>(SoundEnvelope::OscModulation)],
                         envelopeModes_[static_cast<unsigned>(SoundEnvelope::OscFilter)]);
    if (oscOn_) osc.start();
}

void DrumSound::startVoice() noexcept {
    const SoundTrigger& t = router_.trigger(soundIndex_);
    // A choke restart arrives with velocity 0 and so never chokes in turn.
    if (chokeTarget_ != -1 && t.velocity > 0.0) router_.choke(chokeTarget_);

    sounding_ = 1;
    blocksSinceTrigger_ = 0;
    keyOffset_ = t.keyOffset;
    velocity_ = t.velocity;
    OscillatorVoice& osc = *osc_[static_cast<unsigned>(currentVoice_)];
    osc.keyValue = keyOffset_;

    osc.volDepth = velocityLevel(oscVolume_);
    osc.modDepth = velocityLevel(oscModulation_);
    osc.filterDepth = velocityLevel(oscFilter_);
    hitLevel_ = velocityLevel(hitLowpass_);

    effect_->startDip();
    oscFilterKey_ = oscFilterKeytrack_ ? keyOffset_ : 0.0;
}

void DrumSound::release() noexcept {
    gateState_ = 0;
    // Mode 0 lets a held envelope run its release; the previous voices are
    // left alone.
    osc_[static_cast<unsigned>(currentVoice_)]->setEnvelopeModes(kModeTrigger, kModeTrigger, kModeTrigger);
}

void DrumSound::endOfBlock() noexcept {
    if (blocksSinceTrigger_ > kIndicatorBlocks) host_.setActivityIndicator(soundIndex_, 0.0);
    ++blocksSinceTrigger_;

    sounding_ = 0;
    for (auto& voice : osc_)
        if (voice->updateActive()) sounding_ = 1;

    // A choke restart only exists to cut the sound at this block boundary.
    if (router_.trigger(soundIndex_).chokeRestart) sounding_ = 0;
    if (sounding_) return;
    gateState_ = 0;
    active_.markInactive(soundIndex_);
    outL_ = outR_ = 0.0;
}

// --- Settings --------------------------------------------------------------

void DrumSound::updateModulationAmount() {
    // Acts on sounding voices as well; the amount follows the velocity rule
    // of the trigger with the velocity of the last note.
    const double sens = oscModulation_.sens;
    const double amount = router_.trigger(soundIndex_).chokeRestart
                              ? 0.0
                              : oscModulation_.depth * (sens * velocity_ + (1.0 - sens));
    for (auto& voice : osc_) {
        voice->modDepth = amount;
        voice->modulation.attack.depth = amount;
        voice->modulation.release.depth = amount;
    }
}

void DrumSound::setEnvelopeMode(SoundEnvelope envelope, int mode) {
    envelopeModes_[static_cast<unsigned>(envelope)] = mode;
    for (auto& voice : osc_) {
        switch (envelope) {
        case SoundEnvelope::OscVolume: voice->volume.mode = mode; break;
        case SoundEnvelope::OscModulation: voice->modulation.mode = mode; break;
        case SoundEnvelope::OscFilter: voice->filterEnv.mode = mode; break;
        default: break;
        }
    }
}

void DrumSound::setOscOn(bool on) {
    oscOn_ = on ? 1 : 0;
    if (!on)
        for (auto& voice : osc_) voice->volume.stop();
}

void DrumSound::setOsc1Type(int type) {
    for (auto& voice : osc_) voice->setType(1, type);
}

void DrumSound::setOsc2Type(int type) {
    for (auto& voice : osc_) voice->setType(2, type);
}

void DrumSound::setOscMix(double mix) {
    for (auto& voice : osc_) voice->setMix(mix);
}

void DrumSound::setOscFm(double amount) {
    for (auto& voice : osc_) voice->setFm(amount);
}

void DrumSound::setOscFilterType(int type) {
    for (auto& voice : osc_) voice->setFilterType(type);
}

void DrumSound::setEnvelopeTime(SoundEnvelope envelope, bool release, double seconds) {
    for (auto& voice : osc_) {
        switch (envelope) {
        case SoundEnvelope::OscVolume: (release ? voice->volRelease : voice->volAttack) = seconds; break;
        case SoundEnvelope::OscModulation: (release ? voice->modRelease : voice->modAttack) = seconds; break;
        case SoundEnvelope::OscFilter: (release ? voice->filterRelease : voice->filterAttack) = seconds; break;
        default: break;
        }
    }
}

void DrumSound::setEnvelopeShape(SoundEnvelope envelope, bool release, int shape) {
    for (auto& voice : osc_) {
        EnvelopePair* pair = nullptr;
        switch (envelope) {
        case SoundEnvelope::OscVolume: pair = &voice->volume; break;
        case SoundEnvelope::OscModulation: pair = &voice->modulation; break;
        case SoundEnvelope::OscFilter: pair = &voice->filterEnv; break;
        default: break;
        }
        if (!pair) continue;
        if (release)
            pair->release.setReleaseShape(shape);
        else if (envelope == SoundEnvelope::OscVolume)
            pair->attack.setAttackShapeVolume(shape);
        else
            pair->attack.setAttackShapeModulation(shape);
    }
}

void DrumSound::setNoiseOn(int section, bool on) { noise_[static_cast<unsigned>(section - 1)].on = on ? 1 : 0; }
void DrumSound::setNoiseType(int, int) {}
void DrumSound::setNoiseRetrigger(int, int) {}
void DrumSound::setNoiseKeytrack(int section, bool on) { noise_[static_cast<unsigned>(section - 1)].keytrack = on ? 1 : 0; }
void DrumSound::setNoisePitch(int section, double pitch) { noise_[static_cast<unsigned>(section - 1)].pitch = pitch; }
void DrumSound::setNoiseStereo(int, double) {}
void DrumSound::setNoiseColor(int, double) {}
void DrumSound::setNoiseFilterKeytrack(int section, bool on) {
    noise_[static_cast<unsigned>(section - 1)].filterKeytrack = on ? 1 : 0;
}
void DrumSound::setNoiseFilterType(int, int) {}
void DrumSound::setHitVolume(double volume) { hitVolume_ = volume; }
void DrumSound::setHitType(int) {}
void DrumSound::setHitModulationDecay(double) {}

}  // namespace kettrix::engine
