// One instance of a loaded VST 2 plug-in, driven the way a host drives it.
#pragma once

#include "HostContext.h"
#include "PluginLibrary.h"
#include "plugin/Vst2Abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kettrix::render {

// Creates the instance through the library's entry point with the host
// callback, and closes it (effClose) on destruction.
//
// The usual lifecycle, in order: open(), setSampleRate(), setBlockSize(),
// resume(), startProcess(), [processEvents(), process()...], stopProcess(),
// suspend(); the destructor sends effClose.
class PluginInstance {
public:
    // Throws PluginLoadError when the entry point returns null or a record
    // without the VST 2 magic number.
    PluginInstance(const PluginLibrary& library, HostContext& context);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect& effect() { return *effect_; }
    const AEffect& effect() const { return *effect_; }
    HostContext& context() { return context_; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    // Runs a dispatcher opcode that fills a text buffer and returns the text.
    // The buffer is far larger than any documented limit, since plug-ins
    // commonly write past the nominal 8 or 24 characters.
    std::string dispatchForText(int32_t opcode, int32_t index = 0);

    void open();
    void close();
    void setSampleRate(double rate);
    void setBlockSize(int32_t frames);
    void resume();
    void suspend();
    void startProcess();
    void stopProcess();

    bool hasFlag(int32_t flag) const { return (effect_->flags & flag) != 0; }
    int32_t numInputs() const { return effect_->numInputs; }
    int32_t numOutputs() const { return effect_->numOutputs; }

    // effGetChunk / effSetChunk; program = true uses index 1 (the current
    // program), false index 0 (the whole bank).
    std::vector<uint8_t> getChunk(bool program);
    bool setChunk(bool program, const std::vector<uint8_t>& bytes);

private:
    HostContext& context_;
    AEffect* effect_ = nullptr;
    bool opened_ = false;
    bool resumed_ = false;
    bool processing_ = false;
};

}  // namespace kettrix::render
