#include "Renderer.h"

#include <algorithm>
#include <cmath>

namespace kettrix::render {

std::vector<ScheduledEvent> scheduleEvents(const MidiSequence& sequence, const TempoMap& tempo) {
    std::vector<ScheduledEvent> events;
    events.reserve(sequence.events.size());
    for (const MidiEvent& e : sequence.events)
        events.push_back({tempo.sampleAtTick(e.tick), e.status, e.data1, e.data2});
    return events;
}

int64_t renderLength(const MidiSequence& sequence, const TempoMap& tempo, double tailSeconds) {
    const int64_t end = tempo.sampleAtTick(sequence.endTick);
    int64_t total = end + static_cast<int64_t>(std::llround(tailSeconds * tempo.sampleRate()));
    if (!sequence.events.empty()) total = std::max(total, tempo.sampleAtTick(sequence.events.back().tick) + 1);
    return total;
}

int mixedChannelCount(Mix mix, int pluginOutputs) { return mix == Mix::All ? pluginOutputs : 2; }

Renderer::Renderer(PluginInstance& plugin, const TempoMap& tempo, const RenderSettings& settings)
    : plugin_(plugin),
      tempo_(tempo),
      settings_(settings),
      outputChannels_(mixedChannelCount(settings.mix, plugin.numOutputs())) {
    const auto frames = static_cast<std::size_t>(settings.blockSize);
    const auto outputs = static_cast<std::size_t>(std::max(plugin.numOutputs(), 0));
    const auto inputs = static_cast<std::size_t>(std::max(plugin.numInputs(), 0));
    if (settings.precision == Precision::Double) {
        doubleOutputs_.assign(outputs, std::vector<double>(frames));
        doubleInputs_.assign(inputs, std::vector<double>(frames));
        for (auto& b : doubleOutputs_) doubleOutputPointers_.push_back(b.data());
        for (auto& b : doubleInputs_) doubleInputPointers_.push_back(b.data());
        // Never hand a plug-in a null channel array, even with no channels.
        doubleInputPointers_.push_back(nullptr);
        doubleOutputPointers_.push_back(nullptr);
    }
    // Float buffers also carry the double render on its way to the file.
    floatOutputs_.assign(outputs, std::vector<float>(frames));
    floatInputs_.assign(inputs, std::vector<float>(frames));
    for (auto& b : floatOutputs_) floatOutputPointers_.push_back(b.data());
    for (auto& b : floatInputs_) floatInputPointers_.push_back(b.data());
    floatInputPointers_.push_back(nullptr);
    floatOutputPointers_.push_back(nullptr);
    interleaved_.assign(frames * static_cast<std::size_t>(outputChannels_), 0.0f);
}

void Renderer::render(const std::vector<ScheduledEvent>& events, int64_t totalFrames, const AudioSink& sink,
                      const ProgressSink& progress) {
    // Capacity for the busiest block, so that filling blocks never allocates.
    std::size_t busiest = 0;
    for (std::size_t first = 0, i = 0; i < events.size(); ++i) {
        while (events[i].sample - events[first].sample >= settings_.blockSize) ++first;
        busiest = std::max(busiest, i - first + 1);
    }
    EventBlock block(busiest);

    std::size_t next = 0;
    for (int64_t start = 0; start < totalFrames; start += settings_.blockSize) {
        const auto frames = static_cast<int32_t>(std::min<int64_t>(settings_.blockSize, totalFrames - start));

        plugin_.context().setTransport(transportAt(start, true));

        block.clear();
        while (next < events.size() && events[next].sample < start + frames) {
            const ScheduledEvent& e = events[next++];
            // Events before the start cannot happen (positions are never
            // negative), but a clamp keeps deltaFrames inside the block.
            const auto delta = static_cast<int32_t>(std::max<int64_t>(e.sample - start, 0));
            block.add(delta, e.status, e.data1, e.data2);
        }
        if (!block.empty()) plugin_.dispatch(effProcessEvents, 0, 0, block.record());

        processBlock(frames);
        mixBlock(frames);
        sink(interleaved_.data(), static_cast<std::size_t>(frames));
        if (progress) progress(start + frames, totalFrames);
    }

    // The transport stops where the render ends.
    plugin_.context().setTransport(transportAt(totalFrames, false));
}

TransportPosition Renderer::transportAt(int64_t sample, bool playing) const {
    TransportPosition position;
    position.samplePos = static_cast<double>(sample);
    position.tempo = tempo_.tempoAtSample(position.samplePos);
    position.ppqPos = tempo_.ppqAtSample(position.samplePos);
    position.barStartPos =
        tempo_.barStartAtPpq(position.ppqPos, position.timeSigNumerator, position.timeSigDenominator);
    position.playing = playing;
    return position;
}

void Renderer::processBlock(int32_t frames) {
    AEffect& effect = plugin_.effect();
    if (settings_.precision == Precision::Double) {
        for (auto& b : doubleOutputs_) std::fill(b.begin(), b.end(), 0.0);
        effect.processDoubleReplacing(&effect, doubleInputPointers_.data(), doubleOutputPointers_.data(), frames);
        const auto n = static_cast<std::size_t>(frames);
        for (std::size_t c = 0; c < doubleOutputs_.size(); ++c)
            for (std::size_t i = 0; i < n; ++i) floatOutputs_[c][i] = static_cast<float>(doubleOutputs_[c][i]);
        return;
    }
    // Cleared buffers make the deprecated accumulating call render the same
    // as the replacing one.
    for (auto& b : floatOutputs_) std::fill(b.begin(), b.end(), 0.0f);
    const bool replacing = plugin_.hasFlag(effFlagsCanReplacing) && effect.processReplacing != nullptr;
    Vst2ProcessProc process = replacing ? effect.processReplacing : effect.process;
    process(&effect, floatInputPointers_.data(), floatOutputPointers_.data(), frames);
}

void Renderer::mixBlock(int32_t frames) {
    mixOutputs(settings_.mix, floatOutputPointers_.data(), floatOutputs_.size(), static_cast<std::size_t>(frames),
               interleaved_.data());
}

void mixOutputs(Mix mix, const float* const* outputs, std::size_t outputCount, std::size_t frames, float* interleaved) {
    const auto channels = static_cast<std::size_t>(mixedChannelCount(mix, static_cast<int>(outputCount)));
    if (mix == Mix::All) {
        for (std::size_t c = 0; c < channels; ++c)
            for (std::size_t i = 0; i < frames; ++i) interleaved[i * channels + c] = outputs[c][i];
        return;
    }
    // Stereo: even outputs (the left of each pair) to the left, odd to the
    // right; a mono plug-in is heard on both sides.
    std::fill(interleaved, interleaved + frames * 2, 0.0f);
    for (std::size_t c = 0; c < outputCount; ++c) {
        const bool left = c % 2 == 0;
        const bool both = outputCount == 1;
        for (std::size_t i = 0; i < frames; ++i) {
            const float v = outputs[c][i];
            if (left || both) interleaved[i * 2] += v;
            if (!left || both) interleaved[i * 2 + 1] += v;
        }
    }
}

}  // namespace kettrix::render
