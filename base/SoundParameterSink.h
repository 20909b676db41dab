// What the kit model hands to the sound engine. The dispatch of parameter
// changes splits every index into a sound's offset or a global parameter and
// calls one of these; the engine implements them. Every call happens under
// the plug-in lock, after the new value has been stored in the parameter.
#pragma once

namespace kettrix {

class SoundParameterSink {
public:
    virtual ~SoundParameterSink() = default;

    // Offset `off` (0-131) of `sound` changed to `value`: apply it to the
    // sound's engine objects (offsets without an engine action do nothing).
    virtual void applySoundParameter(int sound, int off, double value) = 0;
    // Mixer strip: mute and solo switches (on = value equals 1) and the
    // strip's volume fader (second view of the sound's "Volume").
    virtual void setMute(int sound, bool on) = 0;
    virtual void setSolo(int sound, bool on) = 0;
    virtual void setSoundVolume(int sound, double value) = 0;
    // "Keyboard Mode" changed: patch/user ranges or a key-map command.
    virtual void keyboardModeChanged(double value) = 0;
    // "Keyboard" changed: when the on-screen keyboard edited `sound`'s range
    // (its edit mark is set), clear the mark and apply the edited range.
    virtual void applyKeyboardEdit(int sound) = 0;
    // Gives `sound` the key range lo..hi (and writes it back into its key
    // parameters, user or patch ones depending on the lock).
    virtual void setKeyRange(int sound, int lo, int hi) = 0;
    // Silences `sound` at once and takes it off the active list (before a
    // program change).
    virtual void stopSound(int sound) = 0;
    // Whether "Keyboard Mode" is "User (Lock)".
    virtual bool userKeyLocked() const = 0;
    // A kit load (program, chunk, sound record) has set its values: the
    // smoothed ones stand on them from the next sample instead of gliding
    // there from what played before. Single changes keep gliding.
    virtual void settleSmoothing() {}
};

// Until the engine is attached: nothing is applied, nothing is locked.
class NullSoundParameterSink final : public SoundParameterSink {
public:
    void applySoundParameter(int, int, double) override {}
    void setMute(int, bool) override {}
    void setSolo(int, bool) override {}
    void setSoundVolume(int, double) override {}
    void keyboardModeChanged(double) override {}
    void applyKeyboardEdit(int) override {}
    void setKeyRange(int, int, int) override {}
    void stopSound(int) override {}
    bool userKeyLocked() const override { return false; }
};

}  // namespace kettrix
