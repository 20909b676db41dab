// Compares two 32-bit float WAV files written by kettrix-render sample by
// sample. Prints the channel count, frame count, the peak level and the
// largest absolute difference; exits 0 only when both hold the same format
// and frame count, are finite and not silent (two silent files prove
// nothing), and every difference is at most the given tolerance (default 0:
// bit-identical).
//
// Usage: wav_diff A.wav B.wav [tolerance]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct FloatWav {
    int channels = 0;
    std::vector<float> samples;  // interleaved
};

uint32_t readLe32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t readLe16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Walks the RIFF chunks for "fmt " (format 3, 32 bits) and "data".
bool readFloatWav(const std::string& path, FloatWav& wav, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = path + ": not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const unsigned char* chunk = bytes.data() + pos;
        const std::size_t size = readLe32(chunk + 4);
        if (size > bytes.size() - pos - 8) {
            error = path + ": truncated chunk";
            return false;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            const uint16_t format = readLe16(chunk + 8);
            wav.channels = readLe16(chunk + 10);
            const uint16_t bits = readLe16(chunk + 22);
            // 0xFFFE is WAVE_FORMAT_EXTENSIBLE; its subformat is not checked
            // here beyond the sample size.
            if ((format != 3 && format != 0xFFFE) || bits != 32 || wav.channels == 0) {
                error = path + ": not 32-bit float samples";
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                error = path + ": data before format";
                return false;
            }
            wav.samples.resize(size / 4);
            std::memcpy(wav.samples.data(), chunk + 8, wav.samples.size() * 4);
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    error = path + ": no data chunk";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: wav_diff A.wav B.wav [tolerance]\n");
        return 2;
    }
    const double tolerance = argc == 4 ? std::strtod(argv[3], nullptr) : 0.0;
    FloatWav a, b;
    std::string error;
    if (!readFloatWav(argv[1], a, error) || !readFloatWav(argv[2], b, error)) {
        std::fprintf(stderr, "wav_diff: %s\n", error.c_str());
        return 2;
    }
    if (a.channels != b.channels || a.samples.size() != b.samples.size()) {
        std::printf("different layout: %d ch x %zu frames vs %d ch x %zu frames\n", a.channels,
                    a.samples.size() / static_cast<std::size_t>(a.channels), b.channels,
                    b.samples.size() / static_cast<std::size_t>(b.channels));
        return 1;
    }
    double largest = 0.0, peak = 0.0;
    std::size_t differing = 0, firstDiffering = a.samples.size();
    bool finite = true;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        finite = finite && std::isfinite(a.samples[i]) && std::isfinite(b.samples[i]);
        peak = std::fmax(peak, std::fabs(static_cast<double>(a.samples[i])));
        if (std::memcmp(&a.samples[i], &b.samples[i], sizeof(float)) != 0) {
            ++differing;
            if (firstDiffering == a.samples.size()) firstDiffering = i;
            largest = std::fmax(largest, std::fabs(static_cast<double>(a.samples[i]) - b.samples[i]));
        }
    }
    const std::size_t frames = a.samples.size() / static_cast<std::size_t>(a.channels);
    std::printf("%d ch x %zu frames, peak %.3f: %zu samples differ, largest difference %.9g", a.channels, frames, peak,
                differing, largest);
    if (differing != 0)
        std::printf(" (first at frame %zu, channel %zu)", firstDiffering / static_cast<std::size_t>(a.channels),
                    firstDiffering % static_cast<std::size_t>(a.channels));
    std::printf("%s%s\n", finite ? "" : "; NON-FINITE samples present", peak > 0.0 ? "" : "; SILENT");
    return finite && peak > 0.0 && largest <= tolerance && (tolerance > 0.0 || differing == 0) ? 0 : 1;
}
