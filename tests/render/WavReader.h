// Reads the WAV files kettrix-render writes, for checking in tests. Walks
// the chunk list rather than assuming offsets, so a wrong size shows up.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kettrix::render::test {

struct WavData {
    bool valid = false;
    std::string problem;
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t factFrames = 0;
    bool hasFact = false;
    std::vector<float> samples;  // interleaved

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    float at(std::size_t frame, std::size_t channel) const { return samples[frame * channels + channel]; }
};

inline uint32_t readLe(const std::vector<uint8_t>& b, std::size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

inline WavData parseWav(const std::vector<uint8_t>& b) {
    WavData wav;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        wav.problem = "no RIFF/WAVE header";
        return wav;
    }
    if (readLe(b, 4, 4) != b.size() - 8) {
        wav.problem = "RIFF size does not match the file size";
        return wav;
    }
    bool haveFormat = false, haveData = false;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id(reinterpret_cast<const char*>(&b[at]), 4);
        const uint32_t size = readLe(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (body + size > b.size()) {
            wav.problem = "chunk '" + id + "' runs past the end";
            return wav;
        }
        if (id == "fmt ") {
            wav.formatTag = static_cast<uint16_t>(readLe(b, body, 2));
            wav.channels = static_cast<uint16_t>(readLe(b, body + 2, 2));
            wav.sampleRate = readLe(b, body + 4, 4);
            wav.byteRate = readLe(b, body + 8, 4);
            wav.blockAlign = static_cast<uint16_t>(readLe(b, body + 12, 2));
            wav.bitsPerSample = static_cast<uint16_t>(readLe(b, body + 14, 2));
            haveFormat = true;
        } else if (id == "fact") {
            wav.factFrames = readLe(b, body, 4);
            wav.hasFact = true;
        } else if (id == "data") {
            wav.samples.resize(size / 4);
            for (std::size_t i = 0; i < wav.samples.size(); ++i) {
                const uint32_t bits = readLe(b, body + i * 4, 4);
                std::memcpy(&wav.samples[i], &bits, 4);
            }
            haveData = true;
        }
        at = body + size + (size & 1u);
    }
    if (!haveFormat || !haveData) {
        wav.problem = "fmt or data chunk missing";
        return wav;
    }
    wav.valid = true;
    return wav;
}

inline WavData readWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavData wav = parseWav(bytes);
    if (!in && bytes.empty()) wav.problem = "cannot read " + path;
    return wav;
}

}  // namespace kettrix::render::test
