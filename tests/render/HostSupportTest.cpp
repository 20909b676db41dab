// The host's own pieces: WAV files, event records and the host callback.
#include "EventBlock.h"
#include "HostContext.h"
#include "WavReader.h"
#include "WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace kettrix::render;
using namespace kettrix::tools;
using kettrix::render::test::readWav;

namespace {

std::string scratchPath(const std::string& name) {
    return std::string(KETTRIX_TEST_SCRATCH_DIR) + "/host-support-" + name;
}

}  // namespace

TEST(WavWriter, WritesIeeeFloatHeadersThatMatchTheData) {
    const std::string path = scratchPath("three.wav");
    {
        WavWriter writer(path, 3, 48000);
        float frames[2 * 3] = {0.5f, -0.25f, 1.0f, -1.0f, 0.125f, 3.0e-9f};
        writer.write(frames, 2);
        writer.write(frames, 1);
        writer.finish();
        EXPECT_EQ(writer.framesWritten(), 3u);
    }
    const auto wav = readWav(path);
    ASSERT_TRUE(wav.valid) << wav.problem;
    EXPECT_EQ(wav.formatTag, 3) << "WAVE_FORMAT_IEEE_FLOAT";
    EXPECT_EQ(wav.channels, 3);
    EXPECT_EQ(wav.sampleRate, 48000u);
    EXPECT_EQ(wav.bitsPerSample, 32);
    EXPECT_EQ(wav.blockAlign, 12);
    EXPECT_EQ(wav.byteRate, 48000u * 12u);
    EXPECT_TRUE(wav.hasFact);
    EXPECT_EQ(wav.factFrames, 3u);
    ASSERT_EQ(wav.frames(), 3u);
    EXPECT_EQ(wav.at(0, 2), 1.0f);
    EXPECT_EQ(wav.at(1, 2), 3.0e-9f);
    EXPECT_EQ(wav.at(2, 1), -0.25f);
}

TEST(WavWriter, AnEmptyRenderIsStillAValidFile) {
    const std::string path = scratchPath("empty.wav");
    { WavWriter writer(path, 2, 44100); }  // finished by the destructor
    const auto wav = readWav(path);
    ASSERT_TRUE(wav.valid) << wav.problem;
    EXPECT_EQ(wav.frames(), 0u);
    EXPECT_EQ(wav.factFrames, 0u);
}

TEST(WavWriter, FailuresAreReported) {
    EXPECT_THROW(WavWriter(scratchPath("no-such-dir/x.wav"), 2, 44100), WavWriteError);
    EXPECT_THROW(WavWriter(scratchPath("zero.wav"), 0, 44100), WavWriteError);
}

TEST(EventBlock, RecordListsEveryEventBeyondTheDeclaredTwo) {
    EventBlock block(5);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(block.add(i * 3, 0x90, static_cast<uint8_t>(60 + i), 100));
    EXPECT_FALSE(block.add(20, 0x90, 70, 100)) << "capacity is fixed so that rendering never allocates";

    VstEvents* record = block.record();
    ASSERT_EQ(record->numEvents, 5);
    auto* const* list =
        reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(record) + offsetof(VstEvents, events));
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(list[i]);
        EXPECT_EQ(midi->type, kVstMidiType);
        EXPECT_EQ(midi->byteSize, 32);
        EXPECT_EQ(midi->deltaFrames, i * 3);
        EXPECT_EQ(static_cast<unsigned char>(midi->midiData[0]), 0x90);
        EXPECT_EQ(midi->midiData[1], 60 + i);
        EXPECT_EQ(midi->midiData[3], 0);
    }
    block.clear();
    EXPECT_EQ(block.record()->numEvents, 0);
}

