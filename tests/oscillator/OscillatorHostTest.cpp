// The oscillator section heard through the plug-in as a host drives it:
// instance creation, parameters set through setParameter, a note through
// effProcessEvents and audio through processReplacing.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "AudioMeasure.h"
#include "kit/ParameterTable.h"
#include "plugin/Instance.h"
#include "plugin/Vst2Abi.h"

namespace {

using namespace kettrix;

constexpr float kRate = 44100.0f;
constexpr int kBlock = 512;
constexpr int kChannels = 12;

intptr_t KETTRIX_VST_CALL quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

class OscillatorThroughHost : public ::testing::Test {
protected:
    void SetUp() override {
        effect = CreateVstInstance(quietHost);
        ASSERT_NE(effect, nullptr);
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, kRate);
        dispatch(effSetBlockSize, 0, kBlock);
        dispatch(effMainsChanged, 0, 1);
    }
    void TearDown() override {
        if (effect) {
            dispatch(effMainsChanged, 0, 0);
            dispatch(effClose);
        }
    }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    // Sets sound 0's parameter by its table name to a plain value.
    void set(std::string_view name, double plain) {
        for (int off = 0; off < kit::kSoundBlockSize; ++off) {
            if (kit::soundBaseName(0, off) != name) continue;
            const int index = kit::soundIndex(0, off);
            const kit::ParamInfo& info = kit::parameterInfo(index);
            effect->setParameter(effect, index, float((plain - info.min) / (info.max - info.min)));
            return;
        }
        FAIL() << "no parameter named " << name;
    }

    void note(int key, int velocity) {
        VstMidiEvent midi{};
        midi.type = kVstMidiType;
        midi.byteSize = sizeof(VstMidiEvent);
        midi.midiData[0] = char(velocity > 0 ? 0x90 : 0x80);
        midi.midiData[1] = char(key);
        midi.midiData[2] = char(velocity);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&midi);
        dispatch(effProcessEvents, 0, 0, &events);
    }

    // Renders `frames` samples of every channel.
    std::array<std::vector<double>, kChannels> render(int frames) {
        std::array<std::vector<double>, kChannels> out;
        std::array<std::vector<float>, kChannels> block;
        std::array<float*, kChannels> pointers{};
        for (int c = 0; c < kChannels; ++c) {
            block[c].resize(kBlock);
            pointers[c] = block[c].data();
        }
        for (int done = 0; done < frames; done += kBlock) {
            effect->processReplacing(effect, nullptr, pointers.data(), kBlock);
            for (int c = 0; c < kChannels; ++c) out[c].insert(out[c].end(), block[c].begin(), block[c].end());
        }
        return out;
    }

    // Sound 0 as a bare "Sine (pure)" on key 36: no noise, hit, effect,
    // filter or envelopes other than a held volume.
    void plainSine(double pitch) {
        set("Osc1 type", 1);
        set("Osc2 type", 0);
        set("Osc1 pitch", pitch);
        set("Osc FM", 0);
        set("Osc filter type", 0);
        set("Osc filter keytrack", 0);
        set("Osc modulation depth", 0);
        set("Osc filter depth", 0);
        set("Osc volume envelope mode", 1);
        set("Osc volume attack", 0);
        set("Osc volume depth", 1);
        set("Osc volume", 1);
        set("Osc mute", 1);
        set("Noise1 type", 0);
        set("Noise2 type", 0);
        set("Hit type", 0);
        set("Effect type", 0);
        set("Pan", 0.5);
        set("Channel", 0);
        set("KeyLo", 36);
        set("KeyHi", 36);
        render(kBlock * 40);  // smoothed values settle
    }

    AEffect* effect = nullptr;
};

TEST_F(OscillatorThroughHost, SinePureAtHalfPitchSounds440TimesTableStretch) {
    plainSine(0.5);
    note(36, 127);
    const auto out = render(int(kRate) + 4096);
    const std::vector<double> steady(out[0].begin() + 4096, out[0].end());
    EXPECT_NEAR(test::zeroCrossingFrequency(steady, kRate), 440.0 * 1024.0 / 1023.0, 0.05);
    EXPECT_GT(test::peak(steady), 0.05);
    EXPECT_EQ(out[0], out[1]);  // centred: both sides of pair 0 alike
    for (int c = 2; c < kChannels; ++c) EXPECT_EQ(test::peak(out[c]), 0.0) << "channel " << c;
}

TEST_F(OscillatorThroughHost, KeysAboveTheRangeBottomRaiseThePitchBySemitones) {
    plainSine(0.5);
    set("KeyHi", 48);
    render(kBlock * 4);
    note(43, 127);  // seven keys up: a fifth
    const auto out = render(int(kRate) + 4096);
    const std::vector<double> steady(out[0].begin() + 4096, out[0].end());
    EXPECT_NEAR(test::zeroCrossingFrequency(steady, kRate) / (440.0 * std::pow(2.0, 7.0 / 12.0) * 1024.0 / 1023.0), 1.0,
                1e-4);
}

}  // namespace
