#pragma once
// One voice of a noise section. It plays one of the noise types: the cymbal
// generator (type 1), the stepped-random noise generator (type 2) or a noise
// sample (types 3..39) as an endless texture, then the section's filter and
// volume envelope. With "stereo" above 0 it builds a decorrelated right
// channel (a delayed copy, a second random stream, or the sample read
// backwards) and blends it in with equal power.
//
// Each noise section has two voices used in turn: the current one renders,
// the previous one fades through renderTail for at most 10 ms.
//
// Threads: start, render, renderTail and updateActive run on the audio thread; the
// setters run on the parameter path, both under the plug-in lock. Nothing
// allocates after construction.

#include "base/SettingVocabulary.h"
#include "engine/DrumFilter.h"
#include "engine/Envelope.h"
#include "engine/NoiseCymbalGenerator.h"

#include <cstdint>
#include <vector>

namespace kettrix::engine {

// Noise types of the "Noise1 type" and "Noise2 type" menus.
enum NoiseType : std::int32_t {
    kNoiseOff = 0,
    kNoiseCymbalGenerator = 1,
    kNoiseGenerator = 2,
    kNoiseFirstSample = 3,  // "Noise"
    kNoiseVinyl1 = 33,
    kNoiseVinyl2 = 34,
    kNoiseLastSample = 39,  // "Octave 2"
};
static_assert(kNoiseLastSample + 1 == settings::kNoiseType.count());
static_assert(kNoiseCymbalGenerator == settings::kNoiseType.valueOf("Cymbal Generator") &&
              kNoiseGenerator == settings::kNoiseType.valueOf("Noise Generator") &&
              kNoiseFirstSample == settings::kNoiseType.valueOf("Noise") &&
              kNoiseVinyl1 == settings::kNoiseType.valueOf("Vinyl 1") &&
              kNoiseVinyl2 == settings::kNoiseType.valueOf("Vinyl 2"));

enum NoiseRenderMode : std::int32_t {
    kNoiseRenderSilent = 0,
    kNoiseRenderCymbalStereo = 1,
    kNoiseRenderCymbalMono = 2,
    kNoiseRenderGeneratorStereo = 3,
    kNoiseRenderGeneratorMono = 4,
    kNoiseRenderSampleStereo = 5,
    kNoiseRenderSampleMono = 6,
};

// The stepped random source of type "Noise Generator": a new pair of values
// (left, right) at pitch x 44100 values per second, held in between.
struct NoiseGenerator {
    void restart() noexcept {
        genAcc = 0.0;
        genState1 = 0;
    }
    // Advances the clock; draws new values when it passes 1. The right
    // stream only moves while it is heard (stereo).
    void advance(double pitch, double rateRatio, bool withRight) noexcept;
    double left() const noexcept;
    double right() const noexcept;
    // RT: `frames` advances, each followed by a read of the values (right
    // only with withRight).
    void render(double pitch, double rateRatio, bool withRight, int frames, double* leftOut, double* rightOut) noexcept;

    double genAcc = 0.0;
    // Multiply-add generators; unsigned so that the 32-bit wrap is defined.
    std::uint32_t genState1 = 0;
    std::uint32_t genState2 = 0;
};

// Two read heads crossing a sample with opposite triangular windows; each
// time a head's window restarts, both heads jump ahead by a random part of
// the sample, so a short recording plays as an endless, unrepeating texture.
struct TexturePlayer {
    // A new sample; heads at 0 and half way.
    void setSample(const double* buffer, std::int32_t sampleLength) noexcept;
    // Heads back to the start of the sample.
    void restart() noexcept;
    // Keeps playing from where head A is, with the windows reset.
    void resume() noexcept;
    // RT: advances windows and heads by one output sample.
    void advance(double step, double windowStep) noexcept;
    // Window-weighted read of both heads, forwards; readStereo() also reads
    // them mirrored (backwards), sharing each head's index and fraction.
    double readForward() const noexcept;
    void readStereo(double& forward, double& mirrored) const noexcept;
    // RT: `frames` advances, each followed by a forward read and, when
    // mirrored is given, a mirrored one.
    void render(double step, double windowStep, int frames, double* forward, double* mirrored) noexcept;
    // The same with the two heads worked as a LanePair<Packed>; both forms
    // give the same samples (render() uses the packed one where it exists).
    template <bool Packed>
    void render(double step, double windowStep, int frames, double* forward, double* mirrored) noexcept;
    bool hasSample() const noexcept { return sample != nullptr && length >= 2; }

    std::int32_t length = 2048;
    std::int32_t lastIndex = 2047;
    const double* sample = nullptr;  // length + 1 values (borrowed)
    double posA = 0.0, posB = 0.0;
    double windowPhaseA = 0.0, windowPhaseB = 0.5;
    double gainA = 0.0, gainB = 0.0;
    std::uint32_t jumpState = 0;
    std::int32_t jump = 0;

private:
    double wrap(double pos) const noexcept;
    double drawJumpFraction() noexcept;
    template <bool Stereo, bool Packed>
    void renderAs(double step, double windowStep, int frames, double* forward, double* mirrored) noexcept;
};

struct NoiseVoice {
    explicit NoiseVoice(double sampleRate);

