// The VST 2 adapter driven through AEffect callbacks as a host drives it:
// configuration answers, pins, canDo, chunks, parameters, MIDI and audio.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "TestHost.h"
#include "TestPlug.h"
#include "plugin/EditorAttachment.h"
#include "plugin/IPlugMonoSynth.h"
#include "plugin/Instance.h"

namespace kettrix {
namespace {

using test::Dispatch;
using test::DispatchText;
using test::RecordingHost;
using test::TestPlug;

// Owns an instance for one test and closes it through the dispatcher.
class Instance {
public:
    explicit Instance(AEffect* effect) : effect_(effect) {}
    ~Instance() {
        if (effect_ != nullptr) {
            Dispatch(effect_, effClose);
        }
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    AEffect* operator->() const { return effect_; }
    AEffect* get() const { return effect_; }
    AEffect* release() { return std::exchange(effect_, nullptr); }

private:
    AEffect* effect_;
};

AEffect* NewSynth() { return CreateVstInstance(RecordingHost::Callback); }

AEffect* NewTestPlug() { return (new TestPlug(RecordingHost::Callback))->GetAEffect(); }

TestPlug& PlugOf(AEffect* effect) { return *static_cast<TestPlug*>(effect->object); }

// Channel buffers as a host allocates them.
template <typename Sample>
struct Buffers {
    Buffers(int channels, int frames, Sample fill) : data(channels, std::vector<Sample>(frames, fill)) {
        for (auto& channel : data) {
            pointers.push_back(channel.data());
        }
    }
    Sample** get() { return pointers.data(); }
    std::vector<std::vector<Sample>> data;
    std::vector<Sample*> pointers;
};

class Adapter : public ::testing::Test {
protected:
    void SetUp() override { RecordingHost::Instance().Reset(); }
};

TEST_F(Adapter, SynthReportsItsConfiguration) {
    Instance synth(NewSynth());
    ASSERT_NE(synth.get(), nullptr);
    EXPECT_EQ(synth->magic, 0x56737450);
    EXPECT_EQ(synth->numParams, 1393);
    EXPECT_EQ(synth->numPrograms, 128);
    EXPECT_EQ(synth->numInputs, 0);
    EXPECT_EQ(synth->numOutputs, 12);
    EXPECT_EQ(synth->flags, 0x1130 | effFlagsHasEditor);
    EXPECT_EQ(synth->uniqueID, 0x4B545834);
    EXPECT_EQ(synth->version, 10000);
    EXPECT_EQ(synth->initialDelay, 0);
    EXPECT_EQ(synth->ioRatio, 1.0f);
    EXPECT_NE(synth->process, synth->processReplacing);
    EXPECT_NE(synth->processDoubleReplacing, nullptr);

    EXPECT_EQ(DispatchText(synth.get(), effGetEffectName), "Kettrix4");
    EXPECT_EQ(DispatchText(synth.get(), effGetVendorString), "Sorvane");
    EXPECT_EQ(DispatchText(synth.get(), effGetProductString), "");
    EXPECT_EQ(Dispatch(synth.get(), effGetProgramNameIndexed, 127), 1);
    EXPECT_EQ(Dispatch(synth.get(), effGetVendorVersion), 0);
    EXPECT_EQ(Dispatch(synth.get(), effGetVstVersion), 2400);
    EXPECT_EQ(Dispatch(synth.get(), effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(Dispatch(synth.get(), effIdentify), 0x4E764566);
    EXPECT_EQ(Dispatch(synth.get(), effCanBeAutomated, 5), 1);
    EXPECT_EQ(Dispatch(synth.get(), effGetProgramNameIndexed, 128), 0);
    EXPECT_EQ(Dispatch(synth.get(), effEditGetRect), 0);  // nowhere to store the rectangle
    ERect* rect = nullptr;
    ASSERT_EQ(Dispatch(synth.get(), effEditGetRect, 0, 0, &rect), 1);  // before any window exists
    EXPECT_EQ(rect->right - rect->left, 839);
    EXPECT_EQ(rect->bottom - rect->top, 556);
    EXPECT_EQ(Dispatch(synth.get(), 70), 0);
    EXPECT_EQ(Dispatch(synth.get(), -1), 0);
}

TEST_F(Adapter, PinsAreNumberedOutputsInStereoPairs) {
    Instance synth(NewSynth());
    for (int pin = 0; pin < 12; ++pin) {
        VstPinProperties properties{};
        ASSERT_EQ(Dispatch(synth.get(), effGetOutputProperties, pin, 0, &properties), 1);
        EXPECT_STREQ(properties.label, ("Output " + std::to_string(pin + 1)).c_str());
        EXPECT_TRUE(properties.flags & kVstPinIsActive);
        EXPECT_EQ((properties.flags & kVstPinIsStereo) != 0, pin % 2 == 0) << pin;
    }
    VstPinProperties properties{};
    EXPECT_EQ(Dispatch(synth.get(), effGetOutputProperties, 12, 0, &properties), 0);
    EXPECT_EQ(Dispatch(synth.get(), effGetOutputProperties, -1, 0, &properties), 0);
    EXPECT_EQ(Dispatch(synth.get(), effGetInputProperties, 0, 0, &properties), 0);
    EXPECT_EQ(Dispatch(synth.get(), effGetOutputProperties, 0, 0, nullptr), 0);

    VstSpeakerArrangement* inputs = nullptr;
    VstSpeakerArrangement* outputs = nullptr;
    ASSERT_EQ(Dispatch(synth.get(), effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&inputs), &outputs), 1);
    EXPECT_EQ(inputs->type, kSpeakerArrEmpty);
    EXPECT_EQ(inputs->numChannels, 0);
    EXPECT_EQ(outputs->type, kSpeakerArrUserDefined);
    EXPECT_EQ(outputs->numChannels, 12);
}

TEST_F(Adapter, CanDoAnswers) {
    Instance synth(NewSynth());
    auto canDo = [&](const char* text) { return Dispatch(synth.get(), effCanDo, 0, 0, const_cast<char*>(text)); };
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(canDo("receiveVstEvents"), 1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(canDo("hasCockosExtensions"), static_cast<intptr_t>(0xBEEF0000u));
    EXPECT_EQ(canDo("bypass"), 0);
    EXPECT_EQ(canDo("receiveVstMidiEventX"), 0);
    EXPECT_EQ(Dispatch(synth.get(), effCanDo, 0, 0, nullptr), 0);
    auto* plug = static_cast<IPlugMonoSynth*>(synth->object);
    EXPECT_EQ(plug->HostExtensionFlags(), 1);
}

TEST_F(Adapter, ParameterTextsAndHostConversions) {
    Instance effect(NewTestPlug());
    EXPECT_EQ(DispatchText(effect.get(), effGetParamName, TestPlug::kGain), "Gain");
    EXPECT_EQ(DispatchText(effect.get(), effGetParamLabel, TestPlug::kGain), "dB");
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kGain), "0.500");
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kEnable), "off");
    EXPECT_EQ(DispatchText(effect.get(), effGetParamLabel, TestPlug::kEnable), "");
    EXPECT_EQ(DispatchText(effect.get(), effGetParamName, TestPlug::kNumParams), "");

