// Plays a scheduled MIDI sequence through a plug-in instance block by block
// and hands the audio, mixed to the requested channel layout, to a sink.
#pragma once

#include "EventBlock.h"
#include "MidiFile.h"
#include "PluginInstance.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kettrix::render {

enum class Precision { Float, Double };
// All: every plug-in output is a channel of its own. Stereo: the outputs'
// pairs summed into one pair.
enum class Mix { Stereo, All };

// A MIDI channel message at an absolute sample position of the render.
struct ScheduledEvent {
    int64_t sample = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

// Every channel message of the sequence at its sample position (nearest
// sample of its exact time under the tempo map), in playing order.
std::vector<ScheduledEvent> scheduleEvents(const MidiSequence& sequence, const TempoMap& tempo);

// Frames to render: the sample of the last event of the sequence (end-of-track
// markers included) plus the tail, but never so few that the last channel
// message falls outside the render (a tail of 0).
int64_t renderLength(const MidiSequence& sequence, const TempoMap& tempo, double tailSeconds);

// Channels written for a plug-in with the given number of outputs.
int mixedChannelCount(Mix mix, int pluginOutputs);

// Writes `frames` frames of the plug-in's `outputCount` outputs, mixed as
// `mix` says, interleaved into `interleaved` (mixedChannelCount channels).
// Every host of kettrix-render mixes through this, whatever the format.
void mixOutputs(Mix mix, const float* const* outputs, std::size_t outputCount, std::size_t frames, float* interleaved);

struct RenderSettings {
    int blockSize = 256;
    Precision precision = Precision::Float;
    Mix mix = Mix::Stereo;
};

// Receives interleaved frames (mixedChannelCount channels) as they are made.
using AudioSink = std::function<void(const float* interleaved, std::size_t frames)>;
// Told the frames done after each block.
using ProgressSink = std::function<void(int64_t framesDone, int64_t framesTotal)>;

// Runs the process calls of a render on an instance that is open, has its
// sample rate and block size, and is resumed. Before each block it moves the
// transport (audioMasterGetTime) to the block's start and sends the block's
// events with deltaFrames relative to it.
class Renderer {
public:
    Renderer(PluginInstance& plugin, const TempoMap& tempo, const RenderSettings& settings);

    void render(const std::vector<ScheduledEvent>& events, int64_t totalFrames, const AudioSink& sink,
                const ProgressSink& progress = {});

private:
    TransportPosition transportAt(int64_t sample, bool playing) const;
    void processBlock(int32_t frames);
    void mixBlock(int32_t frames);

    PluginInstance& plugin_;
    const TempoMap& tempo_;
    RenderSettings settings_;
    int outputChannels_;

    std::vector<std::vector<float>> floatOutputs_;
    std::vector<std::vector<double>> doubleOutputs_;
    std::vector<std::vector<float>> floatInputs_;
    std::vector<std::vector<double>> doubleInputs_;
    std::vector<float*> floatOutputPointers_, floatInputPointers_;
    std::vector<double*> doubleOutputPointers_, doubleInputPointers_;
    std::vector<float> interleaved_;
};

}  // namespace kettrix::render
