#pragma once
// An engine wired to a parameter store the way the plug-in wires it, with
// helpers to queue MIDI and render blocks into twelve channels.

#include "base/MidiQueue.h"
#include "engine/DrumEngine.h"
#include "engine/EngineLimits.h"

#include "FakeEngineHost.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace kettrix::engine::test {

class EngineFixture : public ::testing::Test {
protected:
    FakeEngineHost host;
    DrumEngine engine{44100.0};
    MidiQueue midi;
    std::array<std::vector<double>, kOutputCount> channels;

    EngineFixture() {
        engine.setHost(host);
        host.parameterChanged = [this](int index) { dispatch(index); };
        // Every sound a plain sine with a quick attack and a 0.5 s release.
        for (int s = 0; s < kSoundCount; ++s) {
            host.at(soundIndex(s, offset::kOsc1Type)) = 1;
            host.at(soundIndex(s, offset::kOscVolRelease)) = 0.3;
        }
        for (int i = 0; i < kParameterCount; ++i) dispatch(i);
        settle();
    }

    // Lets the smoothed parameters reach their values (they glide from 0
    // after the first application).
    void settle() {
        for (int i = 0; i < 16; ++i) render(4096);
    }

    // The plug-in's dispatch, reduced to what reaches the engine.
    void dispatch(int index) {
        const double v = host.paramValue(index);
        if (index < kFirstGlobalIndex) {
            engine.applySoundParameter(index / kSoundBlockSize, index % kSoundBlockSize, v);
        } else if (index >= global::kMute && index < global::kMute + kSoundCount) {
            engine.setMute(index - global::kMute, v == 1.0);
        } else if (index >= global::kSolo && index < global::kSolo + kSoundCount) {
            engine.setSolo(index - global::kSolo, v == 1.0);
        } else if (index >= global::kSoundVolume && index < global::kSoundVolume + kSoundCount) {
            engine.setSoundVolume(index - global::kSoundVolume, v);
        } else if (index == global::kKeyboardMode) {
            engine.keyboardModeChanged(v);
        }
    }

    void set(int sound, int off, double value) { host.change(soundIndex(sound, off), value); }

    void noteOn(int offsetInBlock, int note, int velocity = 100) {
        midi.Add(
            MidiMessage::FromBytes(offsetInBlock, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)));
    }
    void noteOff(int offsetInBlock, int note) {
        midi.Add(MidiMessage::FromBytes(offsetInBlock, 0x80, static_cast<uint8_t>(note), 0));
    }

    // Renders one block; the channels hold just that block.
    void render(int frames) {
        std::array<double*, kOutputCount> out{};
        for (int c = 0; c < kOutputCount; ++c) {
            channels[static_cast<unsigned>(c)].assign(static_cast<std::size_t>(frames), 123.0);
            out[static_cast<unsigned>(c)] = channels[static_cast<unsigned>(c)].data();
        }
        engine.processBlock(midi, out.data(), frames);
    }

    // Renders `frames` in blocks of `block` and returns one channel of all of it.
    std::vector<double> renderChannel(int channel, int frames, int block = 256) {
        std::vector<double> all;
        for (int done = 0; done < frames; done += block) {
            render(std::min(block, frames - done));
            const auto& c = channels[static_cast<unsigned>(channel)];
            all.insert(all.end(), c.begin(), c.end());
        }
        return all;
    }

    static double peak(const std::vector<double>& x, std::size_t from = 0, std::size_t to = SIZE_MAX) {
        double p = 0.0;
        for (std::size_t i = from; i < std::min(to, x.size()); ++i) p = std::max(p, std::fabs(x[i]));
        return p;
    }

    // Frequency from rising zero crossings, between the first and the last.
    static double frequency(const std::vector<double>& x, double sampleRate, std::size_t from = 0) {
        long first = -1, last = -1, count = 0;
        for (std::size_t i = from + 1; i < x.size(); ++i) {
            if (x[i - 1] < 0.0 && x[i] >= 0.0) {
                if (first < 0) first = static_cast<long>(i);
                last = static_cast<long>(i);
                ++count;
            }
        }
        if (count < 2) return 0.0;
        return (count - 1) * sampleRate / static_cast<double>(last - first);
    }

    bool allZero(int channel) const {
        for (double v : channels[static_cast<unsigned>(channel)])
            if (v != 0.0) return false;
        return true;
    }
};

}  // namespace kettrix::engine::test
