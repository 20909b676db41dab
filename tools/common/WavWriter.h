// Writes 32-bit float WAV files (WAVE_FORMAT_IEEE_FLOAT), streaming frames
// to disk and fixing the chunk sizes when the file is finished.
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace kettrix::tools {

class WavWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// File layout: "RIFF" size "WAVE", "fmt " (18 bytes: format 3, channels, rate,
// byte rate, block align, 32 bits, extension size 0), "fact" (frame count, as
// the format asks of non-PCM data), "data" with interleaved little-endian
// floats.
class WavWriter {
public:
    // Creates the file and writes a provisional header; throws WavWriteError.
    WavWriter(const std::string& path, int channels, uint32_t sampleRate);
    // Finishes the file if finish() was not called; errors are then lost.
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // frames × channels interleaved samples.
    void write(const float* interleaved, std::size_t frames);
    // Writes the final sizes and closes the file; throws on failure.
    void finish();

    uint64_t framesWritten() const { return frames_; }

    static constexpr std::size_t kHeaderSize = 58;

private:
    void writeHeader();

    std::string path_;
    std::FILE* file_ = nullptr;
    int channels_;
    uint32_t sampleRate_;
    uint64_t frames_ = 0;
    std::vector<uint8_t> bytes_;  // reused for every write
};

}  // namespace kettrix::tools
