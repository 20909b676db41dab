// Sequences of host calls chosen from the bytes: dispatcher opcodes with any
// index, value and opt, parameter changes of any float (NaN, infinities,
// denormals, huge values), parameter reads and audio callbacks. Every
// pointer handed over points at a buffer of the size the VST 2 interface
// gives for that opcode (see below), so any write past it is the plug-in's.
//
// Input: calls, each starting with one byte that picks the kind of call.
//
// Checks: no crash, no write or read outside the buffers (sanitizers);
// finite output; getParameter in 0..1; every parameter finite and within its
// range once the sequence is done.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzHost.h"
#include "base/Param.h"
#include "plugin/IPlugMonoSynth.h"

using namespace kettrix;
using namespace kettrix::fuzz;

namespace {

constexpr int kParameterCount = IPlugMonoSynth::kNumParams;
// Parameter texts: the interface's nominal limit is 8 characters, which
// almost every host exceeds (REAPER, Carla and Ardour hand over 256 bytes);
// the adapter writes at most its own text size, so that is the buffer given.
constexpr std::size_t kParamTextBuffer = kParamTextBufferSize;
// Records the interface leaves opaque to this plug-in (MIDI program and key
// names, offline and variable I/O) get a zeroed buffer larger than any of them.
constexpr std::size_t kOpaqueRecordBuffer = 1024;

const char* const kCanDoStrings[] = {
    "receiveVstTimeInfo",  "sendVstEvents",         "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "hasCockosExtensions", "hasCockosViewAsConfig", "bypass",           "offline",          "midiProgramNames"};

// KETTRIX_FUZZ_TRACE=1 prints every call of a replayed input.
const bool kTrace = std::getenv("KETTRIX_FUZZ_TRACE") != nullptr;

// An index that is mostly a real parameter, sometimes any 32-bit value.
std::int32_t ReadIndex(ByteReader& in) {
    const std::uint8_t how = in.u8();
    if (how < 200) return static_cast<std::int32_t>(in.u16() % (kParameterCount + 8));
    return in.i32();
}

// A NUL-terminated text of at most `limit` characters from the input.
std::string ReadText(ByteReader& in, std::size_t limit) {
    const auto bytes = in.take(in.u8() % (limit + 1));
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

class Session {
public:
    explicit Session(FuzzedPlugin& plugin) : plugin_(plugin) {}

    void run(ByteReader& in) {
        while (!in.empty()) {
            switch (in.u8() % 8) {
                case 0:
                case 1:
                case 2:
                case 3:
                    dispatchOne(in);
                    break;
                case 4: {
                    const std::int32_t index = ReadIndex(in);
                    const float value = in.anyFloat();
                    if (kTrace) std::fprintf(stderr, "setParameter %d %g\n", index, value);
                    plugin_.effect()->setParameter(plugin_.effect(), index, value);
                    break;
                }
                case 5: {
                    const float value = plugin_.effect()->getParameter(plugin_.effect(), ReadIndex(in));
                    Require(value >= 0.0f && value <= 1.0f, "getParameter answers 0..1");
                    break;
                }
                case 6:
                    process(in);
                    break;
                default:
                    sendEvents(in);
                    break;
            }
        }
        plugin_.requireSaneParameters();
    }

private:
    void process(ByteReader& in) {
        // A host never passes more frames than the block size it set.
        const int frames = static_cast<int>(in.u16() % (static_cast<std::uint32_t>(blockSize_) + 1));
        const int kind = in.u8() % 3;
        if (kTrace) std::fprintf(stderr, "process %d frames, kind %d\n", frames, kind);
        switch (kind) {
            case 0:
                plugin_.render(frames, false);
                break;
            case 1:
                plugin_.render(frames, true);
                break;
            default: {
                // The accumulating callback adds to what the buffers hold.
                std::vector<float> samples(static_cast<std::size_t>(FuzzedPlugin::kOutputs) * FuzzedPlugin::kMaxFrames);
                float* channels[FuzzedPlugin::kOutputs];
                for (int c = 0; c < FuzzedPlugin::kOutputs; ++c)
                    channels[c] = samples.data() + c * FuzzedPlugin::kMaxFrames;
                const int n = std::min(frames, FuzzedPlugin::kMaxFrames);
                plugin_.effect()->process(plugin_.effect(), nullptr, channels, n);
                for (int c = 0; c < FuzzedPlugin::kOutputs; ++c)
                    for (int i = 0; i < n; ++i) Require(std::isfinite(channels[c][i]), "accumulated output is finite");
                ResultDigest::fold(samples.data(), sizeof(float) * samples.size());
                break;
            }
        }
    }

    void sendEvents(ByteReader& in) {
        const std::size_t count = in.u8() % 9;
        std::vector<VstMidiEvent> records(count);
        std::vector<std::uint8_t> list(sizeof(VstEvents) + count * sizeof(VstEvent*));
        auto* events = reinterpret_cast<VstEvents*>(list.data());
        events->numEvents = static_cast<int32_t>(count);
        for (std::size_t i = 0; i < count; ++i) {
            records[i].type = kVstMidiType;
            records[i].byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
            records[i].deltaFrames = static_cast<int32_t>(in.u16() % 1024);
            for (char& byte : records[i].midiData) byte = static_cast<char>(in.u8());
            VstEvent* pointer = reinterpret_cast<VstEvent*>(&records[i]);
            std::memcpy(list.data() + offsetof(VstEvents, events) + i * sizeof pointer, &pointer, sizeof pointer);
        }
        if (kTrace)
            for (const VstMidiEvent& e : records)
                std::fprintf(stderr, "event at %d: %02x %02x %02x\n", e.deltaFrames, e.midiData[0] & 0xff,
                             e.midiData[1] & 0xff, e.midiData[2] & 0xff);
        plugin_.dispatch(effProcessEvents, 0, 0, events);
    }

    void dispatchOne(ByteReader& in) {
        std::int32_t opcode = static_cast<std::int32_t>(in.u8() % 80);
        // effClose ends the instance and effEditOpen needs a real window: both
        // stay with the host code around the sequence.
        if (opcode == effClose || opcode == effEditOpen) opcode = effEditIdle;
        const std::int32_t index = ReadIndex(in);
        const std::uint8_t valueKind = in.u8();
        intptr_t value = valueKind < 128 ? static_cast<intptr_t>(in.u16() % 256) : static_cast<intptr_t>(in.i32());
        const float opt = in.anyFloat();

        std::array<char, kOpaqueRecordBuffer> opaque{};
        void* ptr = opaque.data();
        std::vector<char> text;
        ERect* rect = nullptr;
        void* chunkData = nullptr;
        std::vector<std::uint8_t> chunkBytes;
        VstPinProperties pin{};
        VstParameterProperties properties{};
        VstSpeakerArrangement inputArrangement{};
        VstSpeakerArrangement outputArrangement{};
        VstSpeakerArrangement* inputAnswer = nullptr;
        VstSpeakerArrangement* outputAnswer = nullptr;
        std::array<double, 2> range{};
        std::string string;

        switch (opcode) {
            case effSetProgramName:
                string = ReadText(in, kVstMaxProgNameLen - 1);
                ptr = string.data();
                break;
            case effGetProgramName:
            case effGetProgramNameIndexed:
                text.assign(kVstMaxProgNameLen, '\x7f');
                ptr = text.data();
                break;
            case effGetParamLabel:
            case effGetParamDisplay:
            case effGetParamName:
                text.assign(kParamTextBuffer, '\x7f');
                ptr = text.data();
                break;
            case effSetBlockSize:
                // Hosts set real block sizes; the adapter keeps scratch buffers of that size.
                value = static_cast<intptr_t>(in.u16() % 8193);
                break;
            case effEditGetRect:
                ptr = &rect;
                break;
            case effGetChunk:
                ptr = &chunkData;
                break;
            case effSetChunk: {
                const auto bytes = in.take(in.u16());
                chunkBytes.assign(bytes.begin(), bytes.end());
                ptr = chunkBytes.empty() ? nullptr : chunkBytes.data();
                value = static_cast<intptr_t>(chunkBytes.size());
                break;
            }
            case effProcessEvents:
                sendEvents(in);
                return;
            case effString2Parameter:
                if (valueKind % 16 == 0) {
                    ptr = nullptr;
                } else {
                    string = ReadText(in, 40);
                    ptr = string.data();
                }
                break;
            case effGetInputProperties:
            case effGetOutputProperties:
                ptr = &pin;
                break;
            case effSetSpeakerArrangement:
                inputArrangement.type = in.i32();
                inputArrangement.numChannels = in.i32();
                outputArrangement.type = in.i32();
                outputArrangement.numChannels = in.i32();
                value = valueKind % 4 == 0 ? 0 : reinterpret_cast<intptr_t>(&inputArrangement);
                ptr = valueKind % 8 == 1 ? nullptr : &outputArrangement;
                break;
            case effGetEffectName:
                text.assign(kVstMaxEffectNameLen, '\x7f');
                ptr = text.data();
                break;
            case effGetVendorString:
            case effGetProductString:
                text.assign(kVstMaxVendorStrLen, '\x7f');
                ptr = text.data();
                break;
            case effVendorSpecific:
                if (valueKind % 3 == 0) {
                    text.assign(256, '\x7f');
                    ptr = text.data();
                    plugin_.dispatch(opcode, 7, static_cast<intptr_t>(ReadIndex(in)), ptr, opt);
                    return;
                }
                if (valueKind % 3 == 1) {
                    ptr = range.data();
                    plugin_.dispatch(opcode, static_cast<std::int32_t>(0xdeadbef0u), ReadIndex(in), ptr, opt);
                    return;
                }
                plugin_.dispatch(opcode, 8, ReadIndex(in), nullptr, opt);
                return;
            case effCanDo: {
                const std::uint8_t which = in.u8();
                string = which < 200 ? kCanDoStrings[which % std::size(kCanDoStrings)] : ReadText(in, 64);
                ptr = string.data();
                break;
            }
            case effGetParameterProperties:
                ptr = &properties;
                break;
            case effGetSpeakerArrangement:
                value = valueKind % 4 == 0 ? 0 : reinterpret_cast<intptr_t>(&inputAnswer);
                ptr = valueKind % 8 == 1 ? nullptr : &outputAnswer;
                break;
            default:
                break;
        }

        if (kTrace)
            std::fprintf(stderr, "dispatch %d index %d value %lld opt %g\n", opcode, index,
                         static_cast<long long>(value), opt);
        const intptr_t result = plugin_.dispatch(opcode, index, value, ptr, opt);

        // What the plug-in handed back must be readable.
        if (opcode == effEditGetRect && result == 1) {
            Require(rect != nullptr && rect->right >= rect->left && rect->bottom >= rect->top,
                    "a sane editor rectangle");
        }
        if (opcode == effGetChunk && result > 0) {
            Require(chunkData != nullptr, "a chunk comes with its bytes");
            const auto* bytes = static_cast<const std::uint8_t*>(chunkData);
            chunkBytes.assign(bytes, bytes + result);
        }
        if (opcode == effGetSpeakerArrangement) {
            for (const VstSpeakerArrangement* answer : {inputAnswer, outputAnswer})
                if (answer != nullptr) Require(answer->numChannels >= 0, "a speaker arrangement has channels");
        }
        if (opcode == effSetBlockSize && value > 0) blockSize_ = static_cast<int>(value);
        // A text buffer is left alone or holds a terminated text.
        if (!text.empty() && std::count(text.begin(), text.end(), '\x7f') != static_cast<long>(text.size()))
            Require(std::memchr(text.data(), '\0', text.size()) != nullptr, "texts are terminated");
    }

    FuzzedPlugin& plugin_;
    int blockSize_ = FuzzedPlugin::kBlockSize;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedPlugin& plugin = FuzzedPlugin::Shared();
    ByteReader in({data, size});
    Session(plugin).run(in);
    return 0;
}