    effect->setParameter(effect.get(), TestPlug::kSteps, 0.5f);
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kSteps), "4");
    EXPECT_FLOAT_EQ(effect->getParameter(effect.get(), TestPlug::kSteps), 4.0f / 7.0f);
    EXPECT_EQ(PlugOf(effect.get()).changed.back(), TestPlug::kSteps);
    EXPECT_EQ(effect->getParameter(effect.get(), 99), 0.0f);
    effect->setParameter(effect.get(), -3, 0.5f);  // ignored

    // The REAPER extensions: display of a normalized value, integer steps.
    char text[256] = {};
    EXPECT_EQ(Dispatch(effect.get(), effVendorSpecific, 7, TestPlug::kGain, text, 0.75f), 0xBEEF);
    EXPECT_STREQ(text, "1.500");
    EXPECT_EQ(Dispatch(effect.get(), effVendorSpecific, 7, TestPlug::kGain, nullptr, 0.75f), 0);
    EXPECT_EQ(Dispatch(effect.get(), effVendorSpecific, 8, TestPlug::kSteps), 0xBEEF);
    EXPECT_EQ(Dispatch(effect.get(), effVendorSpecific, 8, TestPlug::kGain), 0);
    EXPECT_EQ(Dispatch(effect.get(), effVendorSpecific, 8, 1000), 0);
}

