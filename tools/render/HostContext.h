// The host side of the VST 2 conversation: what kettrix-render answers when a
// plug-in calls back through audioMaster opcodes.
#pragma once

#include "plugin/Vst2Abi.h"

#include <cstdint>

namespace kettrix::render {

// Identity reported to plug-ins.
inline constexpr const char* kHostProductString = "kettrix-render";
inline constexpr const char* kHostVendorString = "Sorvane";
inline constexpr int32_t kHostVendorVersion = 1000;  // 1.0.0

// Musical position of the transport, as the renderer knows it for the
// current block.
struct TransportPosition {
    double samplePos = 0.0;
    double tempo = 120.0;      // beats per minute
    double ppqPos = 0.0;       // quarter notes since the start
    double barStartPos = 0.0;  // quarter-note position of the current bar's start
    int32_t timeSigNumerator = 4;
    int32_t timeSigDenominator = 4;
    bool playing = false;
};

// State behind the host callback for one plug-in instance. The renderer sets
// the sample rate, block size and transport; the callback only reads them.
//
// Process level: kettrix-render is an offline renderer and says so: every
// audioMasterGetCurrentProcessLevel call is answered with 4 (offline), since
// no call is ever made under a real-time deadline.
class HostContext {
public:
    HostContext();

    void setSampleRate(double rate);
    void setBlockSize(int32_t frames) { blockSize_ = frames; }
    double sampleRate() const { return sampleRate_; }
    int32_t blockSize() const { return blockSize_; }

    // Updates the time record returned by audioMasterGetTime.
    void setTransport(const TransportPosition& position);
    const VstTimeInfo& timeInfo() const { return timeInfo_; }

    // Answers one audioMaster call. effect may be null (calls made from inside
    // the entry point before the plug-in's record exists).
    intptr_t handle(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    // Number of audioMasterAutomate calls seen; plug-ins report parameter
    // changes through it, which a renderer only counts.
    int automationCount() const { return automationCount_; }

private:
    intptr_t canDo(const char* what) const;

    double sampleRate_ = 44100.0;
    int32_t blockSize_ = 256;
    VstTimeInfo timeInfo_{};
    bool transportWasPlaying_ = false;
    int automationCount_ = 0;
};

// The C callback handed to the plug-in's entry point. It finds the instance's
// HostContext through AEffect::user; before that is set (during the entry
// point) it uses the context registered with ScopedCreationContext.
intptr_t KETTRIX_VST_CALL hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                       float opt);

// Makes context the one that answers callbacks arriving before the plug-in's
// AEffect::user field is set (on this thread, for the scope's lifetime).
class ScopedCreationContext {
public:
    explicit ScopedCreationContext(HostContext& context);
    ~ScopedCreationContext();
    ScopedCreationContext(const ScopedCreationContext&) = delete;
    ScopedCreationContext& operator=(const ScopedCreationContext&) = delete;

private:
    HostContext* previous_;
};

}  // namespace kettrix::render
