// The host side of the VST 2 conversation: what kettrix-render answers when a
// plug-in calls back through audioMaster opcodes.
#pragma once

#include "plugin/Vst2Abi.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

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

// A parameter gesture reported by the plug-in's editor: audioMasterBeginEdit,
// audioMasterAutomate (with the new normalised value) or audioMasterEndEdit.
struct EditReport {
    int32_t opcode = 0;
    int32_t index = 0;
    float value = 0.0f;
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
    int automationCount() const { return automationCount_.load(); }

    // Every begin-edit, automate and end-edit call, in order of arrival (they
    // may come from the editor's thread while another thread renders).
    std::vector<EditReport> editReports() const;
    void clearEditReports();

    // Lets the plug-in resize the window its editor lives in
    // (audioMasterSizeWindow); without a resizer the host declines.
    void setWindowResizer(std::function<bool(int width, int height)> resizer) { resizer_ = std::move(resizer); }

private:
    intptr_t canDo(const char* what) const;
    void report(int32_t opcode, int32_t index, float value);

    double sampleRate_ = 44100.0;
    int32_t blockSize_ = 256;
    VstTimeInfo timeInfo_{};
    bool transportWasPlaying_ = false;
    std::atomic<int> automationCount_{0};
    mutable std::mutex reportsMutex_;
    std::vector<EditReport> reports_;
    std::function<bool(int, int)> resizer_;
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
