#include "engine/DrumEngine.h"

#include "base/MidiQueue.h"
#include "engine/EngineLimits.h"
#include "engine/SoundBanks.h"

#include <algorithm>
#include <cstring>

namespace kettrix::engine {

namespace {
// The nine parameters of every sound that the render loop reads through the
// smoother.
// In the order of SoundRunInputs.
constexpr std::array<int, 9> kSmoothedOffsets{offset::kOsc1Pitch,
                                              offset::kOsc2Pitch,
                                              offset::kOscCutoff,
                                              offset::kOscResonance,
                                              offset::kOscFm,
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

bool DrumEngine::takeMidi(MidiQueue& midi, int s) noexcept {
    bool notes = false;
    while (!midi.Empty() && midi.Peek().offset <= s) {
        const MidiMessage& m = midi.Peek();
        const int type = m.status >> 4;
        if (type == kNoteOn && m.data2 > 0) {
            noteOn(m.data1, m.data2);
            notes = true;
        } else if (type == kNoteOff || type == kNoteOn) {
            router_.noteOff(m.data1);
            notes = true;
        }
        midi.Remove();
    }
    return notes;
}

bool DrumEngine::gateEdgePending() const noexcept {
    for (int i = 0; i < active_.count(); ++i) {
        const int index = active_.at(i);
        if ((router_.trigger(index).gate != 0) != sounds_[static_cast<unsigned>(index)]->gateHeld()) return true;
    }
    return false;
}

void DrumEngine::processBlock(MidiQueue& midi, double* const* outputs, int frames) noexcept {
    // Every channel starts the block at 0; the sounds add into it.
    for (int c = 0; c < kOutputCount; ++c) std::fill(outputs[c], outputs[c] + frames, 0.0);
    int s = 0;
    bool notesChanged = false;
    while (s < frames) {
        smoother_.tick();
        notesChanged = takeMidi(midi, s) || notesChanged;
        if (active_.count() == 0) {
            // Nothing sounds: only the smoother moves until the next event.
            const int end = midi.Empty() ? frames : std::clamp(midi.Peek().offset, s + 1, frames);
            smoother_.advance(end - s - 1);
            s = end;
            continue;
        }
        if (gateEdgePending()) {
            renderSample(outputs, s);
            ++s;
            continue;
        }
        int end = std::min(frames, s + kMaxRun);
        if (!midi.Empty()) end = std::clamp(midi.Peek().offset, s + 1, end);
        renderRun(outputs, s, end - s);
        s = end;
    }

    // Sounds removed during this pass must not make the walk skip the next.
    std::array<int, kSoundCount> listed{};
    const int count = active_.count();
    for (int i = 0; i < count; ++i) listed[static_cast<unsigned>(i)] = active_.at(i);
    for (int i = 0; i < count; ++i) sounds_[static_cast<unsigned>(listed[static_cast<unsigned>(i)])]->endOfBlock();
    // The on-screen keyboard shows the held keys.
    if (notesChanged) host_.redrawKeyboard();

    midi.Flush(frames);
}

void DrumEngine::addSound(int index, double* const* outputs, int s, int frames, const SoundRunInputs& in) noexcept {
    DrumSound& sound = *sounds_[static_cast<unsigned>(index)];
    const int pair = sound.strip().outputPair;
    sound.render(router_.trigger(index).gate != 0, in, frames, runLeft_.data(), runRight_.data(), outputs[pair] + s,
                 outputs[pair + 1] + s);
}

namespace {
SoundRunInputs inputsOf(const std::array<std::array<double, kMaxRun>, 9>& v) {
    return {v[0].data(), v[1].data(), v[2].data(), v[3].data(), v[4].data(),
            v[5].data(), v[6].data(), v[7].data(), v[8].data()};
}
}  // namespace

void DrumEngine::renderSample(double* const* outputs, int s) noexcept {
    for (int i = 0; i < active_.count(); ++i) {
        const int index = active_.at(i);
        const SoundTrigger& t = router_.trigger(index);
        const int base = ActiveSoundList::paramBase(index);
        auto& v = runInputs_[static_cast<unsigned>(index)];
        for (unsigned p = 0; p < kRunInputs; ++p) {
            v[p][0] = smoother_.current(base + kSmoothedOffsets[p]);
            heldInputs_[static_cast<unsigned>(index)][p].constant = false;
        }
        v[0][0] += t.keyOffset;
        v[1][0] += t.keyOffset;
        addSound(index, outputs, s, 1, inputsOf(v));
    }
}

void DrumEngine::renderRun(double* const* outputs, int s, int frames) noexcept {
    // Settled inputs hold their value over the run (targets change only
    // between blocks) and stay written from run to run until it changes;
    // only moving ones are read sample by sample.
    const int count = active_.count();
    struct Follow {
        const double* from;
        double* to;
    };
    std::array<Follow, kSoundCount * kRunInputs> moving;
    int movingCount = 0;
    for (int i = 0; i < count; ++i) {
        const int index = active_.at(i);
        const int base = ActiveSoundList::paramBase(index);
        const double key = router_.trigger(index).keyOffset;
        auto& v = runInputs_[static_cast<unsigned>(index)];
        auto& held = heldInputs_[static_cast<unsigned>(index)];
        for (unsigned p = 0; p < kRunInputs; ++p) {
            const int param = base + kSmoothedOffsets[p];
            if (smoother_.settled(param)) {
                // The pitches carry the key offset.
                const double value = p < 2 ? key + smoother_.current(param) : smoother_.current(param);
                std::uint64_t bits;
                std::memcpy(&bits, &value, sizeof bits);
                if (!held[p].constant || held[p].bits != bits) {
                    v[p].fill(value);
                    held[p] = {true, bits};
                }
            } else {
                held[p].constant = false;
                v[p][0] = smoother_.current(param);
                moving[static_cast<unsigned>(movingCount++)] = {smoother_.currentOf(param), v[p].data()};
            }
        }
    }
    if (movingCount == 0) {
        smoother_.advance(frames - 1);
    } else {
        for (int k = 1; k < frames; ++k) {
            smoother_.tick();
            for (int m = 0; m < movingCount; ++m)
                moving[static_cast<unsigned>(m)].to[k] = *moving[static_cast<unsigned>(m)].from;
        }
    }
    for (int i = 0; i < count; ++i) {
        const int index = active_.at(i);
        const double key = router_.trigger(index).keyOffset;
        auto& v = runInputs_[static_cast<unsigned>(index)];
        const auto& held = heldInputs_[static_cast<unsigned>(index)];
        for (unsigned p = 0; p < 2; ++p) {
            if (held[p].constant) continue;
            for (int k = 0; k < frames; ++k) v[p][static_cast<unsigned>(k)] = key + v[p][static_cast<unsigned>(k)];
        }
        addSound(index, outputs, s, frames, inputsOf(v));
    }
}

void DrumEngine::reset(double sampleRate) {
    if (sampleRate == sampleRate_) return;
    sampleRate_ = sampleRate;
    smoother_.setSampleRate(sampleRate);
    for (auto& sound : sounds_) sound->rebuild(sampleRate);
    reapplySoundParameters();
}

void DrumEngine::restart() {
    for (int sound = 0; sound < kSoundCount; ++sound) stopSound(sound);
    router_.forgetNotes();
    for (auto& sound : sounds_) sound->rebuild(sampleRate_);
    reapplySoundParameters();
    smoother_.settleAll();
}

void DrumEngine::reapplySoundParameters() {
    host_.quiet = true;
    for (int index = 0; index < kFirstGlobalIndex; ++index)
        applySoundParameter(index / kSoundBlockSize, index % kSoundBlockSize, host_.paramValue(index));
    host_.quiet = false;
}

void DrumEngine::setSoundVolume(int sound, double value) { mixer_.setSoundVolume(sound, value); }

void DrumEngine::applyKeyboardEdit(int sound) { layout_.applyEdit(sound); }

void DrumEngine::previewNoteOn(int note, int velocity) { noteOn(note, velocity); }

void DrumEngine::stopSound(int sound) {
    if (sound < 0 || sound >= kSoundCount) return;
    sounds_[static_cast<unsigned>(sound)]->stop();
}

}  // namespace kettrix::engine
