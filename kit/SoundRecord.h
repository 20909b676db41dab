// The sound record: one sound's design and name in 1392 bytes, the same in
// memory, on the clipboard and in a sound file (".k4s", no header).
//
//   0..1047     131 float64: plain values of offsets 0-130 of the sound's block
//   1048..1127  reserved, written as zeros, ignored when read
//   1128..1131  int32 version mark: 1 for every record this system writes
//   1132..1391  name, 8-bit characters ended by a zero byte (at most 259)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kettrix::kit {

class SoundRecord {
public:
    static constexpr std::size_t kSize = 1392;
    static constexpr int kValueCount = 131;  // offsets 0-130; "Noise2 mute" is not recorded
    static constexpr std::size_t kVersionAt = 1128;
    static constexpr std::size_t kNameAt = 1132;
    static constexpr std::size_t kNameField = kSize - kNameAt;  // 260 bytes with the terminator
    static constexpr std::int32_t kCurrentVersion = 1;

    SoundRecord() { bytes_.fill(0); }

    double value(int off) const;
    void setValue(int off, double value);
    std::int32_t version() const;
    void setVersion(std::int32_t version);
    // The name up to its terminating zero, or up to the end of the field when
    // the bytes hold none.
    std::string name() const;
    // Stores at most 259 characters and the terminator; the rest of the field is zeroed.
    void setName(std::string_view name);

    const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }
    std::array<std::uint8_t, kSize>& bytes() { return bytes_; }

private:
    std::array<std::uint8_t, kSize> bytes_;
};

// Sound files. Reading refuses a file that cannot be opened or holds fewer
// than 1392 bytes (the record is then untouched); extra bytes are ignored.
bool readSoundFile(const std::string& path, SoundRecord& record);
bool writeSoundFile(const std::string& path, const SoundRecord& record);

}  // namespace kettrix::kit