TEST_F(Adapter, String2ParameterAcceptsSwitchTextsAndNumbers) {
    Instance effect(NewTestPlug());
    auto set = [&](int index, const char* text) {
        return Dispatch(effect.get(), effString2Parameter, index, 0, const_cast<char*>(text));
    };
    EXPECT_EQ(set(TestPlug::kEnable, "on"), 1);
    EXPECT_EQ(effect->getParameter(effect.get(), TestPlug::kEnable), 1.0f);
    EXPECT_EQ(set(TestPlug::kEnable, "maybe"), 0);
    EXPECT_EQ(set(TestPlug::kEnable, "On"), 0);  // exact match only
    EXPECT_EQ(effect->getParameter(effect.get(), TestPlug::kEnable), 1.0f);

    EXPECT_EQ(set(TestPlug::kGain, "1.5"), 1);
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kGain), "1.500");
    EXPECT_EQ(set(TestPlug::kGain, "40"), 1);  // clamped to the range
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kGain), "2.000");
    EXPECT_EQ(set(TestPlug::kTune, "0.25"), 1);  // negated display reads back negated
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kTune), "0.25");
    EXPECT_FLOAT_EQ(effect->getParameter(effect.get(), TestPlug::kTune), 0.375f);

    EXPECT_EQ(set(TestPlug::kGain, nullptr), 1);
    EXPECT_EQ(set(TestPlug::kNumParams, "1"), 0);
}

// The host's text (effString2Parameter) and the editor's text entry read a
// text alike: both take it or both refuse it, and a taken text leaves the
// parameter at the value the editor computed. Texts that name no value
// (unknown names, no number, infinities, NaN) change nothing.
TEST_F(Adapter, HostAndEditorReadTypedTextAlikeAndRefuseWhatNamesNoValue) {
    Instance effect(NewTestPlug());
    auto* plug = static_cast<TestPlug*>(static_cast<IPlugVST*>(effect->object));
    PlugForGraphics editorSide(*plug);
    const char* const texts[] = {"1.5",   "40", "-40", "0.25", "3",    "12",  "on",    "off",  "On",
                                 "maybe", "",   "abc", "inf",  "-inf", "nan", "1e400", " 0.5", "0.5 dB"};
    const char* const refusedByAll[] = {"", "abc", "inf", "-inf", "nan", "1e400", "maybe"};
    for (int index : {TestPlug::kGain, TestPlug::kSteps, TestPlug::kEnable, TestPlug::kTune}) {
        for (const char* text : texts) {
            effect->setParameter(effect.get(), index, 0.5f);
            const float before = effect->getParameter(effect.get(), index);
            double editorValue = -1.0;
            const bool editorTakes = editorSide.ParamFromText(index, text, &editorValue);
            const bool hostTakes = Dispatch(effect.get(), effString2Parameter, index, 0, const_cast<char*>(text)) == 1;
            EXPECT_EQ(hostTakes, editorTakes) << index << " '" << text << "'";
            const float after = effect->getParameter(effect.get(), index);
            if (hostTakes && editorTakes) {
                EXPECT_GE(editorValue, 0.0);
                EXPECT_LE(editorValue, 1.0);
                EXPECT_FLOAT_EQ(after, static_cast<float>(editorValue)) << index << " '" << text << "'";
            } else {
                EXPECT_EQ(after, before) << index << " '" << text << "'";
            }
        }
        for (const char* text : refusedByAll) {
            double unused = 0.0;
            EXPECT_FALSE(editorSide.ParamFromText(index, text, &unused)) << index << " '" << text << "'";
        }
    }
    double gain = -1.0;
    ASSERT_TRUE(editorSide.ParamFromText(TestPlug::kGain, "40", &gain));
    EXPECT_EQ(gain, 1.0);  // kept within the range
    double enable = -1.0;
    ASSERT_TRUE(editorSide.ParamFromText(TestPlug::kEnable, "on", &enable));
    EXPECT_EQ(enable, 1.0);
}

