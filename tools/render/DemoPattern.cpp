#include "DemoPattern.h"

#include <algorithm>
#include <string_view>

namespace kettrix::render {

namespace {

constexpr uint32_t kTicksPerQuarter = 480;
constexpr uint64_t kTicksPerStep = kTicksPerQuarter / 4;  // sixteenth notes
constexpr uint64_t kStepsPerBar = 16;
constexpr uint64_t kNoteLengthTicks = kTicksPerStep / 2;

enum Note : uint8_t {
    kKick = 36,
    kPerc = 42,
    kSnare = 48,
    kClap = 54,
    kClosedHat = 60,
    kOpenHat = 66,
    kLowTom = 72,
    kHighTom = 78,
    kCrash = 84,
    kRide = 90,
};

// One line of a step grid: 'x' accented hit, 'o' normal hit, '.' rest.
struct Lane {
    Note note;
    std::string_view steps[4];  // one 16-step bar each
};

constexpr Lane kLanes[] = {
    {kKick, {"x.....o.x.......", "x.....o.x.....o.", "x.....o.x.......", "x.....o.x.o....."}},
    {kSnare, {"....x.......x...", "....x.......x..o", "....x.......x...", "....x.......x..."}},
    {kClap, {"................", "............o...", "................", "............x..."}},
    {kClosedHat, {"o.o.o.o.o.o.o...", "o.o.o.o.o.o.o...", "................", "o.o.o.o.o.o....."}},
    {kOpenHat, {"..............o.", "..............o.", "................", "................"}},
    {kRide, {"................", "................", "o.o.o.o.o.o.o.o.", "................"}},
    {kPerc, {"...o.......o....", "...o.......o.o..", "...o.......o....", "...o............"}},
    {kHighTom, {"................", "................", "................", ".............x.."}},
    {kLowTom, {"................", "................", "................", "..............xo"}},
    {kCrash, {"x...............", "................", "x...............", "................"}},
};

void addNote(MidiSequence& sequence, uint64_t tick, uint8_t note, uint8_t velocity) {
    sequence.events.push_back({tick, 0x90, note, velocity});
    sequence.events.push_back({tick + kNoteLengthTicks, 0x80, note, 0});
}

}  // namespace

MidiSequence demoPattern() {
    MidiSequence sequence;
    sequence.format = 0;
    sequence.trackCount = 1;
    sequence.ticksPerQuarter = kTicksPerQuarter;
    sequence.tempoChanges.push_back({0, 500000});  // 120 BPM
    sequence.timeSignatures.push_back({0, 4, 4});

    for (const Lane& lane : kLanes) {
        for (uint64_t bar = 0; bar < 4; ++bar) {
            for (uint64_t step = 0; step < kStepsPerBar; ++step) {
                const char hit = lane.steps[bar][step];
                if (hit == '.') continue;
                const uint64_t tick = (bar * kStepsPerBar + step) * kTicksPerStep;
                addNote(sequence, tick, lane.note, hit == 'x' ? 120 : 90);
            }
        }
    }
    // The closing hit on the first beat of a fifth bar.
    const uint64_t end = 4 * kStepsPerBar * kTicksPerStep;
    addNote(sequence, end, kKick, 120);
    addNote(sequence, end, kCrash, 110);

    std::stable_sort(sequence.events.begin(), sequence.events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    sequence.endTick = sequence.events.back().tick;
    return sequence;
}

}  // namespace kettrix::render
