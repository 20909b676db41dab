#include "engine/DrumEngine.h"

#include "base/MidiQueue.h"
#include "engine/EngineLimits.h"
#include "engine/SoundBanks.h"

#include <algorithm>

namespace kettrix::engine {

namespace {
// The nine parameters of every sound that the render loop reads through the
// smoother.
constexpr std::array<int, 9> kSmoothedOffsets{offset::kOsc1Pitch,
                                              offset::kOsc2Pitch,
                                              offset::kOscFm,
                                              offset::kOscCutoff,
                                              offset::kOscResonance,
                                              offset::kNoiseCutoff,
                                              offset::kNoiseResonance,
                                              offset::kNoiseCutoff + offset::kNoise2Shift,
                                              offset::kNoiseResonance + offset::kNoise2Shift};

constexpr int kNoteOff = 8;
constexpr int kNoteOn = 9;
}  // namespace

DrumEngine::DrumEngine(double sampleRate)
    : sampleRate_(sampleRate),
      smoother_(sampleRate),
      router_(active_),
      mixer_(router_, host_),
      layout_(router_, host_) {
    host_.target = &nullHost_;
    active_.setHost(&host_);
    for (int s = 0; s < kSoundCount; ++s) {
        for (int off : kSmoothedOffsets) smoother_.registerParam(soundIndex(s, off));
        sounds_[static_cast<unsigned>(s)] =
            std::make_unique<DrumSound>(s, sampleRate, SoundBanks::shared(), router_, active_, mixer_.strip(s), host_);
    }
}

DrumEngine::~DrumEngine() = default;

void DrumEngine::setHost(EngineHost& host) { host_.target = &host; }

void DrumEngine::noteOn(int note, int velocity) noexcept {
    router_.noteOn(note, velocity);
    // A repeated note restarts the sound: forget the held gate so that the
    // next tick sees a rising edge.
    for (int s = 0; s < kSoundCount; ++s)
        if (router_.startedBy(s)) sounds_[static_cast<unsigned>(s)]->clearGateState();
}

void DrumEngine::processBlock(MidiQueue& midi, double* const* outputs, int frames) noexcept {
    // Every channel starts the block at 0; the sounds add into it sample by
    // sample (one pass per channel rather than twelve strided stores per
    // sample).
    for (int c = 0; c < kOutputCount; ++c) std::fill(outputs[c], outputs[c] + frames, 0.0);
    for (int s = 0; s < frames; ++s) {
        smoother_.tick();
        while (!midi.Empty() && midi.Peek().offset <= s) {
            const MidiMessage& m = midi.Peek();
            const int type = m.status >> 4;
            if (type == kNoteOn && m.data2 > 0)
                noteOn(m.data1, m.data2);
            else if (type == kNoteOff || type == kNoteOn)
                router_.noteOff(m.data1);
            midi.Remove();
        }
        renderSample(outputs, s);
    }

    // Sounds removed during this pass must not make the walk skip the next.
    std::array<int, kSoundCount> listed{};
    const int count = active_.count();
    for (int i = 0; i < count; ++i) listed[static_cast<unsigned>(i)] = active_.at(i);
    for (int i = 0; i < count; ++i) sounds_[static_cast<unsigned>(listed[static_cast<unsigned>(i)])]->endOfBlock();

    midi.Flush(frames);
}

void DrumEngine::renderSample(double* const* outputs, int s) noexcept {
    // The count is read again after every sound: a choke may append a sound,
    // which is then rendered in this same sample.
    for (int i = 0; i < active_.count(); ++i) {
        const int index = active_.at(i);
        DrumSound& sound = *sounds_[static_cast<unsigned>(index)];
        const SoundTrigger& t = router_.trigger(index);
        const int base = ActiveSoundList::paramBase(index);
        auto p = [&](int off) { return smoother_.current(base + off); };
        sound.tick(t.gate != 0, t.keyOffset + p(offset::kOsc1Pitch), t.keyOffset + p(offset::kOsc2Pitch),
                   p(offset::kOscCutoff), p(offset::kOscResonance), p(offset::kOscFm), p(offset::kNoiseCutoff),
                   p(offset::kNoiseResonance), p(offset::kNoiseCutoff + offset::kNoise2Shift),
                   p(offset::kNoiseResonance + offset::kNoise2Shift));
        const int pair = sound.strip().outputPair;
        outputs[pair][s] += sound.outL();
        outputs[pair + 1][s] += sound.outR();
    }
}

void DrumEngine::reset(double sampleRate) {
    if (sampleRate == sampleRate_) return;
    sampleRate_ = sampleRate;
    smoother_.setSampleRate(sampleRate);
    for (auto& sound : sounds_) sound->rebuild(sampleRate);
    reapplySoundParameters();
}

void DrumEngine::reapplySoundParameters() {
    host_.quiet = true;
    for (int index = 0; index < kFirstGlobalIndex; ++index)
        applySoundParameter(index / kSoundBlockSize, index % kSoundBlockSize, host_.paramValue(index));
    host_.quiet = false;
}

void DrumEngine::setSoundVolume(int sound, double value) { mixer_.setSoundVolume(sound, value); }

void DrumEngine::applyKeyboardEdit(int sound) {
    // The on-screen keyboard has already given the router the edited range;
    // write it into the key parameters of the mode in force.
    if (sound < 0 || sound >= kSoundCount) return;
    layout_.setKeyRange(sound, layout_.keyLo(sound), layout_.keyHi(sound));
}

void DrumEngine::stopSound(int sound) {
    if (sound < 0 || sound >= kSoundCount) return;
    sounds_[static_cast<unsigned>(sound)]->stop();
}

}  // namespace kettrix::engine