TEST_F(Adapter, ProgramChunkStartsWithTheHeaderAndRoundTripsByteForByte) {
    Instance effect(NewTestPlug());
    effect->setParameter(effect.get(), TestPlug::kGain, 0.3f);
    effect->setParameter(effect.get(), TestPlug::kEnable, 1.0f);
    const std::vector<uint8_t> saved = test::GetChunkBytes(effect.get(), 1);
    ASSERT_EQ(saved.size(), 8u + 8u * TestPlug::kNumParams);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 8),
              (std::vector<uint8_t>{'t', 'f', 'f', 'p', 0x00, 0x00, 0x01, 0x00}));

    effect->setParameter(effect.get(), TestPlug::kGain, 0.9f);
    effect->setParameter(effect.get(), TestPlug::kEnable, 0.0f);
    ASSERT_EQ(test::SetChunkBytes(effect.get(), 1, saved), 1);
    EXPECT_FLOAT_EQ(effect->getParameter(effect.get(), TestPlug::kGain), 0.3f);
    EXPECT_EQ(effect->getParameter(effect.get(), TestPlug::kEnable), 1.0f);
    EXPECT_EQ(test::GetChunkBytes(effect.get(), 1), saved);
}

TEST_F(Adapter, ChunkHeaderIsOptionalButAVersionMustFollowTheMagic) {
    Instance effect(NewTestPlug());
    // A bare state (no header) is read from position 0, for either index.
    std::vector<uint8_t> withHeader = test::GetChunkBytes(effect.get(), 1);
    Chunk bare;
    for (double value : {1.0, 5.0, 1.0, 0.5}) {
        bare.PutDouble(value);
    }
    std::vector<uint8_t> bareBytes(bare.Data(), bare.Data() + bare.Size());
    ASSERT_EQ(test::SetChunkBytes(effect.get(), 0, bareBytes), 1);
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kSteps), "5");
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kTune), "-0.50");

    // The magic without its version changes nothing and fails.
    const std::vector<uint8_t> magicOnly(withHeader.begin(), withHeader.begin() + 4);
    PlugOf(effect.get()).changed.clear();
    EXPECT_EQ(test::SetChunkBytes(effect.get(), 1, magicOnly), 0);
    EXPECT_TRUE(PlugOf(effect.get()).changed.empty());
    EXPECT_EQ(DispatchText(effect.get(), effGetParamDisplay, TestPlug::kSteps), "5");

    // No data or no size: nothing happens.
    EXPECT_EQ(Dispatch(effect.get(), effSetChunk, 1, 16, nullptr), 0);
    EXPECT_EQ(Dispatch(effect.get(), effSetChunk, 1, 0, withHeader.data()), 0);
    EXPECT_EQ(Dispatch(effect.get(), effSetChunk, 1, -8, withHeader.data()), 0);
    EXPECT_TRUE(PlugOf(effect.get()).changed.empty());

    // A state cut short is reported as a failure.
    withHeader.resize(withHeader.size() - 3);
    EXPECT_EQ(test::SetChunkBytes(effect.get(), 1, withHeader), 0);
}

TEST_F(Adapter, BankChunkRoundTripsByteForByte) {
    Instance synth(NewSynth());
    ASSERT_EQ(Dispatch(synth.get(), effSetProgram, 0, 7), 0);
    char name[] = "Heavy kit";
    Dispatch(synth.get(), effSetProgramName, 0, 0, name);
    const std::vector<uint8_t> bank = test::GetChunkBytes(synth.get(), 0);
    ASSERT_GT(bank.size(), 128u * (4 + 1 + 8 * 1393));

    Instance other(NewSynth());
    ASSERT_EQ(test::SetChunkBytes(other.get(), 0, bank), 1);
    EXPECT_EQ(DispatchText(other.get(), effGetProgramNameIndexed, 7), "Heavy kit");
    EXPECT_EQ(test::GetChunkBytes(other.get(), 0), bank);
}

