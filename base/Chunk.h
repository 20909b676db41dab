// Growable byte array in which parameter values, presets and whole states
// travel. Writing appends; reading takes a start position and returns the
// position after the item, or -1 when the item does not fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kettrix {

class Chunk {
public:
    Chunk() = default;

    // Typed appends, little-endian. Each returns the new size.
    int PutU32(uint32_t value);
    int PutI32(int32_t value);
    int PutU64(uint64_t value);
    int PutDouble(double value);
    int PutFloat(float value);
    int PutBool(bool value);  // one byte, 0 or 1
    // Signed 32-bit length, then the bytes without a terminator.
    int PutStr(const std::string& text);
    int PutBytes(const void* data, std::size_t size);
    int PutChunk(const Chunk& other) { return PutBytes(other.Data(), other.Size()); }

    // Positional reads. Each returns the position after the item, or -1
    // when the item does not fit (or the start position is negative).
    int GetU32(uint32_t* value, int start) const;
    int GetI32(int32_t* value, int start) const;
    int GetU64(uint64_t* value, int start) const;
    int GetDouble(double* value, int start) const;
    int GetFloat(float* value, int start) const;
    int GetBool(bool* value, int start) const;
    // A text whose length runs past the end returns start + 4 + length and
    // copies nothing; a negative length fails with -1 so that a corrupt
    // length can never move the position backwards.
    int GetStr(std::string* text, int start, std::size_t maxLength = SIZE_MAX) const;
    int GetBytes(void* data, int size, int start) const;

    const uint8_t* Data() const { return bytes_.data(); }
    uint8_t* Data() { return bytes_.data(); }
    int Size() const { return static_cast<int>(bytes_.size()); }
    bool Empty() const { return bytes_.empty(); }
    void Clear() { bytes_.clear(); }
    // Replace the contents with a copy of the given bytes.
    void Assign(const void* data, std::size_t size);
    void Resize(int size) { bytes_.resize(size > 0 ? static_cast<std::size_t>(size) : 0u); }

    bool operator==(const Chunk& other) const = default;

private:
    // Position after `size` bytes from `start`, or -1 when they do not fit.
    int EndOf(int start, std::size_t size) const;

    std::vector<uint8_t> bytes_;
};

}  // namespace kettrix
