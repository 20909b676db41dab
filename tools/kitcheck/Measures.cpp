#include "Measures.h"

#include "Fft.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <complex>

namespace kettrix::kitcheck {

namespace {

constexpr double kPi = 3.14159265358979323846;

double hann(int i, int n) { return 0.5 - 0.5 * std::cos(2.0 * kPi * i / n); }

// Power of the left+right sum in frames of `frame` samples.
std::vector<double> framePowers(const std::vector<double>& left, const std::vector<double>& right, std::size_t frame) {
    std::vector<double> powers;
    for (std::size_t start = 0; start < left.size(); start += frame) {
        const std::size_t end = std::min(left.size(), start + frame);
        double sum = 0.0;
        for (std::size_t i = start; i < end; ++i) sum += left[i] * left[i] + right[i] * right[i];
        powers.push_back(sum / static_cast<double>(frame));
    }
    return powers;
}

std::vector<double> powerSpectrum(const std::vector<double>& mono, std::size_t from, int size, int padded) {
    std::vector<std::complex<double>> buffer(static_cast<std::size_t>(padded));
    for (int i = 0; i < size; ++i) {
        const std::size_t at = from + static_cast<std::size_t>(i);
        const double v = at < mono.size() ? mono[at] : 0.0;
        buffer[static_cast<std::size_t>(i)] = {v * hann(i, size), 0.0};
    }
    tools::fft(buffer);
    std::vector<double> power(static_cast<std::size_t>(padded / 2));
    for (std::size_t k = 0; k < power.size(); ++k) power[k] = std::norm(buffer[k]);
    return power;
}

double centroid(const std::vector<double>& mono, std::size_t end, double rate) {
    constexpr int kFrame = 4096;
    std::vector<double> total(kFrame / 2, 0.0);
    for (std::size_t from = 0; from < std::max<std::size_t>(end, 1); from += kFrame / 2) {
        const auto power = powerSpectrum(mono, from, kFrame, kFrame);
        for (std::size_t k = 0; k < total.size(); ++k) total[k] += power[k];
    }
    double weighted = 0.0, sum = 0.0;
    for (std::size_t k = 1; k < total.size(); ++k) {
        const double hz = static_cast<double>(k) * rate / kFrame;
        if (hz < 20.0) continue;
        weighted += hz * total[k];
        sum += total[k];
    }
    return sum > 0.0 ? weighted / sum : 0.0;
}

double fundamental(const std::vector<double>& mono, std::size_t loudestAt, double rate) {
    constexpr int kSize = 8192, kPadded = 32768;
    const std::size_t from = loudestAt + static_cast<std::size_t>(0.01 * rate);
    const auto power = powerSpectrum(mono, from, kSize, kPadded);
    const double binHz = rate / kPadded;
    std::size_t best = 0;
    double total = 0.0;
    for (std::size_t k = 1; k < power.size(); ++k) {
        const double hz = static_cast<double>(k) * binHz;
        if (hz < 20.0) continue;
        total += power[k];
        if (hz <= 4000.0 && (best == 0 || power[k] > power[best])) best = k;
    }
    if (best == 0 || total <= 0.0) return 0.0;
    // Energy within 6 % of the peak frequency.
    const double peakHz = static_cast<double>(best) * binHz;
    double near = 0.0;
    for (std::size_t k = 1; k < power.size(); ++k) {
        const double hz = static_cast<double>(k) * binHz;
        if (std::fabs(hz - peakHz) <= 0.06 * peakHz) near += power[k];
    }
    if (near < 0.25 * total) return 0.0;
    // Parabolic interpolation of the log power around the peak.
    const double a = std::log(power[best - 1] + 1e-300), b = std::log(power[best] + 1e-300),
                 c = std::log(power[best + 1] + 1e-300);
    const double denominator = a - 2.0 * b + c;
    const double shift = denominator != 0.0 ? 0.5 * (a - c) / denominator : 0.0;
    return (static_cast<double>(best) + std::clamp(shift, -0.5, 0.5)) * binHz;
}

}  // namespace

double maxMomentaryLoudness(const std::vector<double>& left, const std::vector<double>& right, double sampleRate) {
    ebur128_state* state = ebur128_init(2, static_cast<unsigned long>(sampleRate), EBUR128_MODE_M);
    if (state == nullptr) return kSilentLufs;
    const std::size_t step = static_cast<std::size_t>(sampleRate / 100);
    std::vector<double> interleaved(2 * step);
    double loudest = -HUGE_VAL;
    // A trailing 400 ms of silence lets the window pass over the whole hit.
    const std::size_t total = left.size() + static_cast<std::size_t>(0.4 * sampleRate);
    for (std::size_t start = 0; start < total; start += step) {
        const std::size_t count = std::min(step, total - start);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = start + i;
            interleaved[2 * i] = at < left.size() ? left[at] : 0.0;
            interleaved[2 * i + 1] = at < right.size() ? right[at] : 0.0;
        }
        ebur128_add_frames_double(state, interleaved.data(), count);
        double momentary = -HUGE_VAL;
        if (ebur128_loudness_momentary(state, &momentary) == EBUR128_SUCCESS) loudest = std::max(loudest, momentary);
    }
    ebur128_destroy(&state);
    return std::isfinite(loudest) ? std::max(loudest, kSilentLufs) : kSilentLufs;
}

HitMeasures measureHit(const std::vector<double>& left, const std::vector<double>& right, double sampleRate) {
    HitMeasures m;
    double peak = 0.0;
    for (std::size_t i = 0; i < left.size(); ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    m.peakDb = 20.0 * std::log10(peak + 1e-12);
    if (m.peakDb < kSilentPeakDb) return m;
    m.silent = false;
    m.loudness = maxMomentaryLoudness(left, right, sampleRate);

    const auto frame = static_cast<std::size_t>(0.005 * sampleRate);
    const std::vector<double> powers = framePowers(left, right, frame);
    const auto loudest = std::max_element(powers.begin(), powers.end());
    std::size_t last = 0;
    for (std::size_t i = 0; i < powers.size(); ++i)
        if (powers[i] >= *loudest * 1e-6) last = i;
    m.decaySeconds = static_cast<double>((last + 1) * frame) / sampleRate;

    std::vector<double> mono(left.size());
    for (std::size_t i = 0; i < left.size(); ++i) mono[i] = 0.5 * (left[i] + right[i]);
    m.centroidHz = centroid(mono, (last + 1) * frame, sampleRate);
    m.fundamentalHz = fundamental(mono, static_cast<std::size_t>(loudest - powers.begin()) * frame, sampleRate);
    return m;
}

}  // namespace kettrix::kitcheck