TEST_F(Adapter, BankCutInsideSlotFiveChangesNothingAndFails) {
    Instance effect(NewTestPlug());
    char name[32];
    for (int slot = 0; slot < TestPlug::kNumPresets; ++slot) {
        Dispatch(effect.get(), effSetProgram, 0, slot);
        effect->setParameter(effect.get(), TestPlug::kGain, 0.1f * static_cast<float>(slot));
        std::snprintf(name, sizeof name, "slot %d", slot);
        Dispatch(effect.get(), effSetProgramName, 0, 0, name);
    }
    Dispatch(effect.get(), effSetProgram, 0, 0);
    std::vector<uint8_t> bank = test::GetChunkBytes(effect.get(), 0);

    // Slot records are: name (4 + 6 bytes), flag, 4 doubles.
    const std::size_t slotSize = 4 + 6 + 1 + 8 * TestPlug::kNumParams;
    bank.resize(8 + 5 * slotSize + slotSize / 2);
    for (int slot = 0; slot < TestPlug::kNumPresets; ++slot) {
        Dispatch(effect.get(), effSetProgram, 0, slot);
        std::snprintf(name, sizeof name, "renamed %d", slot);
        Dispatch(effect.get(), effSetProgramName, 0, 0, name);
    }
    Dispatch(effect.get(), effSetProgram, 0, 2);
    effect->setParameter(effect.get(), TestPlug::kGain, 0.9f);  // live, not yet stored
    PlugOf(effect.get()).changed.clear();
    EXPECT_EQ(test::SetChunkBytes(effect.get(), 0, bank), 0);
    for (int slot = 0; slot < TestPlug::kNumPresets; ++slot) {
        EXPECT_EQ(DispatchText(effect.get(), effGetProgramNameIndexed, slot), "renamed " + std::to_string(slot));
    }
    EXPECT_EQ(Dispatch(effect.get(), effGetProgram), 2);
    EXPECT_TRUE(PlugOf(effect.get()).changed.empty());
    EXPECT_NEAR(effect->getParameter(effect.get(), TestPlug::kGain), 0.9f, 1e-6);
    Dispatch(effect.get(), effSetProgram, 0, 1);
    EXPECT_NEAR(effect->getParameter(effect.get(), TestPlug::kGain), 0.1f, 1e-6);
}

TEST_F(Adapter, FloatReplacingOverwritesAndAccumulatingAdds) {
    Instance effect(NewTestPlug());
    constexpr int kFrames = 64;
    Buffers<float> replaced(4, kFrames, 9.0f);
    effect->processReplacing(effect.get(), nullptr, replaced.get(), kFrames);
    Buffers<float> accumulated(4, kFrames, 1.0f);
    effect->process(effect.get(), nullptr, accumulated.get(), kFrames);
    Buffers<double> doubled(4, kFrames, 9.0);
    effect->processDoubleReplacing(effect.get(), nullptr, doubled.get(), kFrames);
    for (int c = 0; c < 4; ++c) {
        for (int s = 0; s < kFrames; ++s) {
            ASSERT_EQ(replaced.data[c][s], 0.125f * (c + 1));
            ASSERT_EQ(accumulated.data[c][s], 1.0f + 0.125f * (c + 1));
            ASSERT_EQ(doubled.data[c][s], 0.125 * (c + 1));
        }
    }
    // Denormals are flushed while rendering, and only then.
    EXPECT_EQ(PlugOf(effect.get()).denormalProduct, 0.0);
    volatile double tiny = 1e-310;
    EXPECT_GT(tiny * 0.5, 0.0);
    // Each block asked the host for MIDI first.
    EXPECT_EQ(RecordingHost::Instance().Count(audioMasterWantMidi), 3);
}

TEST_F(Adapter, ScratchBuffersFollowTheBlockSizeAndStartZeroed) {
    Instance effect(NewTestPlug());
    TestPlug& plug = PlugOf(effect.get());
    plug.writeSignal = false;
    Dispatch(effect.get(), effSetBlockSize, 0, 256);
    Buffers<float> outputs(4, 600, 9.0f);
    effect->processReplacing(effect.get(), nullptr, outputs.get(), 256);
    EXPECT_TRUE(plug.enteredZeroed);
    EXPECT_EQ(plug.blockLengths, (std::vector<int>{256}));
    EXPECT_EQ(outputs.data[3][255], 0.0f);
    EXPECT_EQ(outputs.data[3][256], 9.0f);  // past the block: untouched

    // A host block longer than announced is rendered in pieces.
    plug.blockLengths.clear();
    effect->processReplacing(effect.get(), nullptr, outputs.get(), 600);
    EXPECT_EQ(plug.blockLengths, (std::vector<int>{256, 256, 88}));
    EXPECT_EQ(outputs.data[0][599], 0.0f);
}

