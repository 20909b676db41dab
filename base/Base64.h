// Standard base64 ("A-Z", "a-z", "0-9", "+", "/") as used by preset blobs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kettrix {

// Encodes with "=" padding.
std::string Base64Encode(const uint8_t* data, std::size_t size);

// Decodes into `out` (size bytes, zero-filled first). Decoding stops at the
// first character outside the alphabet, so a trailing "=" ends it; bytes
// beyond `size` are dropped. Returns the number of bytes decoded (<= size).
std::size_t Base64Decode(const char* text, uint8_t* out, std::size_t size);

}  // namespace kettrix
