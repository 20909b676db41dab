// kettrix-audition [output directory]
//
// Renders every noise type (at pitches 0.25, 0.5 and 0.75, mono and full
// stereo) and every hit type (dark and bright) through the engine's voices
// into WAV files, and draws one spectrogram PNG per type from the pitch 0.5
// mono render (the sample at its own rate). Prints peak and RMS of each.
#include "AuditionRender.h"
#include "Sonogram.h"
#include "WavWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace kettrix::audition;

// The channels (all the same length) as a 32-bit float WAV file; false on
// an I/O error.
bool writeWav(const std::string& path, const std::vector<std::vector<double>>& channels, int sampleRate) {
    const std::size_t frames = channels.front().size();
    std::vector<float> interleaved(frames * channels.size());
    for (std::size_t i = 0; i < frames; ++i)
        for (std::size_t c = 0; c < channels.size(); ++c)
            interleaved[i * channels.size() + c] = static_cast<float>(channels[c][i]);
    try {
        kettrix::tools::WavWriter writer(path, static_cast<int>(channels.size()),
                                         static_cast<std::uint32_t>(sampleRate));
        writer.write(interleaved.data(), frames);
        writer.finish();
        return true;
    } catch (const kettrix::tools::WavWriteError&) {
        return false;
    }
}

std::string slug(const char* name) {
    std::string out;
    for (const char* c = name; *c != '\0'; ++c) {
        const auto ch = static_cast<unsigned char>(*c);
        if (std::isalnum(ch))
            out += static_cast<char>(std::tolower(ch));
        else if (!out.empty() && out.back() != '-')
            out += '-';
    }
    return out;
}

std::string numbered(int type, const char* name) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d-", type);
    return prefix + slug(name);
}

void report(const std::string& file, const std::vector<double>& x) {
    double peak = 0.0, sum = 0.0;
    for (double v : x) {
        peak = std::max(peak, std::fabs(v));
        sum += v * v;
    }
    const double rms = x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
    std::printf("%-48s peak %7.2f dBFS  rms %7.2f dBFS\n", file.c_str(), 20.0 * std::log10(peak + 1e-12),
                20.0 * std::log10(rms + 1e-12));
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path root = argc > 1 ? argv[1] : "audition";
    for (const char* sub : {"noise", "hit", "spectrograms"}) std::filesystem::create_directories(root / sub);
    int failures = 0;

    for (int type = 1; type <= 39; ++type) {
        const std::string base = numbered(type, noiseTypeName(type));
        for (double pitch : {0.25, 0.5, 0.75}) {
            for (double stereo : {0.0, 1.0}) {
                const auto out = renderNoise({type, pitch, stereo, 1.5, 44100.0});
                char suffix[32];
                std::snprintf(suffix, sizeof suffix, "-p%03d-%s.wav", static_cast<int>(pitch * 100),
                              stereo > 0.0 ? "stereo" : "mono");
                const std::string file = base + suffix;
                if (!writeWav((root / "noise" / file).string(), {out.left, out.right}, 44100)) ++failures;
                report("noise/" + file, out.left);
                if (pitch == 0.5 && stereo == 0.0) {
                    const auto png = (root / "spectrograms" / ("noise-" + base + ".png")).string();
                    if (!writeSpectrogramPng(png, out.left, {})) ++failures;
                }
            }
        }
    }

    for (int type = 1; type <= 18; ++type) {
        const std::string base = numbered(type, hitTypeName(type));
        for (double level : {0.4, 1.0}) {
            const auto out = renderHit({type, level, 0.5, 0.25, 44100.0});
            const std::string file = base + (level < 1.0 ? "-dark.wav" : "-bright.wav");
            if (!writeWav((root / "hit" / file).string(), {out}, 44100)) ++failures;
            report("hit/" + file, out);
            if (level == 1.0) {
                // Short hits: a small frame and a fine hop keep the click visible.
                const std::vector<double> head(
                    out.begin(), out.begin() + std::min<std::ptrdiff_t>(8192, static_cast<std::ptrdiff_t>(out.size())));
                const auto png = (root / "spectrograms" / ("hit-" + base + ".png")).string();
                if (!writeSpectrogramPng(png, head, {256, 8, 256, 1200})) ++failures;
            }
        }
    }
    if (failures > 0) std::fprintf(stderr, "%d files could not be written\n", failures);
    return failures == 0 ? 0 : 1;
}