TEST_F(Adapter, SpeakerArrangementDisconnectsTrailingOutputs) {
    Instance effect(NewTestPlug());
    VstSpeakerArrangement stereo{};
    stereo.type = kSpeakerArrStereo;
    stereo.numChannels = 2;
    ASSERT_EQ(Dispatch(effect.get(), effSetSpeakerArrangement, 0, 0, &stereo), 1);
    Buffers<float> outputs(4, 32, 9.0f);
    effect->processReplacing(effect.get(), nullptr, outputs.get(), 32);
    EXPECT_EQ(outputs.data[1][0], 0.25f);
    EXPECT_EQ(outputs.data[2][0], 9.0f);
    EXPECT_EQ(outputs.data[3][0], 9.0f);
}

TEST_F(Adapter, HostileAudioAndDispatcherCallsAreSafe) {
    Instance effect(NewTestPlug());
    TestPlug& plug = PlugOf(effect.get());
    Buffers<float> outputs(4, 64, 9.0f);
    effect->processReplacing(effect.get(), nullptr, outputs.get(), 0);
    effect->processReplacing(effect.get(), nullptr, outputs.get(), -64);
    effect->processReplacing(effect.get(), nullptr, nullptr, 64);
    EXPECT_TRUE(plug.blockLengths.empty());
    EXPECT_EQ(outputs.data[0][0], 9.0f);

    outputs.pointers[1] = nullptr;  // a missing channel buffer is skipped
    Dispatch(effect.get(), effSetBlockSize, 0, -5);
    Dispatch(effect.get(), effSetSampleRate, 0, 0, nullptr, 0.0f);
    Dispatch(effect.get(), effSetSampleRate, 0, 0, nullptr, std::nanf(""));
    // Rates no audio hardware runs at (the engine's counters would overflow).
    Dispatch(effect.get(), effSetSampleRate, 0, 0, nullptr, 1.5e16f);
    Dispatch(effect.get(), effSetSampleRate, 0, 0, nullptr, 7999.0f);
    effect->processReplacing(effect.get(), nullptr, outputs.get(), 64);
    EXPECT_EQ(plug.GetSampleRate(), 44100.0);
    EXPECT_EQ(outputs.data[0][63], 0.125f);
    EXPECT_EQ(outputs.data[2][63], 0.375f);

    Dispatch(effect.get(), effSetSampleRate, 0, 0, nullptr, 768000.0f);  // the highest rate taken
    EXPECT_EQ(plug.GetSampleRate(), 768000.0);

    AEffect orphan = *effect.get();
    orphan.object = nullptr;
    EXPECT_EQ(Dispatch(&orphan, effGetVstVersion), 0);
    EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
}

TEST_F(Adapter, MidiEventsAreQueuedInOffsetOrderWithMaskedBytes) {
    Instance synth(NewSynth());
    test::EventList events;
    events.Add(test::MidiEvent(20, 0x90, 1, 100));
    events.Add(test::MidiEvent(20, 0x90, 2, 100));
    events.AddNull();
    events.Add(test::MidiEvent(5, 0x90, 0xC5, 0xFF));  // corrupt data bytes
    ASSERT_EQ(Dispatch(synth.get(), effProcessEvents, 0, 0, events.Build()), 1);

    const MidiQueue& queue = static_cast<IPlugMonoSynth*>(synth->object)->GetMidiQueue();
    ASSERT_EQ(queue.Pending(), 3);
    EXPECT_EQ(queue.PendingAt(0).offset, 5);
    EXPECT_EQ(queue.PendingAt(0).data1, 0x45);
    EXPECT_EQ(queue.PendingAt(0).data2, 0x7F);
    EXPECT_EQ(queue.PendingAt(1).data1, 1);
    EXPECT_EQ(queue.PendingAt(2).data1, 2);

    VstEvents negative{};
    negative.numEvents = -4;
    EXPECT_EQ(Dispatch(synth.get(), effProcessEvents, 0, 0, &negative), 1);
    EXPECT_EQ(Dispatch(synth.get(), effProcessEvents, 0, 0, nullptr), 0);
    EXPECT_EQ(queue.Pending(), 3);

    // The block that follows renders them.
    Buffers<float> outputs(12, 64, 9.0f);
    synth->processReplacing(synth.get(), nullptr, outputs.get(), 64);
    for (const auto& channel : outputs.data) {
        for (float sample : channel) {
            ASSERT_TRUE(std::isfinite(sample));
        }
    }
}

