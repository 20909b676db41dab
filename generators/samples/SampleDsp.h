// Small DSP toolkit for synthesizing the noise and hit sample library.
//
// Everything here is deterministic: random numbers come from our own 32-bit
// generator (unsigned arithmetic), and no standard-library distribution is
// used. Textures are built "circularly": every event, filter and delay wraps
// around the end of the buffer, so the last sample flows into the first and a
// looping player never clicks at the seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kettrix::samplegen {

using Buffer = std::vector<double>;

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// Linear congruential generator (Numerical Recipes constants); 32-bit wrap.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 8) / 16777216.0; }
    // Uniform in [-1, 1).
    double bipolar() { return unit() * 2.0 - 1.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint32_t state_;
};

// Second-order filter with the usual analogue-prototype coefficients.
class Biquad {
public:
    static Biquad lowPass(double hz, double q);
    static Biquad highPass(double hz, double q);
    static Biquad bandPass(double hz, double q);  // 0 dB peak gain

    double process(double x);
    // Filters a texture in place as an endless loop: one warm-up pass sets the
    // state the loop would have at its seam, the second pass writes the output.
    void processLoop(Buffer& buffer);
    // Filters a one-shot from rest.
    void processOnce(Buffer& buffer);

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

Buffer whiteNoise(std::size_t length, Rng& rng);

// Adds `event` into `buffer` starting at `position`, wrapping past the end.
void addWrapped(Buffer& buffer, std::size_t position, const Buffer& event, double gain = 1.0);

// A struck resonant body: decaying sine partials. Frequencies in Hz, decay as
// the time in seconds to fall by 60 dB.
struct Partial {
    double hz;
    double amplitude;
    double decaySeconds;
};
Buffer strike(const std::vector<Partial>& partials, std::size_t length, Rng& rng);

// Exponentially decaying noise burst (decay: seconds to -60 dB).
Buffer noiseBurst(std::size_t length, double decaySeconds, Rng& rng);

// A frequency nudged so that a whole number of cycles fits the loop length.
double loopFrequency(double hz, std::size_t loopLength);

// Naive square wave of a loop-fitted frequency at sample i (exactly periodic).
double loopSquare(double hz, std::size_t loopLength, std::size_t i, double phaseOffset);

// Circular feedback comb: y[i] = x[i] + feedback * y[i - delay] around the loop.
void combLoop(Buffer& buffer, std::size_t delay, double feedback);

// Finishing: textures get their mean removed; one-shots get a DC correction
// shaped like a Hann window (keeps both ends at rest) and a short fade-out.
// Both are then scaled to a peak of -1 dBFS.
void finishTexture(Buffer& buffer);
void finishOneShot(Buffer& buffer, double fadeFraction);

// Signed 16-bit little-endian bytes.
std::vector<unsigned char> toPcm16(const Buffer& buffer);

}  // namespace kettrix::samplegen
