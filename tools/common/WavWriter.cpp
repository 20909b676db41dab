#include "WavWriter.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

namespace kettrix::tools {

namespace {

constexpr uint16_t kFormatIeeeFloat = 3;

void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xFFFFu);
    put16(p + 2, v >> 16);
}

}  // namespace

WavWriter::WavWriter(const std::string& path, int channels, uint32_t sampleRate)
    : path_(path), channels_(channels), sampleRate_(sampleRate) {
    if (channels < 1 || channels > 0xFFFF)
        throw WavWriteError("WAV file '" + path + "': invalid channel count " + std::to_string(channels));
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) throw WavWriteError("cannot create '" + path + "': " + std::strerror(errno));
    writeHeader();
}

WavWriter::~WavWriter() {
    if (file_ != nullptr) {
        try {
            finish();
        } catch (const WavWriteError&) {}
    }
}

void WavWriter::writeHeader() {
    const uint32_t blockAlign = static_cast<uint32_t>(channels_) * 4u;
    const uint64_t dataBytes64 = frames_ * blockAlign;
    const uint64_t maxData = std::numeric_limits<uint32_t>::max() - kHeaderSize;
    if (dataBytes64 > maxData) throw WavWriteError("WAV file '" + path_ + "': more than 4 GB of audio");
    const auto dataBytes = static_cast<uint32_t>(dataBytes64);

    std::array<uint8_t, kHeaderSize> h{};
    std::memcpy(&h[0], "RIFF", 4);
    put32(&h[4], static_cast<uint32_t>(kHeaderSize - 8) + dataBytes);
    std::memcpy(&h[8], "WAVE", 4);
    std::memcpy(&h[12], "fmt ", 4);
    put32(&h[16], 18);
    put16(&h[20], kFormatIeeeFloat);
    put16(&h[22], static_cast<uint32_t>(channels_));
    put32(&h[24], sampleRate_);
    put32(&h[28], sampleRate_ * blockAlign);
    put16(&h[32], blockAlign);
    put16(&h[34], 32);
    put16(&h[36], 0);
    std::memcpy(&h[38], "fact", 4);
    put32(&h[42], 4);
    put32(&h[46], static_cast<uint32_t>(frames_));
    std::memcpy(&h[50], "data", 4);
    put32(&h[54], dataBytes);

    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h.data(), 1, h.size(), file_) != h.size())
        throw WavWriteError("cannot write '" + path_ + "': " + std::strerror(errno));
}

void WavWriter::write(const float* interleaved, std::size_t frames) {
    const uint64_t maxFrames = (std::numeric_limits<uint32_t>::max() - kHeaderSize) / (channels_ * 4u);
    if (frames_ + frames > maxFrames) throw WavWriteError("WAV file '" + path_ + "': more than 4 GB of audio");
    const std::size_t count = frames * static_cast<std::size_t>(channels_);
    // Little-endian floats regardless of the machine's byte order.
    bytes_.resize(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &interleaved[i], 4);
        put32(&bytes_[i * 4], bits);
    }
    if (std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size())
        throw WavWriteError("cannot write '" + path_ + "': " + std::strerror(errno));
    frames_ += frames;
}

void WavWriter::finish() {
    if (file_ == nullptr) return;
    std::FILE* file = file_;
    try {
        writeHeader();
    } catch (...) {
        std::fclose(file);
        file_ = nullptr;
        throw;
    }
    file_ = nullptr;
    if (std::fclose(file) != 0) throw WavWriteError("cannot finish '" + path_ + "': " + std::strerror(errno));
}

}  // namespace kettrix::tools