TEST_F(Adapter, ClosingOneInstanceLeavesAnotherWorking) {
    Instance first(NewSynth());
    Instance second(NewSynth());
    ASSERT_NE(first->object, second->object);
    Dispatch(first.get(), effOpen);
    Dispatch(second.get(), effOpen);
    Dispatch(first.release(), effClose);

    Dispatch(second.get(), effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Dispatch(second.get(), effMainsChanged, 0, 1);
    Buffers<double> outputs(12, 128, 9.0);
    second->processDoubleReplacing(second.get(), nullptr, outputs.get(), 128);
    EXPECT_EQ(outputs.data[11][127], 0.0);
    EXPECT_EQ(DispatchText(second.get(), effGetEffectName), "Kettrix4");
}

TEST_F(Adapter, HostIsIdentifiedOnOpenAndHostCallsCarryTheirArguments) {
    RecordingHost& host = RecordingHost::Instance();
    host.productString = "REAPER";
    host.vendorVersion = 12345;
    Instance effect(NewTestPlug());
    TestPlug& plug = PlugOf(effect.get());
    EXPECT_EQ(plug.GetHost(), kHostUninit);
    plug.changed.clear();
    Dispatch(effect.get(), effOpen);
    EXPECT_EQ(plug.GetHost(), kHostReaper);
    EXPECT_EQ(plug.GetHostVersion(), (1 << 16) | (23 << 8) | 45);
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2, 3}));  // every parameter, in order

    plug.SetParameterFromEditor(TestPlug::kGain, 0.25);
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.back().opcode, audioMasterAutomate);
    EXPECT_EQ(host.calls.back().index, TestPlug::kGain);
    EXPECT_EQ(host.calls.back().opt, 0.25f);

    VstTimeInfo time{};
    time.samplePos = 1000.5;
    time.tempo = 128.0;
    time.timeSigNumerator = 7;
    time.timeSigDenominator = 8;
    time.flags = kVstTempoValid | kVstTimeSigValid | kVstTransportPlaying;
    host.timeInfo = &time;
    EXPECT_EQ(plug.HostSamplePosition(), 1001);
    EXPECT_EQ(plug.HostTempo(), 128.0);
    HostTimeInfoRecord info;
    plug.HostTimeInfo(&info);
    EXPECT_EQ(info.samplePos, 1000.5);
    EXPECT_EQ(info.numerator, 7);
    EXPECT_TRUE(info.transportIsRunning);
    time.flags = 0;
    int numerator = -1;
    int denominator = -1;
    plug.HostTimeSignature(&numerator, &denominator);
    EXPECT_EQ(numerator, 0);
    host.timeInfo = nullptr;
    EXPECT_EQ(plug.HostSamplePosition(), 0);

    host.processLevel = kVstProcessLevelOffline;
    EXPECT_TRUE(plug.HostIsOffline());
    EXPECT_TRUE(plug.SendMidiToHost(MidiMessage::FromBytes(3, 0x80, 60, 0)));
    ASSERT_EQ(host.midiOut.size(), 1u);
    EXPECT_EQ(host.midiOut[0].deltaFrames, 3);
    EXPECT_EQ(host.midiOut[0].midiData[1], 60);
}

TEST(HostLookup, FirstMatchingFragmentWinsCaseInsensitively) {
    EXPECT_EQ(LookUpHost("Cubase Nuendo"), kHostCubase);
    EXPECT_EQ(LookUpHost("Ableton Live"), kHostAbletonLive);
    EXPECT_EQ(LookUpHost("PreSonus Studio One"), kHostStudioOne);
    EXPECT_EQ(LookUpHost("kettrix-render"), kHostUnknown);
    EXPECT_EQ(LookUpHost(""), kHostUnknown);
    EXPECT_EQ(PackHostVersion(2400), (0 << 16) | (24 << 8));
}