TEST(HostCallback, AnswersIdentityAndContextEvenBeforeTheRecordExists) {
    HostContext context;
    context.setSampleRate(48000.0);
    context.setBlockSize(128);
    ScopedCreationContext creation(context);

    const auto call = [](int32_t opcode, void* ptr = nullptr) {
        return hostCallback(nullptr, opcode, 0, 0, ptr, 0.0f);
    };
    EXPECT_EQ(call(audioMasterVersion), 2400);
    EXPECT_EQ(call(audioMasterGetSampleRate), 48000);
    EXPECT_EQ(call(audioMasterGetBlockSize), 128);
    EXPECT_EQ(call(audioMasterGetCurrentProcessLevel), kVstProcessLevelOffline);
    EXPECT_EQ(call(audioMasterGetVendorVersion), kHostVendorVersion);
    char text[256] = {};
    EXPECT_EQ(call(audioMasterGetProductString, text), 1);
    EXPECT_STREQ(text, "kettrix-render");
    EXPECT_EQ(call(audioMasterGetVendorString, text), 1);
    EXPECT_STREQ(text, "Sorvane");

    EXPECT_EQ(call(audioMasterCanDo, const_cast<char*>("sendVstMidiEvent")), 1);
    EXPECT_EQ(call(audioMasterCanDo, const_cast<char*>("sendVstTimeInfo")), 1);
    EXPECT_EQ(call(audioMasterCanDo, const_cast<char*>("receiveVstMidiEvent")), -1);
    EXPECT_EQ(call(audioMasterCanDo, const_cast<char*>("somethingNew")), 0);
    EXPECT_EQ(call(audioMasterCanDo), 0) << "a null string is not a question";
    EXPECT_EQ(call(audioMasterIOChanged), 0);
    EXPECT_EQ(call(audioMasterSizeWindow), 0);
    EXPECT_EQ(call(9999), 0);
}

TEST(HostCallback, FindsTheInstanceContextThroughTheUserField) {
    HostContext first, second;
    first.setSampleRate(22050.0);
    second.setSampleRate(96000.0);
    AEffect effect{};
    effect.user = &second;
    EXPECT_EQ(hostCallback(&effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 96000);
    effect.user = &first;
    EXPECT_EQ(hostCallback(&effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 22050);
    hostCallback(&effect, audioMasterAutomate, 3, 0, nullptr, 0.5f);
    EXPECT_EQ(first.automationCount(), 1);
    EXPECT_EQ(second.automationCount(), 0);
}

TEST(HostCallback, TimeInfoFollowsTheTransport) {
    HostContext context;
    context.setSampleRate(44100.0);
    AEffect effect{};
    effect.user = &context;
    const auto time = [&] {
        return reinterpret_cast<const VstTimeInfo*>(
            hostCallback(&effect, audioMasterGetTime, 0, kVstTempoValid, nullptr, 0.0f));
    };

    ASSERT_NE(time(), nullptr);
    EXPECT_EQ(time()->flags & kVstTransportPlaying, 0) << "stopped until the render starts";

    TransportPosition position;
    position.samplePos = 88200.0;
    position.tempo = 90.0;
    position.ppqPos = 3.0;
    position.barStartPos = 0.0;
    position.timeSigNumerator = 7;
    position.timeSigDenominator = 8;
    position.playing = true;
    context.setTransport(position);
    const VstTimeInfo* t = time();
    EXPECT_EQ(t->samplePos, 88200.0);
    EXPECT_EQ(t->sampleRate, 44100.0);
    EXPECT_EQ(t->tempo, 90.0);
    EXPECT_EQ(t->ppqPos, 3.0);
    EXPECT_EQ(t->timeSigNumerator, 7);
    EXPECT_EQ(t->timeSigDenominator, 8);
    EXPECT_DOUBLE_EQ(t->nanoSeconds, 2.0e9);
    const int32_t needed = kVstTransportPlaying | kVstTransportChanged | kVstPpqPosValid | kVstTempoValid |
                           kVstBarsValid | kVstTimeSigValid;
    EXPECT_EQ(t->flags & needed, needed);

    position.samplePos += 256.0;
    context.setTransport(position);
    EXPECT_EQ(time()->flags & kVstTransportChanged, 0) << "changed only when play starts or stops";
    EXPECT_NE(time()->flags & kVstTransportPlaying, 0);
}
