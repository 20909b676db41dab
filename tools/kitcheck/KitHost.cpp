#include "KitHost.h"

#include "EventBlock.h"
#include "HostContext.h"
#include "PluginLibrary.h"

#include <algorithm>
#include <cmath>

namespace kettrix::kitcheck {

namespace {

constexpr int kBlock = 512;
constexpr std::int32_t kProgramMagic = 0x70666674;  // 'pfft'
constexpr std::int32_t kFrameworkVersion = 0x00010000;
constexpr std::size_t kProgramHeader = 8;

void appendLe32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

}  // namespace

KitHost::KitHost(const std::string& pluginPath, double sampleRate)
    : sampleRate_(sampleRate),
      library_(std::make_unique<render::PluginLibrary>(pluginPath)),
      context_(std::make_unique<render::HostContext>()) {
    context_->setSampleRate(sampleRate);
    context_->setBlockSize(kBlock);
    plugin_ = std::make_unique<render::PluginInstance>(*library_, *context_);
    plugin_->open();
    plugin_->setSampleRate(sampleRate);
    plugin_->setBlockSize(kBlock);
    plugin_->dispatch(effSetProcessPrecision, 0, kVstProcessPrecision64);
    plugin_->resume();
    plugin_->startProcess();
    const auto outs = static_cast<std::size_t>(std::max(0, plugin_->numOutputs()));
    const auto ins = static_cast<std::size_t>(std::max(0, plugin_->numInputs()));
    outputs_.assign(outs, std::vector<double>(kBlock));
    inputs_.assign(std::max<std::size_t>(ins, 1), std::vector<double>(kBlock));
    for (auto& o : outputs_) outputPointers_.push_back(o.data());
    for (auto& i : inputs_) inputPointers_.push_back(i.data());
}

KitHost::~KitHost() {
    plugin_->stopProcess();
    plugin_->suspend();
    plugin_.reset();  // effClose before the library is unloaded
}

int KitHost::programCount() { return plugin_->effect().numPrograms; }

std::string KitHost::programName(int slot) { return plugin_->dispatchForText(effGetProgramNameIndexed, slot); }

void KitHost::selectProgram(int slot, bool thenSettle) {
    plugin_->dispatch(effSetProgram, 0, slot);
    if (thenSettle) settle();
}

bool KitHost::loadStateChunk(const std::vector<std::uint8_t>& state, bool thenSettle) {
    std::vector<std::uint8_t> program;
    appendLe32(program, kProgramMagic);
    appendLe32(program, kFrameworkVersion);
    program.insert(program.end(), state.begin(), state.end());
    const bool ok = plugin_->setChunk(true, program);
    if (thenSettle) settle();
    return ok;
}

std::vector<std::uint8_t> KitHost::stateChunk() {
    std::vector<std::uint8_t> program = plugin_->getChunk(true);
    if (program.size() < kProgramHeader) return {};
    return std::vector<std::uint8_t>(program.begin() + kProgramHeader, program.end());
}

void KitHost::setParameter(int index, float normalized) {
    plugin_->effect().setParameter(&plugin_->effect(), index, normalized);
}

void KitHost::settle() { render({}, static_cast<std::int64_t>(sampleRate_), static_cast<std::int64_t>(sampleRate_)); }

Rendered KitHost::render(const std::vector<NoteEvent>& events, std::int64_t minFrames, std::int64_t maxFrames) {
    Rendered out;
    render::EventBlock block(events.size() + 1);
    std::int64_t lastEvent = 0;
    for (const NoteEvent& e : events) lastEvent = std::max(lastEvent, e.frame);
    const auto quietNeeded = static_cast<std::int64_t>(sampleRate_ / 4);
    std::int64_t quietFrames = 0;
    std::size_t next = 0;
    AEffect& effect = plugin_->effect();
    for (std::int64_t at = 0; at < maxFrames; at += kBlock) {
        const auto frames = static_cast<std::int32_t>(std::min<std::int64_t>(kBlock, maxFrames - at));
        block.clear();
        while (next < events.size() && events[next].frame < at + frames) {
            const NoteEvent& e = events[next++];
            block.add(static_cast<std::int32_t>(e.frame - at), e.status, e.note, e.velocity);
        }
        if (!block.empty()) plugin_->dispatch(effProcessEvents, 0, 0, block.record());
        effect.processDoubleReplacing(&effect, inputPointers_.data(), outputPointers_.data(), frames);
        bool blockSilent = true;
        for (const auto& channel : outputs_) {
            for (std::int32_t i = 0; i < frames; ++i) {
                const double v = channel[static_cast<std::size_t>(i)];
                if (!std::isfinite(v)) out.finite = false;
                if (v != 0.0) blockSilent = false;
                out.peakAllOutputs = std::max(out.peakAllOutputs, std::fabs(v));
            }
        }
        if (outputs_.size() >= 2) {
            out.left.insert(out.left.end(), outputs_[0].begin(), outputs_[0].begin() + frames);
            out.right.insert(out.right.end(), outputs_[1].begin(), outputs_[1].begin() + frames);
        }
        quietFrames = blockSilent ? quietFrames + frames : 0;
        const std::int64_t done = at + frames;
        if (done >= minFrames && done > lastEvent && next == events.size() && quietFrames >= quietNeeded) break;
    }
    return out;
}

Rendered KitHost::hit(int note, int velocity, double maxSeconds) {
    const auto n = static_cast<std::uint8_t>(note);
    const std::vector<NoteEvent> events = {
        {0, 0x90, n, static_cast<std::uint8_t>(velocity)},
        {static_cast<std::int64_t>(0.1 * sampleRate_), 0x80, n, 0},
    };
    return render(events, 0, static_cast<std::int64_t>(maxSeconds * sampleRate_));
}

}  // namespace kettrix::kitcheck
