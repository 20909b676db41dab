#include "base/Base64.h"

#include <cstring>

namespace kettrix {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(const uint8_t* data, std::size_t size) {
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        const std::size_t remaining = size - i;
        uint32_t group = static_cast<uint32_t>(data[i]) << 16;
        if (remaining > 1) group |= static_cast<uint32_t>(data[i + 1]) << 8;
        if (remaining > 2) group |= data[i + 2];
        text.push_back(kAlphabet[(group >> 18) & 63]);
        text.push_back(kAlphabet[(group >> 12) & 63]);
        text.push_back(remaining > 1 ? kAlphabet[(group >> 6) & 63] : '=');
        text.push_back(remaining > 2 ? kAlphabet[group & 63] : '=');
    }
    return text;
}

std::size_t Base64Decode(const char* text, uint8_t* out, std::size_t size) {
    if (size > 0) {
        std::memset(out, 0, size);
    }
    if (text == nullptr) {
        return 0;
    }
    std::size_t written = 0;
    uint32_t bits = 0;
    int bitCount = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const int sextet = SextetOf(*p);
        if (sextet < 0) {
            break;
        }
        bits = ((bits << 6) | static_cast<uint32_t>(sextet)) & 0xFFFFFFu;
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            if (written < size) {
                out[written++] = static_cast<uint8_t>(bits >> bitCount);
            } else {
                break;
            }
        }
    }
    return written;
}

}  // namespace kettrix
