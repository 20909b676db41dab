#include "SampleDsp.h"

#include <algorithm>
#include <cmath>

namespace kettrix::samplegen {

namespace {

struct Prototype {
    double cosw, alpha;
};

Prototype prototype(double hz, double q) {
    const double w = 2.0 * kPi * hz / kRate;
    return {std::cos(w), std::sin(w) / (2.0 * q)};
}

double peakOf(const Buffer& buffer) {
    double peak = 0.0;
    for (double v : buffer) peak = std::max(peak, std::fabs(v));
    return peak;
}

void scaleToPeak(Buffer& buffer) {
    // -1 dBFS leaves headroom for the interpolating read of the player.
    const double target = std::pow(10.0, -1.0 / 20.0);
    const double peak = peakOf(buffer);
    if (peak <= 0.0) return;
    for (double& v : buffer) v *= target / peak;
}

}  // namespace

Biquad Biquad::lowPass(double hz, double q) {
    const auto p = prototype(hz, q);
    const double a0 = 1.0 + p.alpha;
    Biquad f;
    f.b0_ = (1.0 - p.cosw) / 2.0 / a0;
    f.b1_ = (1.0 - p.cosw) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2.0 * p.cosw / a0;
    f.a2_ = (1.0 - p.alpha) / a0;
    return f;
}

Biquad Biquad::highPass(double hz, double q) {
    const auto p = prototype(hz, q);
    const double a0 = 1.0 + p.alpha;
    Biquad f;
    f.b0_ = (1.0 + p.cosw) / 2.0 / a0;
    f.b1_ = -(1.0 + p.cosw) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2.0 * p.cosw / a0;
    f.a2_ = (1.0 - p.alpha) / a0;
    return f;
}

Biquad Biquad::bandPass(double hz, double q) {
    const auto p = prototype(hz, q);
    const double a0 = 1.0 + p.alpha;
    Biquad f;
    f.b0_ = p.alpha / a0;
    f.b1_ = 0.0;
    f.b2_ = -p.alpha / a0;
    f.a1_ = -2.0 * p.cosw / a0;
    f.a2_ = (1.0 - p.alpha) / a0;
    return f;
}

double Biquad::process(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

void Biquad::processLoop(Buffer& buffer) {
    for (double v : buffer) process(v);
    for (double& v : buffer) v = process(v);
}

void Biquad::processOnce(Buffer& buffer) {
    for (double& v : buffer) v = process(v);
}

Buffer whiteNoise(std::size_t length, Rng& rng) {
    Buffer out(length);
    for (double& v : out) v = rng.bipolar();
    return out;
}

void addWrapped(Buffer& buffer, std::size_t position, const Buffer& event, double gain) {
    const std::size_t n = buffer.size();
    for (std::size_t i = 0; i < event.size(); ++i) buffer[(position + i) % n] += event[i] * gain;
}

Buffer strike(const std::vector<Partial>& partials, std::size_t length, Rng& rng) {
    Buffer out(length, 0.0);
    for (const Partial& p : partials) {
        const double phase = rng.unit() * 2.0 * kPi;
        // exp(-6.9 t / T60) falls by 60 dB in T60 seconds.
        const double decayPerSample = std::exp(-6.907755 / (p.decaySeconds * kRate));
        const double w = 2.0 * kPi * p.hz / kRate;
        double envelope = p.amplitude;
        for (std::size_t i = 0; i < length; ++i) {
            out[i] += envelope * std::sin(w * static_cast<double>(i) + phase);
            envelope *= decayPerSample;
        }
    }
    // A short onset ramp so the strike has no step at its first sample.
    for (std::size_t i = 0; i < std::min<std::size_t>(8, length); ++i) out[i] *= static_cast<double>(i) / 8.0;
    return out;
}

Buffer noiseBurst(std::size_t length, double decaySeconds, Rng& rng) {
    Buffer out(length);
    const double decayPerSample = std::exp(-6.907755 / (decaySeconds * kRate));
    double envelope = 1.0;
    for (double& v : out) {
        v = rng.bipolar() * envelope;
        envelope *= decayPerSample;
    }
    return out;
}

double loopFrequency(double hz, std::size_t loopLength) {
    const double cycles = std::max(1.0, std::round(hz * static_cast<double>(loopLength) / kRate));
    return cycles * kRate / static_cast<double>(loopLength);
}

double loopSquare(double hz, std::size_t loopLength, std::size_t i, double phaseOffset) {
    // Whole cycles per loop, so cycles * i / length is exactly periodic.
    const double cycles = std::round(hz * static_cast<double>(loopLength) / kRate);
    const double phase = cycles * static_cast<double>(i) / static_cast<double>(loopLength) + phaseOffset;
    return (phase - std::floor(phase)) < 0.5 ? 1.0 : -1.0;
}

void combLoop(Buffer& buffer, std::size_t delay, double feedback) {
    // Iterating around the loop converges to the circular solution because
    // |feedback| < 1; enough passes for the echoes to fall below 16-bit level.
    const std::size_t n = buffer.size();
    const Buffer input = buffer;
    Buffer out(n, 0.0);
    const double decayPerLoop = std::pow(std::fabs(feedback), static_cast<double>(n) / static_cast<double>(delay));
    int passes = 1;
    for (double residual = decayPerLoop; residual > 1e-6 && passes < 64; residual *= decayPerLoop) ++passes;
    for (int pass = 0; pass < passes + 1; ++pass)
        for (std::size_t i = 0; i < n; ++i) out[i] = input[i] + feedback * out[(i + n - delay % n) % n];
    buffer = out;
}

void finishTexture(Buffer& buffer) {
    double mean = 0.0;
    for (double v : buffer) mean += v;
    mean /= static_cast<double>(buffer.size());
    for (double& v : buffer) v -= mean;
    scaleToPeak(buffer);
}

void finishOneShot(Buffer& buffer, double fadeFraction) {
    const std::size_t n = buffer.size();
    const auto fadeLength = static_cast<std::size_t>(static_cast<double>(n) * fadeFraction);
    for (std::size_t i = 0; i < fadeLength; ++i) {
        const double t = static_cast<double>(i + 1) / static_cast<double>(fadeLength + 1);
        buffer[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * t);
    }
    if (n > 2) {
        Buffer window(n);
        double sumWindow = 0.0, sum = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double s = std::sin(kPi * static_cast<double>(i) / static_cast<double>(n - 1));
            window[i] = s * s;
            sumWindow += window[i];
            sum += buffer[i];
        }
        for (std::size_t i = 0; i < n; ++i) buffer[i] -= sum / sumWindow * window[i];
    }
    scaleToPeak(buffer);
}

std::vector<unsigned char> toPcm16(const Buffer& buffer) {
    std::vector<unsigned char> bytes;
    bytes.reserve(buffer.size() * 2);
    for (double v : buffer) {
        const double scaled = std::clamp(std::round(v * 32767.0), -32767.0, 32767.0);
        const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(scaled));
        bytes.push_back(static_cast<unsigned char>(word & 0xFFu));
        bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
    return bytes;
}

}  // namespace kettrix::samplegen
