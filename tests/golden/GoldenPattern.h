#pragma once
// What a golden render plays: notes at odd frame offsets (held, released,
// repeated, several at one frame), parameter automation and program changes,
// all at frame times drawn from a fixed seed.

#include <cstdint>
#include <vector>

namespace kettrix::golden {

struct TimedEvent {
    enum class Kind { Midi, Parameter, Program };
    long frame = 0;
    Kind kind = Kind::Midi;
    std::uint8_t bytes[3] = {0, 0, 0};  // Midi
    int index = 0;                      // Parameter index, or the program
    float value = 0.0f;                 // Parameter (normalized)
};

// The events of `seconds` of audio at `sampleRate`, sorted by frame (events
// of one frame keep the order they were drawn in).
std::vector<TimedEvent> makePattern(std::uint32_t seed, double sampleRate, double seconds, int firstProgram,
                                    int secondProgram);

}  // namespace kettrix::golden
