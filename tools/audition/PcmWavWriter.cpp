#include "PcmWavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kettrix::audition {

namespace {

void put16(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFFu));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFFu));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

void putTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool writeWav(const std::string& path, const std::vector<std::vector<double>>& channels, int sampleRate) {
    if (channels.empty()) return false;
    const auto channelCount = static_cast<std::uint32_t>(channels.size());
    const auto frames = static_cast<std::uint32_t>(channels[0].size());
    const std::uint32_t dataBytes = frames * channelCount * 2u;
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36u + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16u);
    put16(out, 1u);  // integer PCM
    put16(out, channelCount);
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * channelCount * 2u);
    put16(out, channelCount * 2u);
    put16(out, 16u);
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (const auto& channel : channels) {
            const double v = std::clamp(channel[i], -1.0, 1.0);
            const auto sample = static_cast<std::int16_t>(std::lround(v * 32767.0));
            put16(out, static_cast<std::uint16_t>(sample));
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace kettrix::audition
