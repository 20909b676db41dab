#pragma once
// Spectrogram images: time left to right, frequency (linear, 0 to half the
// sample rate) bottom to top, level -96..0 dB as a dark-to-bright colour ramp.

#include <string>
#include <vector>

namespace kettrix::audition {

struct SpectrogramSettings {
    int frameSize = 1024;  // power of two
    int hop = 256;
    int height = 256;     // frequency rows
    int maxWidth = 1200;  // columns; the hop grows for long signals
};

bool writeSpectrogramPng(const std::string& path, const std::vector<double>& signal,
                         const SpectrogramSettings& settings);

}  // namespace kettrix::audition
