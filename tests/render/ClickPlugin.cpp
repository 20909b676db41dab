// A minimal VST 2 instrument for testing hosts. Each note-on becomes a click:
// one sample at the event's deltaFrames whose value on output channel c is
// (c + 1) / 8. Anything a careful host must never do (an event offset outside
// the block, a block larger than announced, a time record whose sample
// position or rate disagrees with the audio so far) puts NaN into the
// block's first sample.
//
// With CLICK_PLUGIN_LOG set, the plug-in appends one line per host call to
// that file, so a test can check the order of the host's calls and the time
// information it reports. CLICK_PLUGIN_NO_DOUBLE hides double precision;
// CLICK_PLUGIN_NO_INDEXED_NAMES leaves effGetProgramNameIndexed unanswered.
#include "plugin/Vst2Abi.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int32_t kOutputs = 4;
constexpr int32_t kPrograms = 3;
constexpr int32_t kParams = 2;

struct ClickPlugin {
    AEffect effect{};
    Vst2HostCallback host = nullptr;
    std::FILE* log = nullptr;
    std::vector<int32_t> pendingClicks;  // offsets of the next block's note-ons
    bool badEvent = false;
    int32_t blockSize = 1024;
    double sampleRate = 44100.0;
    double framesDone = 0.0;
    int32_t program = 0;
    float params[kParams] = {0.5f, 0.25f};
    std::vector<char> state = std::vector<char>{'c', 'l', 'i', 'c', 'k', '-', 's', 't', 'a', 't', 'e'};

