// Builds Standard MIDI Files in memory for tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kettrix::render::test {

// One track: events appended with their delta time; end() adds the
// end-of-track marker. Bytes are written exactly as given, so running status
// is produced by leaving out the status byte.
class SmfTrack {
public:
    SmfTrack& event(uint32_t delta, std::initializer_list<uint8_t> bytes) {
        vlq(delta);
        data_.insert(data_.end(), bytes);
        return *this;
    }
    SmfTrack& tempo(uint32_t delta, uint32_t microsPerQuarter) {
        return event(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsPerQuarter >> 16),
                             static_cast<uint8_t>(microsPerQuarter >> 8), static_cast<uint8_t>(microsPerQuarter)});
    }
    SmfTrack& end(uint32_t delta = 0) { return event(delta, {0xFF, 0x2F, 0x00}); }
    const std::vector<uint8_t>& bytes() const { return data_; }

private:
    void vlq(uint32_t value) {
        uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = static_cast<uint8_t>(value & 0x7F);
            value >>= 7;
        } while (value != 0);
        while (n > 1) data_.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
        data_.push_back(groups[0]);
    }

    std::vector<uint8_t> data_;
};

inline void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline std::vector<uint8_t> smfFile(uint16_t format, uint16_t division, const std::vector<SmfTrack>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, format, 2);
    appendBigEndian(out, static_cast<uint32_t>(tracks.size()), 2);
    appendBigEndian(out, division, 2);
    for (const SmfTrack& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        appendBigEndian(out, static_cast<uint32_t>(track.bytes().size()), 4);
        out.insert(out.end(), track.bytes().begin(), track.bytes().end());
    }
    return out;
}

}  // namespace kettrix::render::test
