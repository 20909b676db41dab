#include "kit/KitState.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kettrix::kit {

const SoundNames& defaultSoundNames() {
    static const SoundNames names = {"KICK",    "PERC",   "SNARE",    "CLAP",  "CLOSED HH",
                                     "OPEN HH", "LO TOM", "HIGH TOM", "CRASH", "RIDE"};
    return names;
}

KitState KitState::defaults() {
    KitState state;
    for (int i = 0; i < kParameterCount; ++i) state.values[static_cast<std::size_t>(i)] = parameterInfo(i).defaultValue;
    return state;
}

void storeInt32(std::uint8_t* at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t loadInt32(const std::uint8_t* at) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

void storeDouble(std::uint8_t* at, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double loadDouble(const std::uint8_t* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    return std::bit_cast<double>(bits);
}

void appendInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
    std::uint8_t bytes[4];
    storeInt32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

void appendDouble(std::vector<std::uint8_t>& out, double value) {
    std::uint8_t bytes[8];
    storeDouble(bytes, value);
    out.insert(out.end(), bytes, bytes + 8);
}

void appendStateChunk(const KitState& state, std::vector<std::uint8_t>& out) {
    for (const std::string& name : state.names) {
        appendInt32(out, static_cast<std::int32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
    }
    for (double v : state.values) appendDouble(out, v);
}

std::vector<std::uint8_t> encodeStateChunk(const KitState& state) {
    std::vector<std::uint8_t> out;
    appendStateChunk(state, out);
    return out;
}

namespace {
// Whether `count` bytes are available at `position` (64-bit arithmetic, so
// huge lengths cannot wrap).
bool fits(std::span<const std::uint8_t> chunk, std::int64_t position, std::int64_t count) {
    return position >= 0 && count >= 0 && position + count <= static_cast<std::int64_t>(chunk.size());
}
}  // namespace

int readSoundNames(std::span<const std::uint8_t> chunk, int start, SoundNames& names) {
    std::int64_t position = start;
    std::string lastRead;
    for (std::string& name : names) {
        if (!fits(chunk, position, 4)) {
            position = -1;
            name = lastRead;
            continue;
        }
        const std::int32_t length = loadInt32(chunk.data() + position);
        position += 4;
        if (length < 0) {
            // Not a length a writer can produce; moving backwards would let a
            // chunk re-read itself, so it ends the names like a short chunk.
            position = -1;
            name = lastRead;
            continue;
        }
        if (fits(chunk, position, length)) {
            const auto* first = chunk.data() + position;
            const auto* last = std::find(first, first + length, std::uint8_t{0});
            lastRead.assign(first, last);
            name = lastRead;
        } else {
            name = lastRead;
        }
        // Past the bytes even when they were not all there: the next read
        // then fails. Kept at most one past the end so it stays an int.
        position = std::min<std::int64_t>(position + length, static_cast<std::int64_t>(chunk.size()) + 1);
    }
    return static_cast<int>(position);
}

int readDouble(std::span<const std::uint8_t> chunk, int position, double& value) {
    if (!fits(chunk, position, 8)) {
        value = 0.0;
        return -1;
    }
    value = loadDouble(chunk.data() + position);
    return position + 8;
}

int decodeStateChunk(std::span<const std::uint8_t> chunk, int start, KitState& state) {
    int position = readSoundNames(chunk, start, state.names);
    for (int i = 0; i < kParameterCount && position >= 0; ++i) {
        double v = 0.0;
        position = readDouble(chunk, position, v);
        state.values[static_cast<std::size_t>(i)] = clampToRange(i, v);
    }
    return position;
}

}  // namespace kettrix::kit
