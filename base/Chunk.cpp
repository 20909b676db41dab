#include "base/Chunk.h"

#include <bit>
#include <climits>
#include <cstring>

namespace kettrix {

namespace {

template <typename Unsigned>
void AppendLittleEndian(std::vector<uint8_t>& bytes, Unsigned value) {
    // Grown once per value, not per byte: a kit's state is some 1400 of them.
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof(Unsigned));
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    } else {
        for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
}

template <typename Unsigned>
Unsigned ReadLittleEndian(const uint8_t* bytes) {
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        value |= static_cast<Unsigned>(static_cast<Unsigned>(bytes[i]) << (8 * i));
    }
    return value;
}

}  // namespace

int Chunk::PutU32(uint32_t value) {
    AppendLittleEndian(bytes_, value);
    return Size();
}

int Chunk::PutI32(int32_t value) { return PutU32(static_cast<uint32_t>(value)); }

int Chunk::PutU64(uint64_t value) {
    AppendLittleEndian(bytes_, value);
    return Size();
}

int Chunk::PutDouble(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return PutU64(bits);
}

int Chunk::PutFloat(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return PutU32(bits);
}

int Chunk::PutBool(bool value) {
    bytes_.push_back(value ? 1 : 0);
    return Size();
}

int Chunk::PutStr(const std::string& text) {
    PutI32(static_cast<int32_t>(text.size()));
    return PutBytes(text.data(), text.size());
}

int Chunk::PutBytes(const void* data, std::size_t size) {
    if (size > 0 && data != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), bytes, bytes + size);
    }
    return Size();
}

void Chunk::Assign(const void* data, std::size_t size) {
    bytes_.clear();
    PutBytes(data, size);
}

int Chunk::EndOf(int start, std::size_t size) const {
    if (start < 0) {
        return -1;
    }
    const std::size_t begin = static_cast<std::size_t>(start);
    if (begin > bytes_.size() || size > bytes_.size() - begin) {
        return -1;
    }
    return static_cast<int>(begin + size);
}

int Chunk::GetU32(uint32_t* value, int start) const {
    const int end = EndOf(start, 4);
    if (end >= 0) {
        *value = ReadLittleEndian<uint32_t>(bytes_.data() + start);
    }
    return end;
}

int Chunk::GetI32(int32_t* value, int start) const {
    uint32_t bits = 0;
    const int end = GetU32(&bits, start);
    if (end >= 0) {
        *value = static_cast<int32_t>(bits);
    }
    return end;
}

int Chunk::GetU64(uint64_t* value, int start) const {
    const int end = EndOf(start, 8);
    if (end >= 0) {
        *value = ReadLittleEndian<uint64_t>(bytes_.data() + start);
    }
    return end;
}

int Chunk::GetDouble(double* value, int start) const {
    uint64_t bits = 0;
    const int end = GetU64(&bits, start);
    if (end >= 0) {
        std::memcpy(value, &bits, sizeof bits);
    }
    return end;
}

int Chunk::GetFloat(float* value, int start) const {
    uint32_t bits = 0;
    const int end = GetU32(&bits, start);
    if (end >= 0) {
        std::memcpy(value, &bits, sizeof bits);
    }
    return end;
}

int Chunk::GetBool(bool* value, int start) const {
    const int end = EndOf(start, 1);
    if (end >= 0) {
        *value = bytes_[static_cast<std::size_t>(start)] != 0;
    }
    return end;
}

int Chunk::GetStr(std::string* text, int start, std::size_t maxLength) const {
    int32_t length = 0;
    const int afterLength = GetI32(&length, start);
    if (afterLength < 0 || length < 0) {
        return -1;
    }
    const long long end = static_cast<long long>(afterLength) + length;
    if (end > INT_MAX) {
        return -1;
    }
    if (length > 0 && end <= Size()) {
        const std::size_t kept =
            static_cast<std::size_t>(length) < maxLength ? static_cast<std::size_t>(length) : maxLength;
        text->assign(reinterpret_cast<const char*>(bytes_.data()) + afterLength, kept);
    }
    return static_cast<int>(end);
}

int Chunk::GetBytes(void* data, int size, int start) const {
    if (size < 0) {
        return -1;
    }
    const int end = EndOf(start, static_cast<std::size_t>(size));
    if (end >= 0 && size > 0) {
        std::memcpy(data, bytes_.data() + start, static_cast<std::size_t>(size));
    }
    return end;
}

}  // namespace kettrix