    // Type 1 or 2 (buffer ignored) or a sample type 3..39 with its bank
    // buffer and length. Types outside 1..39 disable the voice.
    void setType(std::int32_t type, const double* buffer, std::int32_t length) noexcept;
    void disable() noexcept;                 // type "OFF"
    void setStereo(double s) noexcept;       // 0 mono .. 1 full decorrelated right channel
    void setPitch(double p) noexcept;        // 0.5 = the sample's own rate, +-12 semitones
    void setKey(double semitones) noexcept;  // key tracking, in semitones
    void setColor(double col) noexcept;      // cymbal generator colour
    void setCymbalTables(const WavetableSet& set) noexcept { cymbal.setTableSet(set); }
    void setFilterType(std::int32_t type) noexcept { filterType = type; }
    // Modes of the volume and filter envelopes (0 "Trigger", 1 "Hold",
    // 2 "Hihat"): copied in at a trigger, set to 0 when the gate falls.
    void setEnvelopeModes(std::int32_t volume, std::int32_t filter) noexcept;
    // Clears the stereo delay line (the engine does this for an inactive
    // voice when the colour changes).
    void clearDelayLine() noexcept;

    // Start of a note (the engine has written the envelope times, depths,
    // modes and keyValue). Does nothing while disabled.
    void start() noexcept;
    // RT: `frames` (up to kMaxRun) samples of the current voice added into
    // left/right, the last one also kept in outL/outR; the cutoff of sample k
    // is cutoff[k] + cutoffKey.
    void render(const double* cutoff, double cutoffKey, const double* resonance, int frames, double* left,
                double* right) noexcept;
    // RT: one sample of the previous voice, fading linearly within 10 ms,
    // into outL and outR and also returned.
    StereoSample tail() noexcept;
    // RT: up to `frames` tail samples added into left/right, the same as
    // that many tail() calls while the voice stays active.
    void renderTail(int frames, double* left, double* right) noexcept;
    // Once per block: whether the voice still sounds.
    std::uint8_t updateActive() noexcept;

    std::int32_t renderMode = kNoiseRenderSilent;
    DrumFilter filter;
    CymbalGenerator cymbal;
    NoiseGenerator generator;
    TexturePlayer texture;
    std::int32_t filterType = kFilterOff;
    std::int32_t type = kNoiseOff;
    double step = 1.0;  // sample playback step per output sample
    double pitch = 0.5;
    double rateRatio;            // 44100 / sampleRate
    std::int32_t retrigger = 0;  // "re-trigger on gate"
    double delayedSample = 0.0;
    std::vector<double> delayLine;  // stereo delay of the cymbal generator
    double pitchAtLastStart = -1.0;
    double outL = 0.0, outR = 0.0;
    double windowStep;         // texture window phase per sample, by type
    std::int32_t delayLength;  // 512 samples at 44.1 kHz
    std::int32_t delayIndex = 0;
    std::uint8_t active = 0;
    double sampleRate;
    std::uint8_t enabled = 0;
    double keySemitones = 0.0;
    double keyValue = 0.0;  // key offset of the note, for "Hihat" mode
    std::int32_t filterMode = kModeTrigger;
    std::int32_t volumeMode = kModeTrigger;
    EnvelopePair volume;
    EnvelopePair filterEnv;
    double volAttack = 0.0, volRelease = 0.0, volDepth = 0.0;
    double filterAttack = 0.0, filterRelease = 0.0, filterDepth = 0.0;
    double amp = 0.0, filterOut = 0.0;
    double tailCutoff = 0.0, tailResonance = 0.0;
    double stereo = 0.0;
    double tailStep;  // 100 / sampleRate: 10 ms from full level
    double blendL = 1.0, blendR = 0.0;

private:
    void selectRenderMode() noexcept;
    void updateStep() noexcept;
    // Sets outL and outR and returns them. The render* sources return the
    // pair before the stereo blend.
    StereoSample render(double cutoff, double resonance) noexcept;
    StereoSample renderCymbal(double cutoff, double resonance, bool isStereo) noexcept;
    StereoSample renderGenerator(double cutoff, double resonance, bool isStereo) noexcept;
    StereoSample renderTexture(double cutoff, double resonance, bool isStereo) noexcept;
    // A run of the source through the filter, times amps, blended and added
    // into left/right.
    void play(const double* amps, const double* cutoff, const double* resonance, int frames, double* left,
              double* right) noexcept;
    template <typename Source>
    void playMono(const double* amps, const double* cutoff, const double* resonance, int frames, double* left,
                  double* right, Source&& source) noexcept;
    template <typename Source>
    void playStereo(const double* amps, const double* cutoff, const double* resonance, int frames, double* left,
                    double* right, Source&& source) noexcept;
};

}  // namespace kettrix::engine
