#pragma once
// One drum sound of the kit: two voices of every generator used in turn, the
// insert effect and the mixer strip. The render loop calls render for each
// run of samples between two events while the sound is in the active list,
// and endOfBlock after each block. Settings arrive through the setters below (parameter path, under
// the plug-in lock); values kept here act from the next trigger, values
// given to the voices act at once.

#include "engine/EngineLimits.h"
#include "engine/HitVoice.h"
#include "engine/NoiseVoice.h"
#include "engine/OscillatorVoice.h"
#include "engine/effects/SoundEffect.h"

#include <array>
#include <cstdint>

namespace kettrix::engine {

class ActiveSoundList;
class EngineHost;
class NoteRouter;
struct MixStrip;
struct SoundBanks;

// An envelope amount and how much of it the note velocity controls.
struct VelocityDepth {
    double depth = 0.0;
    double sens = 0.0;
};

// The seven envelopes whose mode the sound copies into its voices.
enum class SoundEnvelope : int {
    OscFilter,
    OscVolume,
    OscModulation,
    Noise1Filter,
    Noise1Volume,
    Noise2Filter,
    Noise2Volume,
    Count
};

// The smoothed inputs of one sound over a run of samples, one array per
// input (pitches with the key offset, cutoffs before key tracking).
struct SoundRunInputs {
    const double* osc1Pitch;
    const double* osc2Pitch;
    const double* oscCutoff;
    const double* oscResonance;
    const double* fmAmount;
    const double* noise1Cutoff;
    const double* noise1Resonance;
    const double* noise2Cutoff;
    const double* noise2Resonance;
};

class DrumSound {
public:
    DrumSound(int soundIndex, double sampleRate, const SoundBanks& banks, NoteRouter& router, ActiveSoundList& active,
              MixStrip& strip, EngineHost& host);
    ~DrumSound();

    // RT: `frames` (1..kMaxRun) samples added with the strip's gains into
    // mixLeft/mixRight; left/right are the sound's scratch for the run. The
    // pitches already carry the key offset; cutoffs are before key tracking. A gate edge is taken on the first sample;
    // the caller keeps the gate steady over the rest of the run.
    void render(bool gate, const SoundRunInputs& in, int frames, double* left, double* right, double* mixLeft,
                double* mixRight) noexcept;
    // RT: after each block; takes the sound off the active list once silent.
    void endOfBlock() noexcept;
    // Forgets the gate edge so that the next run with the gate held retriggers.
    void clearGateState() noexcept { gateState_ = 0; }
    // Silences the sound at once (program change).
    void stop() noexcept;

    // Not while processing: new voices and effect for a new rate. Settings
    // given to the voices must be applied again afterwards.
    void rebuild(double sampleRate);

    // --- Settings (parameter path) -------------------------------------
    VelocityDepth& oscVolumeLevel() { return oscVolume_; }
    VelocityDepth& oscModulationLevel() { return oscModulation_; }
    VelocityDepth& oscFilterLevel() { return oscFilter_; }
    VelocityDepth& noiseVolumeLevel(int section) { return section == 1 ? noise1Volume_ : noise2Volume_; }
    VelocityDepth& noiseFilterLevel(int section) { return section == 1 ? noise1Filter_ : noise2Filter_; }
    VelocityDepth& hitLowpassLevel() { return hitLowpass_; }

    // "Osc modulation depth" and its velocity act on sounding voices too.
    void updateModulationAmount();
    void setEnvelopeMode(SoundEnvelope envelope, int mode);
    void setChokeTarget(int target) { chokeTarget_ = target; }
    void setOscOn(bool on);
    void setOscFilterKeytrack(bool on) { oscFilterKeytrack_ = on ? 1 : 0; }
    void setOsc1Type(int type);
    void setOsc2Type(int type);
    void setOscMix(double mix);
    void setOscFm(double amount);
    void setOscFilterType(int type);
    void setEnvelopeTime(SoundEnvelope envelope, bool release, double seconds);
    void setEnvelopeShape(SoundEnvelope envelope, bool release, int shape);

