#include "MidiFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace kettrix::render {

namespace {

// Reads big-endian fields from a byte range, failing with the byte offset.
class ByteReader {
public:
    ByteReader(std::span<const uint8_t> bytes, std::size_t base) : bytes_(bytes), base_(base) {}

    bool atEnd() const { return position_ >= bytes_.size(); }
    std::size_t offset() const { return base_ + position_; }

    uint8_t u8() {
        need(1);
        return bytes_[position_++];
    }
    uint8_t peek() {
        need(1);
        return bytes_[position_];
    }
    uint32_t u16() {
        const uint32_t hi = u8();
        return (hi << 8) | u8();
    }
    uint32_t u32() {
        const uint32_t hi = u16();
        return (hi << 16) | u16();
    }
    // Variable-length quantity: at most four bytes of seven bits.
    uint32_t vlq() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = u8();
            value = (value << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0) return value;
        }
        fail("variable-length number longer than four bytes");
    }
    std::span<const uint8_t> take(std::size_t count) {
        need(count);
        auto part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw MidiFileError("MIDI file: " + what + " at byte " + std::to_string(offset()));
    }

private:
    void need(std::size_t count) const {
        if (bytes_.size() - position_ < count || position_ > bytes_.size()) fail("unexpected end of data");
    }

    std::span<const uint8_t> bytes_;
    std::size_t base_;
    std::size_t position_ = 0;
};

// Data bytes that follow each channel status (high nibble 8..E).
int dataBytesOf(uint8_t status) {
    const uint8_t kind = status & 0xF0u;
    return (kind == 0xC0u || kind == 0xD0u) ? 1 : 2;
}

struct TrackEvent {
    MidiEvent event;
    std::size_t order;  // track index and position, for a stable merge
};

void readTrack(ByteReader track, MidiSequence& sequence, std::vector<TrackEvent>& merged, std::size_t& order) {
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!track.atEnd()) {
        tick += track.vlq();
        sequence.endTick = std::max(sequence.endTick, tick);

        uint8_t status = track.peek();
        if (status & 0x80u) {
            track.u8();
        } else {
            // Running status: the data byte belongs to the last channel status.
            if (runningStatus == 0) track.fail("data byte without a status byte");
            status = runningStatus;
        }

        if (status == 0xFFu) {
            const uint8_t type = track.u8();
            const uint32_t length = track.vlq();
            const auto data = track.take(length);
            if (type == 0x51u) {
                if (length != 3) track.fail("tempo event whose length is not 3");
                const uint32_t micros = (uint32_t{data[0]} << 16) | (uint32_t{data[1]} << 8) | data[2];
                if (micros == 0) track.fail("tempo of zero microseconds per quarter note");
                sequence.tempoChanges.push_back({tick, micros});
            } else if (type == 0x58u && length >= 2) {
                // Denominator as a power of two; keep it within int range.
                const int32_t denominator = data[1] < 16 ? (1 << data[1]) : 4;
                if (data[0] > 0) sequence.timeSignatures.push_back({tick, data[0], denominator});
            } else if (type == 0x2Fu) {
                return;  // end of track; anything after it is ignored
            }
        } else if (status == 0xF0u || status == 0xF7u) {
            track.take(track.vlq());  // system exclusive: not passed on
        } else if (status >= 0xF0u) {
            track.fail("system message byte " + std::to_string(status) + " is not allowed in a file");
        } else {
            runningStatus = status;
            MidiEvent event;
            event.tick = tick;
            event.status = status;
            event.data1 = track.u8() & 0x7Fu;
            if (dataBytesOf(status) == 2) event.data2 = track.u8() & 0x7Fu;
            merged.push_back({event, order++});
        }
    }
}

}  // namespace

MidiSequence parseMidiFile(std::span<const uint8_t> bytes) {
    ByteReader file(bytes, 0);
    if (bytes.size() < 14 || !std::equal(bytes.begin(), bytes.begin() + 4, "MThd"))
        throw MidiFileError("MIDI file: not a Standard MIDI File (no MThd header)");
    file.take(4);
    const uint32_t headerLength = file.u32();
    if (headerLength < 6) file.fail("header chunk shorter than 6 bytes");

    MidiSequence sequence;
    sequence.format = static_cast<int>(file.u16());
    sequence.trackCount = static_cast<int>(file.u16());
    const uint32_t division = file.u16();
    file.take(headerLength - 6);
    if (sequence.format > 1)
        throw MidiFileError("MIDI file: format " + std::to_string(sequence.format) +
                            " is not supported (only formats 0 and 1)");
    if (division & 0x8000u) {
        const auto fps = static_cast<uint32_t>(256 - (division >> 8));
        if (fps != 24 && fps != 25 && fps != 29 && fps != 30)
            throw MidiFileError("MIDI file: unknown SMPTE frame rate " + std::to_string(fps));
        sequence.framesPerSecond = fps;
        sequence.ticksPerFrame = division & 0xFFu;
        if (sequence.ticksPerFrame == 0) throw MidiFileError("MIDI file: zero ticks per SMPTE frame");
    } else {
        sequence.ticksPerQuarter = division;
        if (division == 0) throw MidiFileError("MIDI file: zero ticks per quarter note");
    }

    std::vector<TrackEvent> merged;
    std::size_t order = 0;
    int tracksFound = 0;
    while (!file.atEnd() && tracksFound < sequence.trackCount) {
        const auto id = file.take(4);
        const uint32_t length = file.u32();
        const std::size_t start = file.offset();
        const auto body = file.take(length);
        if (std::equal(id.begin(), id.end(), "MTrk")) {
            readTrack(ByteReader(body, start), sequence, merged, order);
            ++tracksFound;
        }
        // Chunks of other kinds are skipped, as the file format asks.
    }
    if (tracksFound < sequence.trackCount)
        throw MidiFileError("MIDI file: header announces " + std::to_string(sequence.trackCount) + " tracks but only " +
                            std::to_string(tracksFound) + " are present");

    std::stable_sort(merged.begin(), merged.end(),
                     [](const TrackEvent& a, const TrackEvent& b) { return a.event.tick < b.event.tick; });
    sequence.events.reserve(merged.size());
    for (const TrackEvent& e : merged) sequence.events.push_back(e.event);
    const auto byTick = [](const auto& a, const auto& b) { return a.tick < b.tick; };
    std::stable_sort(sequence.tempoChanges.begin(), sequence.tempoChanges.end(), byTick);
    std::stable_sort(sequence.timeSignatures.begin(), sequence.timeSignatures.end(), byTick);
    return sequence;
}

