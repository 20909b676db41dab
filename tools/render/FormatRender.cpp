#include "FormatRender.h"

#include "ClapHost.h"
#include "DemoPattern.h"
#include "MidiFile.h"
#include "RenderSession.h"
#include "Renderer.h"
#include "SessionSupport.h"
#include "WavWriter.h"

#if KETTRIX_RENDER_LV2
#include "Lv2Host.h"
#endif

#include <algorithm>
#include <memory>

namespace kettrix::render {

namespace {

// A plug-in of one format as the block loop sees it: MIDI in at block
// offsets, a block processed, its outputs read back.
class FormatPlug {
public:
    virtual ~FormatPlug() = default;
    virtual void midi(uint32_t offset, const ScheduledEvent& event) = 0;
    virtual void process(uint32_t frames) = 0;
    virtual std::size_t outputCount() const = 0;
    virtual const float* output(std::size_t channel) const = 0;
};

class ClapPlug final : public FormatPlug {
public:
    ClapPlug(const std::string& path, double rate, uint32_t maxFrames) : module_(path), instance_(module_) {
        instance_.activate(rate, maxFrames);
    }
    void midi(uint32_t offset, const ScheduledEvent& e) override { events_.midi(offset, e.status, e.data1, e.data2); }
    void process(uint32_t frames) override {
        instance_.process(frames, events_);
        events_.clear();
    }
    std::size_t outputCount() const override { return ClapInstance::kOutputChannels; }
    const float* output(std::size_t channel) const override { return instance_.output(static_cast<int>(channel)); }

private:
    ClapModule module_;
    ClapInstance instance_;
    EventList events_;
};

#if KETTRIX_RENDER_LV2
class Lv2Plug final : public FormatPlug {
public:
    Lv2Plug(const std::string& bundle, double rate, uint32_t maxFrames)
        : module_(bundle),
          instance_(module_, ReadTurtlePorts(bundle), {rate, static_cast<int32_t>(maxFrames), true}, maxFrames) {
        if (!instance_.valid()) throw RenderError("the LV2 plug-in in '" + bundle + "' did not instantiate");
    }
    void midi(uint32_t offset, const ScheduledEvent& e) override { instance_.midi(offset, e.status, e.data1, e.data2); }
    void process(uint32_t frames) override { instance_.run(frames); }
    std::size_t outputCount() const override { return Lv2Instance::kAudioOutputs; }
    const float* output(std::size_t channel) const override { return instance_.output(static_cast<uint32_t>(channel)); }

private:
    Lv2Module module_;
    Lv2Instance instance_;
};
#endif

std::unique_ptr<FormatPlug> loadPlug(const RenderOptions& options) {
    const auto maxFrames = static_cast<uint32_t>(options.blockSize);
    const double rate = options.sampleRate;
    if (options.format == PluginFormat::Clap) return std::make_unique<ClapPlug>(options.pluginPath, rate, maxFrames);
#if KETTRIX_RENDER_LV2
    if (options.format == PluginFormat::Lv2) return std::make_unique<Lv2Plug>(options.pluginPath, rate, maxFrames);
#endif
    throw RenderError("this kettrix-render was built without the LV2 headers: --format lv2 is not available");
}

}  // namespace

void runFormatRender(const RenderOptions& options, std::ostream& log, bool logIsTerminal) {
    const MidiSequence sequence = options.demo ? demoPattern() : readMidiFile(options.midiPath);
    const TempoMap tempo(sequence, options.sampleRate);
    const std::vector<ScheduledEvent> events = scheduleEvents(sequence, tempo);
    const int64_t totalFrames = renderLength(sequence, tempo, options.tailSeconds);

    const std::unique_ptr<FormatPlug> plug = loadPlug(options);
    const std::size_t outputs = plug->outputCount();
    const int channels = mixedChannelCount(options.mix, static_cast<int>(outputs));
    tools::WavWriter writer(options.outPath, channels, options.sampleRate);

    std::vector<const float*> outputPointers(outputs);
    std::vector<float> interleaved(static_cast<std::size_t>(options.blockSize) * static_cast<std::size_t>(channels));
    ProgressLine progress(log, options.progress || logIsTerminal);
    std::size_t next = 0;
    for (int64_t start = 0; start < totalFrames; start += options.blockSize) {
        const auto frames = static_cast<uint32_t>(std::min<int64_t>(options.blockSize, totalFrames - start));
        for (; next < events.size() && events[next].sample < start + frames; ++next) {
            const ScheduledEvent& e = events[next];
            plug->midi(static_cast<uint32_t>(std::max<int64_t>(e.sample - start, 0)), e);
        }
        plug->process(frames);
        for (std::size_t c = 0; c < outputs; ++c) outputPointers[c] = plug->output(c);
        mixOutputs(options.mix, outputPointers.data(), outputs, frames, interleaved.data());
        writer.write(interleaved.data(), frames);
        progress.update(start + frames, totalFrames);
    }
    writer.finish();
}

}  // namespace kettrix::render
