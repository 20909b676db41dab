#include "MidiFile.h"
#include "Renderer.h"
#include "SmfBuilder.h"

#include <gtest/gtest.h>

using namespace kettrix::render;
using kettrix::render::test::smfFile;
using kettrix::render::test::SmfTrack;

namespace {

std::vector<ScheduledEvent> schedule(const std::vector<uint8_t>& file, double rate) {
    const MidiSequence sequence = parseMidiFile(file);
    return scheduleEvents(sequence, TempoMap(sequence, rate));
}

}  // namespace

TEST(MidiFile, Format0WithRunningStatusKeepsEveryNote) {
    SmfTrack track;
    track
        .event(0, {0x99, 36, 100})        // note on, channel 10
        .event(0, {42, 80})               // running status: another note on
        .event(240, {36, 0})              // running status: velocity 0
        .event(0, {0xB0, 7, 90})          // controller, channel 1
        .event(0, {0xC3, 5})              // program change: one data byte
        .event(0, {0xB0 - 0x20, 42, 64})  // 0x90 note on, channel 1
        .event(120, {0xE2, 0x00, 0x40})   // pitch bend
        .end(360);
    const MidiSequence s = parseMidiFile(smfFile(0, 480, {track}));

    ASSERT_EQ(s.events.size(), 7u);
    EXPECT_EQ(s.format, 0);
    EXPECT_EQ(s.ticksPerQuarter, 480u);
    const uint8_t expected[7][3] = {{0x99, 36, 100}, {0x99, 42, 80}, {0x99, 36, 0},     {0xB0, 7, 90},
                                    {0xC3, 5, 0},    {0x90, 42, 64}, {0xE2, 0x00, 0x40}};
    const uint64_t ticks[7] = {0, 0, 240, 240, 240, 240, 360};
    for (std::size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.events[i].tick, ticks[i]);
        EXPECT_EQ(s.events[i].status, expected[i][0]);
        EXPECT_EQ(s.events[i].data1, expected[i][1]);
        EXPECT_EQ(s.events[i].data2, expected[i][2]);
    }
    EXPECT_EQ(s.endTick, 720u) << "the end-of-track marker counts as the file's end";
}

TEST(MidiFile, MetaAndSystemExclusiveEventsAreSkippedWithoutBreakingRunningStatus) {
    SmfTrack track;
    track.event(0, {0x90, 60, 100})
        .event(10, {0xFF, 0x03, 0x04, 'D', 'r', 'u', 'm'})  // track name
        .event(10, {0xF0, 0x03, 0x7E, 0x09, 0xF7})          // sysex
        .event(10, {61, 101})                               // running status survives
        .end();
    const MidiSequence s = parseMidiFile(smfFile(0, 96, {track}));
    ASSERT_EQ(s.events.size(), 2u);
    EXPECT_EQ(s.events[1].tick, 30u);
    EXPECT_EQ(s.events[1].status, 0x90);
    EXPECT_EQ(s.events[1].data1, 61);
}

TEST(MidiFile, Format1MergesTracksInTickOrderAndTrackOrderForTies) {
    SmfTrack tempo;
    tempo.tempo(0, 500000).end();
    SmfTrack a, b;
    a.event(100, {0x90, 1, 1}).event(100, {0x90, 3, 1}).end();
    b.event(100, {0x91, 2, 1}).event(50, {0x91, 4, 1}).end();
    const MidiSequence s = parseMidiFile(smfFile(1, 480, {tempo, a, b}));
    ASSERT_EQ(s.events.size(), 4u);
    EXPECT_EQ(s.trackCount, 3);
    EXPECT_EQ(s.events[0].data1, 1);  // tick 100, track a before track b
    EXPECT_EQ(s.events[1].data1, 2);
    EXPECT_EQ(s.events[2].data1, 4);  // tick 150
    EXPECT_EQ(s.events[3].data1, 3);  // tick 200
}

TEST(MidiFile, TempoChangeMidFileMovesLaterEventsToExactSamples) {
    // 120 BPM for the first two quarters, then 60 BPM: a quarter lasts 0.5 s,
    // then 1 s. The tempo lives in its own track, as in format 1 files.
    SmfTrack tempo;
    tempo.tempo(0, 500000).tempo(960, 1000000).end();
    SmfTrack notes;
    notes.event(0, {0x90, 36, 100})
        .event(480, {0x90, 37, 100})
        .event(480, {0x90, 38, 100})  // tick 960: where the tempo changes
        .event(480, {0x90, 39, 100})  // tick 1440
        .event(240, {0x90, 40, 100})  // tick 1680
        .end();
    const auto file = smfFile(1, 480, {tempo, notes});

    const auto at48k = schedule(file, 48000.0);
    ASSERT_EQ(at48k.size(), 5u);
    const int64_t expected48k[5] = {0, 24000, 48000, 96000, 120000};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(at48k[i].sample, expected48k[i]) << "event " << i;

    const auto at44k = schedule(file, 44100.0);
    const int64_t expected44k[5] = {0, 22050, 44100, 88200, 110250};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(at44k[i].sample, expected44k[i]) << "event " << i;
}

