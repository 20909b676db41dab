#include "FrequencyProbe.h"

#include "Fft.h"

#include <algorithm>
#include <cmath>

namespace kettrix::testing {

namespace {

using tools::fft;

constexpr double kPi = 3.14159265358979323846;

}  // namespace

std::vector<double> averageSpectrum(const std::vector<double>& signal, std::size_t frameSize) {
    std::vector<double> sum(frameSize / 2 + 1, 0.0);
    const bool padded = signal.size() < frameSize;
    const std::size_t frames = padded ? 1 : signal.size() / frameSize;
    std::vector<std::complex<double>> buffer(frameSize);
    for (std::size_t f = 0; f < frames; ++f) {
        for (std::size_t i = 0; i < frameSize; ++i) {
            const std::size_t at = f * frameSize + i;
            const double x = at < signal.size() ? signal[at] : 0.0;
            // Short one-shots are measured whole (no window), textures windowed.
            const double w =
                padded ? 1.0
                       : 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / static_cast<double>(frameSize));
            buffer[i] = {x * w, 0.0};
        }
        fft(buffer);
        for (std::size_t k = 0; k < sum.size(); ++k) sum[k] += std::abs(buffer[k]);
    }
    return sum;
}

double spectralCentroid(const std::vector<double>& signal, double sampleRate, std::size_t frameSize) {
    const auto spectrum = averageSpectrum(signal, frameSize);
    double weighted = 0.0, total = 0.0;
    for (std::size_t k = 1; k < spectrum.size(); ++k) {
        weighted += spectrum[k] * static_cast<double>(k);
        total += spectrum[k];
    }
    return total > 0.0 ? weighted / total * sampleRate / static_cast<double>(frameSize) : 0.0;
}

double dominantFrequency(const std::vector<double>& signal, double sampleRate, std::size_t frameSize) {
    const auto spectrum = averageSpectrum(signal, frameSize);
    std::size_t best = 1;
    for (std::size_t k = 1; k + 1 < spectrum.size(); ++k)
        if (spectrum[k] > spectrum[best]) best = k;
    double offset = 0.0;
    if (best > 0 && best + 1 < spectrum.size()) {
        const double a = spectrum[best - 1], b = spectrum[best], c = spectrum[best + 1];
        const double denominator = a - 2.0 * b + c;
        if (denominator != 0.0) offset = 0.5 * (a - c) / denominator;
    }
    return (static_cast<double>(best) + offset) * sampleRate / static_cast<double>(frameSize);
}

}  // namespace kettrix::testing
