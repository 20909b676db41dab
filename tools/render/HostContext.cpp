#include "HostContext.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kettrix::render {

namespace {

thread_local HostContext* tCreationContext = nullptr;

// Answers callbacks that cannot be tied to any instance (a plug-in calling
// with a foreign or null record outside creation): identity and defaults only.
HostContext& fallbackContext() {
    static thread_local HostContext context;
    return context;
}

void copyText(void* destination, const char* text) {
    // The documented room for host strings is 64 characters.
    std::snprintf(static_cast<char*>(destination), kVstMaxProductStrLen, "%s", text);
}

}  // namespace

HostContext::HostContext() {
    setSampleRate(sampleRate_);
    setTransport(TransportPosition{});
}

void HostContext::setSampleRate(double rate) {
    sampleRate_ = rate;
    timeInfo_.sampleRate = rate;
}

void HostContext::setTransport(const TransportPosition& position) {
    VstTimeInfo& t = timeInfo_;
    t.samplePos = position.samplePos;
    t.sampleRate = sampleRate_;
    // A renderer has no wall clock worth reporting; the system time is the
    // render position, which keeps runs reproducible.
    t.nanoSeconds = sampleRate_ > 0.0 ? position.samplePos / sampleRate_ * 1.0e9 : 0.0;
    t.ppqPos = position.ppqPos;
    t.tempo = position.tempo;
    t.barStartPos = position.barStartPos;
    t.cycleStartPos = 0.0;
    t.cycleEndPos = 0.0;
    t.timeSigNumerator = position.timeSigNumerator;
    t.timeSigDenominator = position.timeSigDenominator;
    t.smpteOffset = 0;
    t.smpteFrameRate = 0;
    t.samplesToNextClock = 0;
    t.flags = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (position.playing) t.flags |= kVstTransportPlaying;
    if (position.playing != transportWasPlaying_) t.flags |= kVstTransportChanged;
    transportWasPlaying_ = position.playing;
}

intptr_t HostContext::canDo(const char* what) const {
    if (what == nullptr) return 0;
    static const char* const kYes[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "startStopProcess"};
    static const char* const kNo[] = {"receiveVstEvents", "receiveVstMidiEvent", "offline",
                                      "supplyIdle",       "openFileSelector",    "editFile",
                                      "closeFileSelector"};
    for (const char* s : kYes)
        if (std::strcmp(what, s) == 0) return 1;
    if (std::strcmp(what, "sizeWindow") == 0) return resizer_ ? 1 : -1;
    for (const char* s : kNo)
        if (std::strcmp(what, s) == 0) return -1;
    return 0;
}

std::vector<EditReport> HostContext::editReports() const {
    std::lock_guard<std::mutex> hold(reportsMutex_);
    return reports_;
}

void HostContext::clearEditReports() {
    std::lock_guard<std::mutex> hold(reportsMutex_);
    reports_.clear();
}

void HostContext::report(int32_t opcode, int32_t index, float value) {
    std::lock_guard<std::mutex> hold(reportsMutex_);
    reports_.push_back({opcode, index, value});
}

intptr_t HostContext::handle(AEffect*, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    switch (opcode) {
        case audioMasterAutomate:
            ++automationCount_;
            report(opcode, index, opt);
            return 0;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            report(opcode, index, 0.0f);
            return 1;
        case audioMasterSizeWindow:
            return resizer_ && resizer_(index, static_cast<int>(value)) ? 1 : 0;
        case audioMasterVersion:
            return kVstVersion;
        case audioMasterGetTime:
            // Every field is filled whatever the request mask asks for.
            return reinterpret_cast<intptr_t>(&timeInfo_);
        case audioMasterGetSampleRate:
            return static_cast<intptr_t>(std::lround(sampleRate_));
        case audioMasterGetBlockSize:
            return blockSize_;
        case audioMasterGetCurrentProcessLevel:
            return kVstProcessLevelOffline;
        case audioMasterGetAutomationState:
            return 1;  // automation off: nothing is recorded or played back
        case audioMasterGetVendorString:
            if (ptr == nullptr) return 0;
            copyText(ptr, kHostVendorString);
            return 1;
        case audioMasterGetProductString:
            if (ptr == nullptr) return 0;
            copyText(ptr, kHostProductString);
            return 1;
        case audioMasterGetVendorVersion:
            return kHostVendorVersion;
        case audioMasterCanDo:
            return canDo(static_cast<const char*>(ptr));
        case audioMasterGetLanguage:
            return 1;  // English
        default:
            // Everything else (MIDI out, idle requests, window sizing, I/O
            // changes, file selectors, the offline API) is not supported.
            return 0;
    }
}

intptr_t KETTRIX_VST_CALL hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                       float opt) {
    HostContext* context = nullptr;
    if (effect != nullptr && effect->user != nullptr)
        context = static_cast<HostContext*>(effect->user);
    else if (tCreationContext != nullptr)
        context = tCreationContext;
    else
        context = &fallbackContext();
    return context->handle(effect, opcode, index, value, ptr, opt);
}

ScopedCreationContext::ScopedCreationContext(HostContext& context) : previous_(tCreationContext) {
    tCreationContext = &context;
}

ScopedCreationContext::~ScopedCreationContext() { tCreationContext = previous_; }

}  // namespace kettrix::render
