// Standard MIDI Files through the render host's reader, then what the host
// does with the sequence before it plays it: the tempo map, every event's
// sample position, the render length and the transport figures it reports.
//
// Input: the file's bytes.
//
// Checks: no crash and no undefined arithmetic; a rejected file is a
// MidiFileError naming what is wrong; an accepted one has its events in tick
// order within the end tick, and sample positions that never go backwards.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "FuzzHost.h"
#include "MidiFile.h"
#include "Renderer.h"

using namespace kettrix::render;
using kettrix::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MidiSequence sequence;
    try {
        sequence = parseMidiFile(std::span(data, size));
    } catch (const MidiFileError& error) {
        Require(std::string(error.what()).rfind("MIDI file: ", 0) == 0, "a rejected file says why");
        return 0;
    }

    for (std::size_t i = 0; i < sequence.events.size(); ++i) {
        Require(sequence.events[i].tick <= sequence.endTick, "every event lies within the end tick");
        Require(i == 0 || sequence.events[i - 1].tick <= sequence.events[i].tick, "events are in tick order");
        Require(sequence.events[i].status >= 0x80 && sequence.events[i].status < 0xF0, "events are channel messages");
    }

    const TempoMap tempo(sequence, 44100.0);
    const std::vector<ScheduledEvent> scheduled = scheduleEvents(sequence, tempo);
    for (std::size_t i = 0; i < scheduled.size(); ++i) {
        Require(scheduled[i].sample >= 0, "an event's sample position is not negative");
        Require(i == 0 || scheduled[i - 1].sample <= scheduled[i].sample, "sample positions never go backwards");
    }
    const std::int64_t length = renderLength(sequence, tempo, 2.0);
    Require(length >= 0, "the render length is not negative");

    // The host's time record at the first and the last event.
    for (const std::int64_t sample : {std::int64_t{0}, scheduled.empty() ? length : scheduled.back().sample}) {
        const double position = static_cast<double>(sample);
        Require(std::isfinite(tempo.tempoAtSample(position)), "the tempo is finite");
        const double ppq = tempo.ppqAtSample(position);
        Require(std::isfinite(ppq), "the musical position is finite");
        std::int32_t numerator = 0;
        std::int32_t denominator = 0;
        const double barStart = tempo.barStartAtPpq(ppq, numerator, denominator);
        Require(std::isfinite(barStart) && barStart <= ppq, "the bar starts at or before the position");
        Require(numerator > 0 && denominator > 0, "the time signature is positive");
    }
    return 0;
}
