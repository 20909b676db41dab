#include "PluginInstance.h"

#include <array>
#include <cstring>

namespace kettrix::render {

PluginInstance::PluginInstance(const PluginLibrary& library, HostContext& context) : context_(context) {
    {
        ScopedCreationContext creation(context_);
        effect_ = library.entryPoint()(hostCallback);
    }
    if (effect_ == nullptr) throw PluginLoadError("plug-in '" + library.path() + "' could not create an instance");
    if (effect_->magic != kEffectMagic) {
        // Not a VST 2 record: nothing in it may be called, not even effClose.
        effect_ = nullptr;
        throw PluginLoadError("plug-in '" + library.path() + "' returned a record that is not a VST 2 effect");
    }
    effect_->user = &context_;
}

PluginInstance::~PluginInstance() { close(); }

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::dispatchForText(int32_t opcode, int32_t index) {
    std::array<char, 512> buffer{};
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

void PluginInstance::open() {
    if (!opened_) {
        dispatch(effOpen);
        opened_ = true;
    }
}

void PluginInstance::close() {
    if (effect_ == nullptr) return;
    stopProcess();
    suspend();
    dispatch(effClose);
    effect_ = nullptr;
}

void PluginInstance::setSampleRate(double rate) {
    context_.setSampleRate(rate);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void PluginInstance::setBlockSize(int32_t frames) {
    context_.setBlockSize(frames);
    dispatch(effSetBlockSize, 0, frames);
}

void PluginInstance::resume() {
    if (!resumed_) {
        dispatch(effMainsChanged, 0, 1);
        resumed_ = true;
    }
}

void PluginInstance::suspend() {
    if (resumed_) {
        dispatch(effMainsChanged, 0, 0);
        resumed_ = false;
    }
}

void PluginInstance::startProcess() {
    if (!processing_) {
        dispatch(effStartProcess);
        processing_ = true;
    }
}

void PluginInstance::stopProcess() {
    if (processing_) {
        dispatch(effStopProcess);
        processing_ = false;
    }
}

std::vector<uint8_t> PluginInstance::getChunk(bool program) {
    void* data = nullptr;
    const intptr_t size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

bool PluginInstance::setChunk(bool program, const std::vector<uint8_t>& bytes) {
    // The plug-in reads the bytes during the call only; it is given its own
    // copy anyway, since the dispatcher takes a non-const pointer.
    std::vector<uint8_t> copy = bytes;
    return dispatch(effSetChunk, program ? 1 : 0, static_cast<intptr_t>(copy.size()), copy.data()) != 0;
}

}  // namespace kettrix::render
