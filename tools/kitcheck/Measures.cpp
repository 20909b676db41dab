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

// Samples at or after `limit` read as silence.
std::vector<double> powerSpectrum(const std::vector<double>& mono, std::size_t from, int size, int padded,
                                  std::size_t limit = SIZE_MAX) {
    std::vector<std::complex<double>> buffer(static_cast<std::size_t>(padded));
    for (int i = 0; i < size; ++i) {
        const std::size_t at = from + static_cast<std::size_t>(i);
        const double v = at < mono.size() && at < limit ? mono[at] : 0.0;
        buffer[static_cast<std::size_t>(i)] = {v * hann(i, size), 0.0};
    }
    tools::fft(buffer);
    std::vector<double> power(static_cast<std::size_t>(padded / 2));
    for (std::size_t k = 0; k < power.size(); ++k) power[k] = std::norm(buffer[k]);
    return power;
}

int nextPowerOfTwo(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

// Hann frames lasting what `samplesAt44k` lasts at 44.1 kHz, at any rate
// (zero-padded to a power of two), so that renders at different rates are
// analysed over the same times.
struct Frames {
    int size, padded;
    double binHz;
};
Frames framesFor(int samplesAt44k, double rate) {
    const int size = static_cast<int>(std::lround(samplesAt44k * rate / 44100.0));
    const int padded = nextPowerOfTwo(size);
    return {size, padded, rate / padded};
}

// Power spectrum summed over half-overlapping frames from `from` to `end`
// (at least one frame), samples from `limit` on read as silence.
std::vector<double> summedSpectrum(const std::vector<double>& mono, std::size_t from, std::size_t end, const Frames& f,
                                   std::size_t limit = SIZE_MAX) {
    std::vector<double> total(static_cast<std::size_t>(f.padded / 2), 0.0);
    const auto hop = static_cast<std::size_t>(std::max(1, f.size / 2));
    for (std::size_t at = from; at < std::max<std::size_t>(end, from + 1); at += hop) {
        const auto power = powerSpectrum(mono, at, f.size, f.padded, limit);
        for (std::size_t k = 0; k < total.size(); ++k) total[k] += power[k];
    }
    return total;
}

double centroidOf(const std::vector<double>& spectrum, double binHz, double highestHz) {
    double weighted = 0.0, sum = 0.0;
    for (std::size_t k = 1; k < spectrum.size(); ++k) {
        const double hz = static_cast<double>(k) * binHz;
        if (hz < 20.0) continue;
        if (hz > highestHz) break;
        weighted += hz * spectrum[k];
        sum += spectrum[k];
    }
    return sum > 0.0 ? weighted / sum : 0.0;
}

// Power between lowHz and highHz, each bin standing for the band of its
// width around it and counted by its overlap, so that a partial on a band
// edge splits alike on every bin grid (every rate).
double bandPower(const std::vector<double>& spectrum, double binHz, double lowHz, double highHz) {
    double sum = 0.0;
    const auto first = static_cast<std::size_t>(std::max(1.0, std::floor(lowHz / binHz - 0.5)));
    for (std::size_t k = first; k < spectrum.size(); ++k) {
        const double centre = static_cast<double>(k) * binHz;
        const double overlap = std::min(highHz, centre + 0.5 * binHz) - std::max(lowHz, centre - 0.5 * binHz);
        if (centre - 0.5 * binHz >= highHz) break;
        if (overlap > 0.0) sum += spectrum[k] * overlap / binHz;
    }
    return sum;
}

constexpr double kAudibleLowHz = 20.0, kAudibleHighHz = 20000.0;
constexpr int kCentroidFrame = 4096;

double toDb(double ratio) { return ratio > 0.0 ? std::max(kFloorDb, 10.0 * std::log10(ratio)) : kFloorDb; }

void measureSpectrum(const std::vector<double>& mono, std::size_t end, double rate, HitMeasures& m) {
    const Frames f = framesFor(kCentroidFrame, rate);
    const auto total = summedSpectrum(mono, 0, end, f);
    const double binHz = f.binHz;
    m.centroidHz = centroidOf(total, binHz, HUGE_VAL);
    m.audibleCentroidHz = centroidOf(total, binHz, kAudibleHighHz);
    const double audible = bandPower(total, binHz, kAudibleLowHz, kAudibleHighHz);
    if (audible <= 0.0) return;
    m.shareBelow100 = bandPower(total, binHz, kAudibleLowHz, 100.0) / audible;
    m.share120To400 = bandPower(total, binHz, 120.0, 400.0) / audible;
    m.shareAbove10k = bandPower(total, binHz, 10000.0, kAudibleHighHz) / audible;
    m.shareAbove15k = bandPower(total, binHz, 15000.0, kAudibleHighHz) / audible;
}

// Third-octave profile from a finer spectrum, so that the lowest bands hold
// bins.
void measureProfile(const std::vector<double>& mono, std::size_t end, double rate, HitMeasures& m) {
    const Frames f = framesFor(16384, rate);
    const auto spectrum = summedSpectrum(mono, 0, end, f);
    const double binHz = f.binHz;
    std::array<double, kProfileBands> power{};
    for (int b = 0; b < kProfileBands; ++b) {
        const double centre = 25.0 * std::pow(2.0, b / 3.0);
        const double low = centre * std::pow(2.0, -1.0 / 6.0), high = centre * std::pow(2.0, 1.0 / 6.0);
        power[static_cast<std::size_t>(b)] = bandPower(spectrum, binHz, low, high);
    }
    const double strongest = *std::max_element(power.begin(), power.end());
    for (int b = 0; b < kProfileBands; ++b)
        m.profileDb[static_cast<std::size_t>(b)] =
            strongest > 0.0 ? std::max(-60.0, toDb(power[static_cast<std::size_t>(b)] / strongest)) : -60.0;
}

// Centroid in each time window, from short frames (1024 samples at 44.1
// kHz) that see nothing outside their window, so that the attack is seen
// apart from the body.
void measureWindows(const std::vector<double>& mono, std::size_t onset, std::size_t end, double rate, HitMeasures& m) {
    const Frames f = framesFor(1024, rate);
    for (int w = 0; w < kCentroidWindows; ++w) {
        const auto from = onset + static_cast<std::size_t>(kCentroidWindowEdges[static_cast<std::size_t>(w)] * rate);
        const auto to = std::min(
            end, onset + static_cast<std::size_t>(kCentroidWindowEdges[static_cast<std::size_t>(w) + 1] * rate));
        if (from >= to) continue;
        const auto total = summedSpectrum(mono, from, to, f, to);
        m.windowCentroidHz[static_cast<std::size_t>(w)] = centroidOf(total, f.binHz, kAudibleHighHz);
    }
}

// A biquad low pass (Butterworth, RBJ form) run over the whole signal.
void lowPass(std::vector<double>& x, double cutoffHz, double rate) {
    const double w = 2.0 * kPi * cutoffHz / rate, alpha = std::sin(w) / std::sqrt(2.0), c = std::cos(w);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 - c) / 2.0 / a0, b1 = (1.0 - c) / a0, b2 = b0;
    const double a1 = -2.0 * c / a0, a2 = (1.0 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (double& v : x) {
        const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = v;
        y2 = y1;
        y1 = y;
        v = y;
    }
}

// Per-cycle pitch: the hit without DC and above 2 kHz (so that clicks and
// overtones add no crossings), its upward zero crossings interpolated, the
// cycles kept from the first to reach 40 dB below the peak until one falls
// below that again.
void measurePitch(const std::vector<double>& mono, std::size_t onset, double rate, HitMeasures& m) {
    std::vector<double> x(mono.begin() + static_cast<std::ptrdiff_t>(std::min(onset, mono.size())), mono.end());
    const double r = std::exp(-2.0 * kPi * 10.0 / rate);
    double previousIn = 0.0, previousOut = 0.0;
    for (double& v : x) {
        const double out = v - previousIn + r * previousOut;
        previousIn = v;
        previousOut = out;
        v = out;
    }
    lowPass(x, 2000.0, rate);
    lowPass(x, 2000.0, rate);
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    if (peak <= 0.0) return;
    const double gate = 0.01 * peak;
    struct Cycle {
        double time, hz;
    };
    std::vector<Cycle> cycles;
    double lastCrossing = -1.0, cycleMax = 0.0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        cycleMax = std::max(cycleMax, std::fabs(x[i]));
        if (!(x[i - 1] < 0.0 && x[i] >= 0.0)) continue;
        const double crossing = static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
        if (lastCrossing >= 0.0) {
            if (cycleMax >= gate) {
                cycles.push_back({0.5 * (lastCrossing + crossing) / rate, rate / (crossing - lastCrossing)});
            } else if (!cycles.empty()) {
                break;
            }
        }
        lastCrossing = crossing;
        cycleMax = 0.0;
    }
    if (cycles.size() < 4) return;
    for (std::size_t i = 0; i < cycles.size() && i < kTrackedCycles; ++i) m.cycleHz.push_back(cycles[i].hz);
    std::vector<double> tail;
    const std::size_t from = cycles.size() - std::max<std::size_t>(1, cycles.size() * 3 / 10);
    for (std::size_t i = from; i < cycles.size(); ++i) tail.push_back(cycles[i].hz);
    std::sort(tail.begin(), tail.end());
    m.settledPitchHz = tail[tail.size() / 2];
    m.startPitchHz = cycles.front().hz;
    m.sweepSemitones = semitones(m.startPitchHz, m.settledPitchHz);
    const auto at40 = std::find_if(cycles.begin(), cycles.end(), [](const Cycle& c) { return c.time >= 0.04; });
    m.sweepAt40msSemitones = semitones((at40 == cycles.end() ? cycles.back() : *at40).hz, m.settledPitchHz);
    for (const Cycle& c : cycles) {
        if (std::fabs(semitones(c.hz, m.settledPitchHz)) <= 1.0) {
            m.sweepSeconds = c.time;
            break;
        }
    }
}

