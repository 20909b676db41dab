#pragma once
// Spectrogram images: time left to right, frequency bottom to top (linear from
// 0 to half the sample rate, or logarithmic between two frequencies), level
// -96..0 dB as a dark-to-bright colour ramp.

#include <string>
#include <vector>

namespace kettrix::audition {

struct SpectrogramSettings {
    int frameSize = 1024;  // power of two
    int hop = 256;
    int height = 256;     // frequency rows
    int maxWidth = 1200;  // columns; the hop grows for long signals
    // Above 0: exactly this many columns spread over the signal (the hop
    // follows), so signals of one length share a time scale.
    int width = 0;
    // Above 0: rows spaced logarithmically from this frequency up to
    // maxHz (drum fundamentals need the room); 0 keeps the linear scale.
    double minHz = 0.0;
    double maxHz = 20000.0;
    double sampleRate = 44100.0;
};

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top to bottom, 3 bytes a pixel
};

RgbImage renderSpectrogram(const std::vector<double>& signal, const SpectrogramSettings& settings);
bool writePng(const std::string& path, const RgbImage& image);
bool writeSpectrogramPng(const std::string& path, const std::vector<double>& signal,
                         const SpectrogramSettings& settings);

}  // namespace kettrix::audition
