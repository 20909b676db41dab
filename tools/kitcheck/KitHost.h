// Drives the instrument the way a host does (entry point, dispatcher,
// double-precision process calls) to play single hits and short grooves of a
// loaded kit.
#pragma once

#include "PluginInstance.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kettrix::kitcheck {

struct NoteEvent {
    std::int64_t frame = 0;
    std::uint8_t status = 0x90;
    std::uint8_t note = 0;
    std::uint8_t velocity = 0;
};

struct Rendered {
    std::vector<double> left, right;  // output pair 1, where every factory kit plays
    double peakAllOutputs = 0.0;      // largest magnitude on any of the outputs
    bool finite = true;
};

class KitHost {
public:
    KitHost(const std::string& pluginPath, double sampleRate);
    ~KitHost();
    KitHost(const KitHost&) = delete;
    KitHost& operator=(const KitHost&) = delete;

    double sampleRate() const { return sampleRate_; }
    int programCount();
    std::string programName(int slot);
    // Both end with a second of silence (unless `thenSettle` is false), so the
    // glides of pitches and cutoffs from the previous kit have settled before
    // the first note; without it the next note plays right at the load.
    void selectProgram(int slot, bool thenSettle = true);
    bool loadStateChunk(const std::vector<std::uint8_t>& state, bool thenSettle = true);
    // The current kit as a bare state chunk (the program chunk's body).
    std::vector<std::uint8_t> stateChunk();
    void setParameter(int index, float normalized);

    // Plays the events; renders at least minFrames and goes on until every
    // output has been silent for a quarter of a second after the last event,
    // or maxFrames.
    Rendered render(const std::vector<NoteEvent>& events, std::int64_t minFrames, std::int64_t maxFrames);
    // One note of the given velocity, held for 0.1 s.
    Rendered hit(int note, int velocity, double maxSeconds);

private:
    void settle();

    double sampleRate_;
    std::unique_ptr<render::PluginLibrary> library_;
    std::unique_ptr<render::HostContext> context_;
    std::unique_ptr<render::PluginInstance> plugin_;
    std::vector<std::vector<double>> outputs_, inputs_;
    std::vector<double*> outputPointers_, inputPointers_;
};

}  // namespace kettrix::kitcheck