double fundamental(const std::vector<double>& mono, std::size_t loudestAt, double rate) {
    // 8192 samples at 44.1 kHz (186 ms), the same time at every rate, padded
    // to four times that for the peak's position.
    const Frames f = framesFor(8192, rate);
    const int padded = 4 * f.padded;
    const std::size_t from = loudestAt + static_cast<std::size_t>(0.01 * rate);
    const auto power = powerSpectrum(mono, from, f.size, padded);
    const double binHz = rate / padded;
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
    std::size_t last = 0, sounding = 0;
    for (std::size_t i = 0; i < powers.size(); ++i) {
        if (powers[i] >= *loudest * 1e-6) last = i;
        if (powers[i] > *loudest * 1e-12) sounding = i;
    }
    // Decay-40 from the power over 25 ms, so that where a low tone's crest
    // falls in the 5 ms frames (and so the rate) does not move it.
    std::vector<double> smooth(powers.size(), 0.0);
    for (std::size_t i = 0; i < powers.size(); ++i) {
        const std::size_t from = i >= 2 ? i - 2 : 0, to = std::min(powers.size(), i + 3);
        for (std::size_t j = from; j < to; ++j) smooth[i] += powers[j] / static_cast<double>(to - from);
    }
    const double smoothLoudest = *std::max_element(smooth.begin(), smooth.end());
    std::size_t last40 = 0;
    for (std::size_t i = 0; i < smooth.size(); ++i)
        if (smooth[i] >= smoothLoudest * 1e-4) last40 = i;
    m.decaySeconds = static_cast<double>((last + 1) * frame) / sampleRate;
    m.decay40Seconds = (static_cast<double>(last40) + 0.5) * static_cast<double>(frame) / sampleRate;
    m.tailDb = toDb(std::max(powers[sounding], sounding > 0 ? powers[sounding - 1] : 0.0) / *loudest);

    std::size_t onset = 0;
    while (onset < left.size() && left[onset] == 0.0 && right[onset] == 0.0) ++onset;
    const double first = std::max(std::fabs(left[onset]), std::fabs(right[onset]));
    m.onsetStepDb = std::max(kFloorDb, 20.0 * std::log10(first / peak));

    std::vector<double> mono(left.size());
    for (std::size_t i = 0; i < left.size(); ++i) mono[i] = 0.5 * (left[i] + right[i]);
    const std::size_t end = (last + 1) * frame;
    measureSpectrum(mono, end, sampleRate, m);
    measureProfile(mono, end, sampleRate, m);
    measureWindows(mono, onset, std::min(end, mono.size()), sampleRate, m);
    measurePitch(mono, onset, sampleRate, m);
    m.fundamentalHz = fundamental(mono, static_cast<std::size_t>(loudest - powers.begin()) * frame, sampleRate);
    return m;
}

