#pragma once
// Measurements of rendered audio for the oscillator tests.

#include <cmath>
#include <cstddef>
#include <vector>

namespace kettrix::test {

// Frequency from the rising zero crossings (linearly interpolated) between
// the first and the last one: accurate to a small fraction of a cent over a
// second of signal.
inline double zeroCrossingFrequency(const std::vector<double>& x, double sampleRate) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0 && x[i] >= 0.0) {
            const double t = (i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
            if (first < 0.0) first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return (crossings - 1) * sampleRate / (last - first);
}

// Amplitude of the component at frequency f: a single DFT bin over the
// whole buffer with a Hann window, so that strong components elsewhere leak
// little into it.
inline double amplitudeAt(const std::vector<double>& x, double f, double sampleRate) {
    const double pi = 3.14159265358979323846;
    const double w = 2.0 * pi * f / sampleRate;
    const double n = double(x.size());
    double re = 0.0, im = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * pi * double(i) / n);
        re += hann * x[i] * std::cos(w * double(i));
        im -= hann * x[i] * std::sin(w * double(i));
    }
    return 4.0 * std::hypot(re, im) / n;  // 2 for one side, 2 for the window's mean
}

inline double peak(const std::vector<double>& x, std::size_t from = 0, std::size_t to = ~std::size_t(0)) {
    double p = 0.0;
    for (std::size_t i = from; i < x.size() && i < to; ++i) p = std::fmax(p, std::fabs(x[i]));
    return p;
}

inline double rms(const std::vector<double>& x) {
    double s = 0.0;
    for (double v : x) s += v * v;
    return x.empty() ? 0.0 : std::sqrt(s / double(x.size()));
}

}  // namespace kettrix::test