MidiSequence readMidiFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw MidiFileError("cannot open MIDI file '" + path + "'");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        return parseMidiFile(bytes);
    } catch (const MidiFileError& e) {
        throw MidiFileError("'" + path + "': " + e.what());
    }
}

// ---------------------------------------------------------------------------

TempoMap::TempoMap(const MidiSequence& sequence, double sampleRate) : sampleRate_(sampleRate) {
    if (sequence.framesPerSecond > 0) {
        // SMPTE time: a fixed number of ticks per second. Musical positions
        // are reported at 120 BPM.
        const double fps = sequence.framesPerSecond == 29 ? 30000.0 / 1001.0 : sequence.framesPerSecond;
        const double secondsPerTick = 1.0 / (fps * sequence.ticksPerFrame);
        ticksPerQuarter_ = 0.5 / secondsPerTick;
        segments_.push_back({0, 0.0, secondsPerTick});
    } else {
        ticksPerQuarter_ = sequence.ticksPerQuarter;
        segments_.push_back({0, 0.0, 0.5 / ticksPerQuarter_});
        for (const TempoChange& change : sequence.tempoChanges) {
            const double secondsPerTick = change.microsPerQuarter / 1.0e6 / ticksPerQuarter_;
            Segment& last = segments_.back();
            if (change.tick == last.tick) {
                last.secondsPerTick = secondsPerTick;  // a later change at the same tick wins
                continue;
            }
            const double seconds = last.seconds + static_cast<double>(change.tick - last.tick) * last.secondsPerTick;
            segments_.push_back({change.tick, seconds, secondsPerTick});
        }
    }

    bars_.push_back({0.0, 4, 4});
    for (const TimeSignatureChange& change : sequence.timeSignatures) {
        const double ppq = static_cast<double>(change.tick) / ticksPerQuarter_;
        if (ppq == bars_.back().ppq)
            bars_.back() = {ppq, change.numerator, change.denominator};
        else
            bars_.push_back({ppq, change.numerator, change.denominator});
    }
}

const TempoMap::Segment& TempoMap::segmentAtTick(uint64_t tick) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), tick,
                               [](uint64_t t, const Segment& s) { return t < s.tick; });
    return *(it - 1);
}

const TempoMap::Segment& TempoMap::segmentAtSeconds(double seconds) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), seconds,
                               [](double t, const Segment& s) { return t < s.seconds; });
    return it == segments_.begin() ? segments_.front() : *(it - 1);
}

double TempoMap::secondsAtTick(uint64_t tick) const {
    const Segment& s = segmentAtTick(tick);
    return s.seconds + static_cast<double>(tick - s.tick) * s.secondsPerTick;
}

int64_t TempoMap::sampleAtTick(uint64_t tick) const {
    return static_cast<int64_t>(std::llround(secondsAtTick(tick) * sampleRate_));
}

double TempoMap::tempoAtSample(double samplePos) const {
    const Segment& s = segmentAtSeconds(samplePos / sampleRate_);
    return 60.0 / (s.secondsPerTick * ticksPerQuarter_);
}

double TempoMap::ppqAtSample(double samplePos) const {
    const double seconds = samplePos / sampleRate_;
    const Segment& s = segmentAtSeconds(seconds);
    const double tick = static_cast<double>(s.tick) + (seconds - s.seconds) / s.secondsPerTick;
    return tick / ticksPerQuarter_;
}

double TempoMap::barStartAtPpq(double ppq, int32_t& numerator, int32_t& denominator) const {
    auto it = std::upper_bound(bars_.begin(), bars_.end(), ppq, [](double p, const Bar& b) { return p < b.ppq; });
    const Bar& bar = it == bars_.begin() ? bars_.front() : *(it - 1);
    numerator = bar.numerator;
    denominator = bar.denominator;
    const double barLength = 4.0 * bar.numerator / bar.denominator;
    return bar.ppq + std::floor((ppq - bar.ppq) / barLength) * barLength;
}

}  // namespace kettrix::render
