#pragma once
// The sound engine of one plug-in instance: the engine-wide objects (smoother,
// active list, note router, ten sounds), the mixer and the key layout, the
// block render loop and the application of parameter changes.
//
// Threads: processBlock on the audio thread; everything else on the host's
// or the editor's thread. The plug-in holds its lock around every call, so
// no two of them overlap.

#include "base/SoundParameterSink.h"
#include "engine/ActiveSoundList.h"
#include "engine/DrumSound.h"
#include "engine/EngineHost.h"
#include "engine/EngineLimits.h"
#include "engine/KeyboardLayout.h"
#include "engine/Mixer.h"
#include "engine/NoteRouter.h"
#include "engine/ParamSmoother.h"

#include <array>
#include <cstdint>
#include <memory>

namespace kettrix {
class MidiQueue;
}

namespace kettrix::engine {

class DrumEngine final : public SoundParameterSink {
public:
    explicit DrumEngine(double sampleRate = kReferenceRate);
    ~DrumEngine() override;

    DrumEngine(const DrumEngine&) = delete;
    DrumEngine& operator=(const DrumEngine&) = delete;

    // The parameter store and editor the engine reads and sets; must outlive
    // the engine (or be replaced before it goes).
    void setHost(EngineHost& host);

    // RT: renders `frames` samples into the twelve output channels, taking
    // the queued MIDI at its sample offsets. Consumed messages leave the
    // queue; the rest are aged by `frames`.
    void processBlock(MidiQueue& midi, double* const* outputs, int frames) noexcept;

    // Not while processing: takes over a new sample rate. A changed rate
    // rebuilds every voice and effect and reapplies every per-sound
    // parameter; gates, key ranges and the active list are kept.
    void reset(double sampleRate);
    double sampleRate() const { return sampleRate_; }

    // Applies every per-sound parameter again, in index order, without
    // editor side effects (mirrored controls).
    void reapplySoundParameters();

    // Silence and voices as new for the kit as it stands: every sound
    // stopped, the router's notes forgotten, voices and effects rebuilt at
    // the current rate with the kit's parameters applied again and smoothing
    // settled. From here the engine renders exactly what a new engine given
    // this kit would.
    void restart();

    // --- SoundParameterSink ---------------------------------------
    void applySoundParameter(int sound, int off, double value) override;
    void setMute(int sound, bool on) override { mixer_.setMute(sound, on); }
    void setSolo(int sound, bool on) override { mixer_.setSolo(sound, on); }
    void setSoundVolume(int sound, double value) override;
    void keyboardModeChanged(double value) override { layout_.keyboardModeChanged(value); }
    void applyKeyboardEdit(int sound) override;
    void setKeyRange(int sound, int lo, int hi) override { layout_.setKeyRange(sound, lo, hi); }
    void stopSound(int sound) override;
    bool userKeyLocked() const override { return layout_.locked(); }
    void settleSmoothing() override { smoother_.settleAll(); }

    // On-screen keyboard previews (under the plug-in lock, between blocks):
    // to the router as a MIDI note would go, so a preview restarts its
    // sounds like a played note; heard from the next block on.
    void previewNoteOn(int note, int velocity);
    void previewNoteOff(int note) { router_.noteOff(note); }
    // The on-screen keyboard's range edit, applied by the next
    // applyKeyboardEdit of the sound.
    void markKeyboardEdit(int sound, int lo, int hi) { layout_.markEdited(sound, lo, hi); }

    // --- Access for the plug-in and for tests ----------------------------
    DrumSound& sound(int index) { return *sounds_[static_cast<unsigned>(index)]; }
    const NoteRouter& router() const { return router_; }
    const ActiveSoundList& activeSounds() const { return active_; }
    const ParamSmoother& smoother() const { return smoother_; }
    const KeyboardLayout& keyboard() const { return layout_; }
    const Mixer& mixer() const { return mixer_; }

private:
    // The host as every engine object sees it. It forwards to the attached
    // host, and while all parameters are being reapplied it leaves the
    // controls alone (no mirrored-control chains).
    class HostRelay final : public EngineHost {
    public:
        EngineHost* target = nullptr;
        bool quiet = false;
        double paramValue(int index) const override { return target->paramValue(index); }
        void storeParamValue(int index, double value) override { target->storeParamValue(index, value); }
        void setControlValue(int index, double value) override {
            if (!quiet) target->setControlValue(index, value);
        }
        void setActivityIndicator(int sound, double value) override { target->setActivityIndicator(sound, value); }
        void keyRangeShown(int sound, int lo, int hi) override {
            if (!quiet) target->keyRangeShown(sound, lo, hi);
        }
        void redrawKeyboard() override {
            if (!quiet) target->redrawKeyboard();
        }
    };

    void noteOn(int note, int velocity) noexcept;
    // Takes the messages due at sample s; true when a note came or went.
    bool takeMidi(MidiQueue& midi, int s) noexcept;
    // True while a listed sound has a gate edge still to take.
    bool gateEdgePending() const noexcept;
    // One sample, sound by sound with the list read again after each (a
    // choke may list another sound, which then sounds in this sample).
    void renderSample(double* const* outputs, int s) noexcept;
    // Samples s .. s + frames - 1, with no event and no gate edge among
    // them: the smoothed inputs of every listed sound first, then each sound
    // over the whole run. The smoother has already moved for sample s.
    void renderRun(double* const* outputs, int s, int frames) noexcept;
    void addSound(int index, double* const* outputs, int s, int frames, const SoundRunInputs& in) noexcept;
    void applySmoothed(int sound, int off, double value);
    void applyOscillator(DrumSound& sound, int off, double value);
    void applyNoise(DrumSound& sound, int off, double value);
    void applyHit(DrumSound& sound, int off, double value);
    void mirror(int index, double value);

    double sampleRate_;
    NullEngineHost nullHost_;
    HostRelay host_;

    ParamSmoother smoother_;
    ActiveSoundList active_;
    NoteRouter router_;
    Mixer mixer_;
    KeyboardLayout layout_;
    std::array<std::unique_ptr<DrumSound>, kSoundCount> sounds_;

    // Scratch of the run renderer: the nine smoothed inputs of every sound
    // over a run, and one sound's output.
    static constexpr int kRunInputs = 9;
    std::array<std::array<std::array<double, kMaxRun>, kRunInputs>, kSoundCount> runInputs_{};
    // Whether an input's array holds one value throughout, and its bits: a
    // settled input is written again only when its value changes.
    struct HeldInput {
        bool constant = false;
        std::uint64_t bits = 0;
    };
    std::array<std::array<HeldInput, kRunInputs>, kSoundCount> heldInputs_{};
    std::array<double, kMaxRun> runLeft_{};
    std::array<double, kMaxRun> runRight_{};
};

}  // namespace kettrix::engine