    // Noise sections (section 1 or 2).
    void setNoiseOn(int section, bool on);
    void setNoiseType(int section, int type);
    void setNoiseRetrigger(int section, int retrigger);
    void setNoiseKeytrack(int section, bool on);
    void setNoisePitch(int section, double pitch);
    void setNoiseStereo(int section, double stereo);
    void setNoiseColor(int section, double color);
    void setNoiseFilterKeytrack(int section, bool on);
    void setNoiseFilterType(int section, int type);

    // Hit.
    void setHitVolume(double volume);
    void setHitType(int type);
    void setHitModulationDecay(double decay);

    SoundEffect& effect() { return effect_; }
    const SoundEffect& effect() const { return effect_; }
    OscillatorVoice& oscVoice(int voice) { return osc_[static_cast<unsigned>(voice)]; }
    NoiseVoice& noiseVoice(int section, int voice) { return noiseVoices(section)[static_cast<unsigned>(voice)]; }
    HitVoice& hitVoice(int voice) { return hit_[static_cast<unsigned>(voice)]; }

    // --- State read by the engine and by tests ---------------------------
    bool sounding() const { return sounding_ != 0; }
    bool gateHeld() const { return gateState_ != 0; }
    int currentVoice() const { return currentVoice_; }
    int previousVoice() const { return previousVoice_; }
    int chokeTarget() const { return chokeTarget_; }
    double hitLevel() const { return hitLevel_; }
    double velocity() const { return velocity_; }
    double keyOffset() const { return keyOffset_; }
    const MixStrip& strip() const { return strip_; }
    int soundIndex() const { return soundIndex_; }

private:
    void trigger(double oscCutoff, double oscResonance, double fmAmount, double noise1Cutoff, double noise1Resonance,
                 double noise2Cutoff, double noise2Resonance) noexcept;
    void startVoice() noexcept;
    void release() noexcept;
    double velocityLevel(const VelocityDepth& level) const noexcept;
    using NoiseVoices = std::array<NoiseVoice, kVoicesPerSound>;
    NoiseVoices& noiseVoices(int section) { return section == 1 ? noise1_ : noise2_; }
    // Adds both noise voices of a section into left and right, sample by
    // sample over the run.
    void renderNoise(NoiseVoices& voices, const double* cutoff, double cutoffKey, const double* resonance, int frames,
                     double* left, double* right) noexcept;
    // The hit and, behind the gate the hit holds, the oscillator section
    // into left/right.
    void renderHitAndOscillator(HitVoice& hit, OscillatorVoice& osc, const SoundRunInputs& in, int frames, double* left,
                                double* right) noexcept;
    void startNoise(int section) noexcept;
    void applyHitVolume() noexcept;

    const int soundIndex_;
    const SoundBanks& banks_;
    NoteRouter& router_;
    ActiveSoundList& active_;
    MixStrip& strip_;
    EngineHost& host_;

    // The voices live inside the sound: one sound's state is one block of
    // memory, and the render loop reaches a voice without a pointer hop.
    std::array<OscillatorVoice, kVoicesPerSound> osc_;
    NoiseVoices noise1_, noise2_;
    std::array<HitVoice, kVoicesPerSound> hit_;
    SoundEffect effect_;

    std::uint8_t sounding_ = 0;
    std::uint8_t gateState_ = 0;
    int blocksSinceTrigger_ = 0;
    int currentVoice_ = 0;
    int previousVoice_ = 1;
    int chokeTarget_ = -1;
    double keyOffset_ = 0.0;
    double velocity_ = 0.0;
    double oscFilterKey_ = 0.0;
    double hitLevel_ = 0.0;
    std::uint8_t oscOn_ = 0;
    std::uint8_t oscFilterKeytrack_ = 0;
    std::array<int, static_cast<int>(SoundEnvelope::Count)> envelopeModes_{};

    struct NoiseSettings {
        std::uint8_t on = 0;
        std::uint8_t keytrack = 0;        // pitch follows the key
        std::uint8_t filterKeytrack = 0;  // cutoff follows the key
        double pitch = 0.5;
        double filterKey = 0.0;
    };
    std::array<NoiseSettings, 2> noise_{};
    double hitVolume_ = 0.0;

    VelocityDepth oscVolume_, oscModulation_, oscFilter_;
    VelocityDepth noise1Volume_, noise1Filter_, noise2Volume_, noise2Filter_;
    VelocityDepth hitLowpass_;
};

}  // namespace kettrix::engine
