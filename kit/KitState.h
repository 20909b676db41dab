// The state chunk: the complete state of a kit as one byte string.
//
//   10 x (int32 length L, L name bytes, no terminator)   sound 0 first
//   1393 x float64 plain parameter values                 index 0 first
//
// All integers are little-endian two's complement and all reals IEEE-754
// binary64 little-endian, so a chunk is the same on every build.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kit/ParameterTable.h"

namespace kettrix::kit {

using SoundNames = std::array<std::string, kSoundCount>;
using ParameterValues = std::array<double, kParameterCount>;

// "KICK", "PERC", ... "RIDE": the names a fresh plug-in gives its sounds.
const SoundNames& defaultSoundNames();

// A kit held as plain data: what a state chunk encodes.
struct KitState {
    SoundNames names = defaultSoundNames();
    ParameterValues values{};

    // Every value at the parameter table's default, default names.
    static KitState defaults();
};

// Appends the state chunk of `state` to `out`.
void appendStateChunk(const KitState& state, std::vector<std::uint8_t>& out);
std::vector<std::uint8_t> encodeStateChunk(const KitState& state);

// Reads the ten sound names of a state chunk from `start`, with the partial-
// read rules of the plug-in: a length that does not fit, or bytes that are
// not all there, give the sound the name read last in this call (empty when
// none was read yet); the bytes are taken up to the first zero byte. Returns
// the position after the names, -1 once a length could not be read, or a
// position past the end once the bytes of a name ran past it (so that the
// next read fails). A negative length counts as a length that cannot be read.
int readSoundNames(std::span<const std::uint8_t> chunk, int start, SoundNames& names);

// Reads one little-endian float64 at `position`; returns the position after
// it, or -1 (and 0.0) when it does not fit.
int readDouble(std::span<const std::uint8_t> chunk, int position, double& value);

// Decodes a whole state chunk into `state` the way the plug-in loads one:
// names as above, then the 1393 values clamped to their ranges; a value that
// does not fit is read as 0.0 (clamped), and later values keep what `state`
// held. Returns the position after the last value, or -1.
int decodeStateChunk(std::span<const std::uint8_t> chunk, int start, KitState& state);

// Little-endian writers shared by the chunk and record formats.
void appendInt32(std::vector<std::uint8_t>& out, std::int32_t value);
void appendDouble(std::vector<std::uint8_t>& out, double value);
void storeDouble(std::uint8_t* at, double value);
double loadDouble(const std::uint8_t* at);
void storeInt32(std::uint8_t* at, std::int32_t value);
std::int32_t loadInt32(const std::uint8_t* at);

}  // namespace kettrix::kit