TEST(MidiFile, TempoMapReportsTransportAcrossTempoAndMeterChanges) {
    SmfTrack track;
    track.tempo(0, 500000)
        .event(0, {0xFF, 0x58, 0x04, 3, 2, 24, 8})  // 3/4
        .tempo(1440, 250000)                        // after one 3/4 bar: 240 BPM
        .end(1440);
    const MidiSequence s = parseMidiFile(smfFile(0, 480, {track}));
    const TempoMap map(s, 1000.0);

    EXPECT_DOUBLE_EQ(map.tempoAtSample(0.0), 120.0);
    EXPECT_DOUBLE_EQ(map.tempoAtSample(1500.0), 240.0);
    EXPECT_DOUBLE_EQ(map.ppqAtSample(1000.0), 2.0);
    EXPECT_DOUBLE_EQ(map.ppqAtSample(1500.0), 3.0);  // the bar ends at 1.5 s
    EXPECT_DOUBLE_EQ(map.ppqAtSample(2000.0), 5.0);  // two quarters per 0.5 s now

    int32_t num = 0, den = 0;
    EXPECT_DOUBLE_EQ(map.barStartAtPpq(5.0, num, den), 3.0);
    EXPECT_EQ(num, 3);
    EXPECT_EQ(den, 4);
    EXPECT_DOUBLE_EQ(map.barStartAtPpq(6.5, num, den), 6.0);
}

TEST(MidiFile, SmpteDivisionCountsTicksPerSecond) {
    SmfTrack track;
    track.event(500, {0x90, 36, 100}).tempo(0, 1000000).event(500, {0x80, 36, 0}).end();
    // 25 frames per second, 40 ticks per frame: 1000 ticks per second;
    // tempo events do not apply.
    const uint16_t division = static_cast<uint16_t>(((256 - 25) << 8) | 40);
    const auto events = schedule(smfFile(0, division, {track}), 48000.0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].sample, 24000);
    EXPECT_EQ(events[1].sample, 48000);
}

TEST(MidiFile, MalformedFilesAreRejectedWithAReason) {
    SmfTrack good;
    good.event(0, {0x90, 36, 100}).end();
    const auto valid = smfFile(0, 480, {good});

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"wrong magic", {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}});
    cases.push_back({"truncated track", std::vector<uint8_t>(valid.begin(), valid.end() - 3)});
    cases.push_back({"format 2", smfFile(2, 480, {good})});
    cases.push_back({"zero division", smfFile(0, 0, {good})});
    auto missingTrack = valid;
    missingTrack[11] = 2;  // header announces two tracks
    cases.push_back({"missing track", missingTrack});
    SmfTrack noStatus;
    noStatus.event(0, {36, 100}).end();
    cases.push_back({"data byte first", smfFile(0, 480, {noStatus})});
    SmfTrack longDelta;
    longDelta.event(0, {0x90, 36, 100});
    auto longDeltaFile = smfFile(0, 480, {longDelta});
    longDeltaFile.insert(longDeltaFile.end(), {0x81, 0x81, 0x81, 0x81, 0x01, 0x80, 36, 0});
    longDeltaFile[21] = static_cast<uint8_t>(longDeltaFile[21] + 8);  // track length
    cases.push_back({"five-byte delta", longDeltaFile});
    SmfTrack badTempo;
    badTempo.event(0, {0xFF, 0x51, 0x02, 0x07, 0xA1}).end();
    cases.push_back({"short tempo", smfFile(0, 480, {badTempo})});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(parseMidiFile(c.bytes), MidiFileError);
    }
    EXPECT_NO_THROW(parseMidiFile(valid));
}

TEST(MidiFile, RenderLengthIsLastEventPlusTail) {
    SmfTrack track;
    track.event(0, {0x90, 36, 100}).event(480, {0x80, 36, 0}).end(0);
    const MidiSequence s = parseMidiFile(smfFile(0, 480, {track}));
    const TempoMap map(s, 48000.0);
    EXPECT_EQ(renderLength(s, map, 2.0), 24000 + 96000);
    // With no tail the last event still falls inside the render.
    EXPECT_EQ(renderLength(s, map, 0.0), 24001);

    SmfTrack longEnd;
    longEnd.event(0, {0x90, 36, 100}).end(960);
    const MidiSequence t = parseMidiFile(smfFile(0, 480, {longEnd}));
    EXPECT_EQ(renderLength(t, TempoMap(t, 48000.0), 1.0), 48000 + 48000);
}