// Records what the plug-in hands to its editor.
class FakeGraphics : public IGraphicsLink {
public:
    struct Update {
        int index;
        double value;
        bool normalized;
    };
    void SetParameterFromPlug(int index, double value, bool normalized) override {
        updates.push_back({index, value, normalized});
    }
    int Width() const override { return 839; }
    int Height() const override { return 556; }
    void PrepDraw() override { ++prepared; }
    bool OpenWindow(void* parent) override {
        openedIn = parent;
        return parent != nullptr;
    }
    void CloseWindow() override { ++closed; }
    void Idle() override { ++idled; }

    std::vector<Update> updates;
    int prepared = 0;
    int closed = 0;
    int idled = 0;
    void* openedIn = nullptr;
};

TEST_F(Adapter, EditorOpenAndCloseAreHarmlessInAnyOrder) {
    Instance effect(NewTestPlug());
    auto graphics = std::make_unique<FakeGraphics>();
    FakeGraphics& fake = *graphics;
    TestPlug& plug = PlugOf(effect.get());
    plug.AttachEditor(std::move(graphics));
    int parent = 0;
    EXPECT_EQ(Dispatch(effect.get(), effEditClose), 1);  // closing what was never opened
    EXPECT_EQ(plug.editorClosed, 0);
    EXPECT_EQ(Dispatch(effect.get(), effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(Dispatch(effect.get(), effEditOpen, 0, 0, &parent), 1);  // again, without a close
    EXPECT_EQ(plug.editorOpened, 1);
    EXPECT_EQ(Dispatch(effect.get(), effEditClose), 1);
    EXPECT_EQ(Dispatch(effect.get(), effEditClose), 1);  // twice
    EXPECT_EQ(plug.editorClosed, 1);
    EXPECT_EQ(fake.closed, 3);  // the window host is told every time and copes
    ERect* rect = nullptr;
    ASSERT_EQ(Dispatch(effect.get(), effEditGetRect, 0, 0, &rect), 1);  // after the window is gone
    EXPECT_EQ(rect->right - rect->left, 839);
}

TEST_F(Adapter, AttachedEditorGetsValuesRectAndWindowCalls) {
    Instance effect(NewTestPlug());
    auto graphics = std::make_unique<FakeGraphics>();
    FakeGraphics& fake = *graphics;
    PlugOf(effect.get()).AttachEditor(std::move(graphics));
    EXPECT_EQ(fake.prepared, 1);
    ASSERT_EQ(fake.updates.size(), 4u);
    EXPECT_TRUE(fake.updates[0].normalized);
    EXPECT_DOUBLE_EQ(fake.updates[0].value, 0.25);  // gain 0.5 of 0..2
    EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);

    ERect* rect = nullptr;
    ASSERT_EQ(Dispatch(effect.get(), effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 839);
    EXPECT_EQ(rect->bottom - rect->top, 556);

    int parent = 0;
    EXPECT_EQ(Dispatch(effect.get(), effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(fake.openedIn, &parent);
    EXPECT_EQ(Dispatch(effect.get(), effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(Dispatch(effect.get(), effEditIdle), 0);
    EXPECT_EQ(fake.idled, 1);
    EXPECT_EQ(Dispatch(effect.get(), effEditClose), 1);
    EXPECT_EQ(fake.closed, 1);

    fake.updates.clear();
    effect->setParameter(effect.get(), TestPlug::kSteps, 1.0f);
    char seven[] = "3";
    Dispatch(effect.get(), effString2Parameter, TestPlug::kSteps, 0, seven);
    effect->setParameter(effect.get(), TestPlug::kSteps, std::nanf(""));
    char tooMany[] = "12";
    Dispatch(effect.get(), effString2Parameter, TestPlug::kSteps, 0, tooMany);
    ASSERT_EQ(fake.updates.size(), 4u);
    EXPECT_EQ(fake.updates[2].value, 0.0);  // NaN from the host
    EXPECT_EQ(fake.updates[3].value, 7.0);  // clamped to the range
    EXPECT_TRUE(fake.updates[0].normalized);
    EXPECT_FALSE(fake.updates[1].normalized);
    EXPECT_EQ(fake.updates[1].value, 3.0);
}

}  // namespace
}  // namespace kettrix
