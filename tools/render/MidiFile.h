// Standard MIDI File reader (formats 0 and 1) and the tempo map that turns
// the file's ticks into seconds and sample positions.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace kettrix::render {

class MidiFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A channel message (note on/off, controller, program, pressure, pitch bend)
// at a tick of the file's time base. Unused data bytes are 0.
struct MidiEvent {
    uint64_t tick = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

struct TempoChange {
    uint64_t tick = 0;
    uint32_t microsPerQuarter = 500000;  // 120 BPM
};

struct TimeSignatureChange {
    uint64_t tick = 0;
    int32_t numerator = 4;
    int32_t denominator = 4;
};

// The musical content of a file, all tracks merged.
struct MidiSequence {
    int format = 0;
    int trackCount = 0;
    // Metrical time: ticks per quarter note. SMPTE time: framesPerSecond > 0
    // and ticksPerFrame ticks per frame (tempo changes then do not apply).
    uint32_t ticksPerQuarter = 480;
    uint32_t framesPerSecond = 0;
    uint32_t ticksPerFrame = 0;

    // Sorted by tick; events of equal tick keep track order, then file order.
    std::vector<MidiEvent> events;
    std::vector<TempoChange> tempoChanges;            // sorted by tick
    std::vector<TimeSignatureChange> timeSignatures;  // sorted by tick
    // Tick of the last event of any kind, end-of-track markers included.
    uint64_t endTick = 0;
};

// Parses a whole file held in memory; throws MidiFileError naming what is
// wrong and where.
MidiSequence parseMidiFile(std::span<const uint8_t> bytes);
MidiSequence readMidiFile(const std::string& path);

// Converts between ticks, seconds, samples and quarter notes for one
// sequence at one sample rate, honouring every tempo change.
class TempoMap {
public:
    TempoMap(const MidiSequence& sequence, double sampleRate);

    double sampleRate() const { return sampleRate_; }
    double secondsAtTick(uint64_t tick) const;
    // The sample at which an event of this tick sounds (nearest sample).
    int64_t sampleAtTick(uint64_t tick) const;

    // Transport figures at a sample position (for the host's time record).
    double tempoAtSample(double samplePos) const;
    double ppqAtSample(double samplePos) const;
    // Start of the bar holding ppq, and the time signature in force there.
    double barStartAtPpq(double ppq, int32_t& numerator, int32_t& denominator) const;

private:
    struct Segment {
        uint64_t tick;
        double seconds;  // time at the segment's first tick
        double secondsPerTick;
    };
    struct Bar {
        double ppq;  // position of the signature change
        int32_t numerator;
        int32_t denominator;
    };

    const Segment& segmentAtTick(uint64_t tick) const;
    const Segment& segmentAtSeconds(double seconds) const;

    double sampleRate_;
    double ticksPerQuarter_;
    std::vector<Segment> segments_;
    std::vector<Bar> bars_;
};

}  // namespace kettrix::render