double semitones(double a, double b) { return a > 0.0 && b > 0.0 ? 12.0 * std::log2(a / b) : 0.0; }

namespace {

// Band powers, normalised to their sum, of the bands foldedPowerDb compares.
std::vector<double> foldBands(const std::vector<double>& mono, double rate) {
    const Frames f = framesFor(kCentroidFrame, rate);
    const auto spectrum = summedSpectrum(mono, 0, mono.size(), f);
    const double binHz = f.binHz;
    std::vector<double> bands;
    double total = 0.0;
    for (double low = kAudibleLowHz; low < kAudibleHighHz;) {
        const double high = std::min(kAudibleHighHz, std::max(low * std::pow(2.0, 1.0 / 12.0), low + 50.0));
        bands.push_back(bandPower(spectrum, binHz, low, high));
        total += bands.back();
        low = high;
    }
    if (total > 0.0)
        for (double& b : bands) b /= total;
    return bands;
}

}  // namespace

double foldedPowerDb(const std::vector<double>& mono, double rate, const std::vector<double>& highMono,
                     double highRate) {
    const auto a = foldBands(mono, rate), b = foldBands(highMono, highRate);
    // A partial near a band edge splits differently at the two rates: the
    // high rate's band counts with its neighbours.
    double excess = 0.0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        double high = b[i];
        if (i > 0) high = std::max(high, b[i - 1]);
        if (i + 1 < b.size()) high = std::max(high, b[i + 1]);
        if (a[i] > 10.0 * high) excess += a[i] - high;
    }
    return toDb(excess);
}

double soundDistance(const HitMeasures& a, const HitMeasures& b) {
    double squares = 0.0;
    for (int i = 0; i < kProfileBands; ++i) {
        const double d = a.profileDb[static_cast<std::size_t>(i)] - b.profileDb[static_cast<std::size_t>(i)];
        squares += d * d;
    }
    const double rms = std::sqrt(squares / kProfileBands);
    const double decay = 10.0 * std::log10(std::max(a.decay40Seconds, 0.005) / std::max(b.decay40Seconds, 0.005));
    return std::sqrt(rms * rms + decay * decay);
}

}  // namespace kettrix::kitcheck