    void note(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

void ClickPlugin::note(const char* format, ...) {
    if (log == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fputc('\n', log);
    std::fflush(log);
}

ClickPlugin* self(AEffect* e) { return static_cast<ClickPlugin*>(e->object); }

void copyText(void* ptr, const char* text, std::size_t room) {
    if (ptr != nullptr) std::snprintf(static_cast<char*>(ptr), room, "%s", text);
}

intptr_t dispatcher(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    ClickPlugin& p = *self(e);
    switch (opcode) {
        case effOpen:
            p.note("open");
            return 0;
        case effClose:
            p.note("close");
            if (p.log != nullptr) std::fclose(p.log);
            delete &p;
            return 0;
        case effSetProgram:
            p.note("program %d", static_cast<int>(value));
            if (value >= 0 && value < kPrograms) p.program = static_cast<int32_t>(value);
            return 0;
        case effGetProgram:
            return p.program;
        case effGetProgramName:
        case effGetProgramNameIndexed: {
            if (opcode == effGetProgramNameIndexed && std::getenv("CLICK_PLUGIN_NO_INDEXED_NAMES") != nullptr) return 0;
            const int32_t which = opcode == effGetProgramName ? p.program : index;
            if (which < 0 || which >= kPrograms) return 0;
            char name[kVstMaxProgNameLen];
            std::snprintf(name, sizeof name, "Click %c", 'A' + which);
            copyText(ptr, name, sizeof name);
            return 1;
        }
        case effGetParamName:
            copyText(ptr, index == 0 ? "Gain" : "Width", kVstMaxParamStrLen);
            return 0;
        case effGetParamLabel:
            copyText(ptr, index == 0 ? "dB" : "", kVstMaxParamStrLen);
            return 0;
        case effGetParamDisplay:
            if (index >= 0 && index < kParams && ptr != nullptr)
                std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen, "%.2f",
                              static_cast<double>(p.params[index]));
            return 0;
        case effSetSampleRate:
            p.sampleRate = opt;
            p.note("rate %.0f", static_cast<double>(opt));
            return 0;
        case effSetBlockSize:
            p.blockSize = static_cast<int32_t>(value);
            p.note("block %d", static_cast<int>(value));
            return 0;
        case effMainsChanged:
            p.note("mains %d", static_cast<int>(value));
            p.framesDone = 0.0;
            return 0;
        case effGetChunk:
            p.note("getchunk %d", index);
            if (ptr == nullptr) return 0;
            *static_cast<void**>(ptr) = p.state.data();
            return static_cast<intptr_t>(p.state.size());
        case effSetChunk: {
            p.note("setchunk %d %d", index, static_cast<int>(value));
            if (ptr == nullptr || value <= 0) return 0;
            const auto* bytes = static_cast<const char*>(ptr);
            p.state.assign(bytes, bytes + value);
            return 1;
        }
        case effProcessEvents: {
            const auto* events = static_cast<const VstEvents*>(ptr);
            if (events == nullptr) return 0;
            p.note("events %d", events->numEvents);
            auto* const* list =
                reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
            for (int32_t i = 0; i < events->numEvents; ++i) {
                const VstEvent* event = list[i];
                if (event == nullptr || event->type != kVstMidiType) continue;
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
                const auto status = static_cast<unsigned char>(midi->midiData[0]);
                if ((status & 0xF0u) == 0x90u && midi->midiData[2] != 0) p.pendingClicks.push_back(midi->deltaFrames);
            }
            return 1;
        }
        case effGetEffectName:
            copyText(ptr, "Click", kVstMaxEffectNameLen);
            return 1;
        case effGetVendorString:
            copyText(ptr, "Kettrix Tests", kVstMaxVendorStrLen);
            return 1;
        case effGetProductString:
            copyText(ptr, "Click Test Instrument", kVstMaxProductStrLen);
            return 1;
        case effGetOutputProperties:
            if (index < 0 || index >= kOutputs || ptr == nullptr) return 0;
            {
                auto* pin = static_cast<VstPinProperties*>(ptr);
                std::snprintf(pin->label, sizeof pin->label, "Click %d", index + 1);
                pin->flags = kVstPinIsActive | (index % 2 == 0 ? kVstPinIsStereo : 0);
            }
            return 1;
        case effGetPlugCategory:
            return kPlugCategSynth;
        case effGetVstVersion:
            return kVstVersion;
        case effStartProcess:
            p.note("start");
            return 0;
        case effStopProcess:
            p.note("stop");
            return 0;
        case effSetProcessPrecision:
            p.note("precision %d", static_cast<int>(value));
            return 1;
        case effCanDo:
            return ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : 0;
        default:
            return 0;
    }
}

// Checks what the host reports about time and context for this block, then
// renders the clicks.
template <typename Sample>
void render(ClickPlugin& p, Sample** outputs, int32_t frames, bool accumulate) {
    auto* time = reinterpret_cast<const VstTimeInfo*>(
        p.host(&p.effect, audioMasterGetTime, 0, kVstPpqPosValid | kVstTempoValid, nullptr, 0.0f));
    const intptr_t level = p.host(&p.effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f);
    if (time != nullptr)
        p.note("process %d pos %.0f ppq %.4f tempo %.2f sig %d/%d playing %d level %d", frames, time->samplePos,
               time->ppqPos, time->tempo, time->timeSigNumerator, time->timeSigDenominator,
               (time->flags & kVstTransportPlaying) ? 1 : 0, static_cast<int>(level));
    const bool badTime = time == nullptr || time->samplePos != p.framesDone || time->sampleRate != p.sampleRate;

    for (int32_t c = 0; c < kOutputs; ++c)
        for (int32_t i = 0; i < frames; ++i) outputs[c][i] = accumulate ? outputs[c][i] : Sample(0);
    bool bad = badTime || frames > p.blockSize || frames <= 0;
    for (int32_t offset : p.pendingClicks) {
        if (offset < 0 || offset >= frames) {
            bad = true;
            continue;
        }
        for (int32_t c = 0; c < kOutputs; ++c) outputs[c][offset] += Sample(c + 1) / Sample(8);
    }
    if (bad && frames > 0)
        for (int32_t c = 0; c < kOutputs; ++c) outputs[c][0] = std::numeric_limits<Sample>::quiet_NaN();
    p.pendingClicks.clear();
    p.framesDone += frames;
}

void processReplacing(AEffect* e, float**, float** outputs, int32_t frames) {
    render(*self(e), outputs, frames, false);
}

void processAccumulating(AEffect* e, float**, float** outputs, int32_t frames) {
    render(*self(e), outputs, frames, true);
}

void processDouble(AEffect* e, double**, double** outputs, int32_t frames) { render(*self(e), outputs, frames, false); }

void setParameter(AEffect* e, int32_t index, float value) {
    if (index >= 0 && index < kParams) self(e)->params[index] = value;
}

float getParameter(AEffect* e, int32_t index) { return index >= 0 && index < kParams ? self(e)->params[index] : 0.0f; }

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(Vst2HostCallback host) {
    if (host == nullptr || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    auto* p = new ClickPlugin;
    p->host = host;
    if (const char* path = std::getenv("CLICK_PLUGIN_LOG")) p->log = std::fopen(path, "a");
    char product[256] = {};
    host(nullptr, audioMasterGetProductString, 0, 0, product, 0.0f);
    p->note("host %s", product);

    AEffect& e = p->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatcher;
    e.process = processAccumulating;
    e.processReplacing = processReplacing;
    e.processDoubleReplacing = processDouble;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.numPrograms = kPrograms;
    e.numParams = kParams;
    e.numInputs = 0;
    e.numOutputs = kOutputs;
    e.flags = effFlagsCanReplacing | effFlagsIsSynth | effFlagsProgramChunks;
    if (std::getenv("CLICK_PLUGIN_NO_DOUBLE") == nullptr) e.flags |= effFlagsCanDoubleReplacing;
    e.ioRatio = 1.0f;
    e.object = p;
    e.uniqueID = Vst2FourCC('C', 'l', 'i', 'k');
    e.version = 1;
    return &e;
}
