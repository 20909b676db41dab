// Recipes of the 37 noise textures. The noise section plays them as endless
// textures through two crossfading read heads that jump at random, so every
// recipe builds a steady texture of its material (a stream of strikes, claps
// or rattles rather than one decaying hit) that loops without a seam.
#include "NoiseRecipes.h"

#include <algorithm>
#include <cmath>

namespace kettrix::samplegen {

namespace {

// Places `count` copies of an event made by `makeEvent` at roughly even,
// slightly jittered positions around the loop. The events at the start and
// at the middle sit exactly there: a note starts with head A at the start of
// the sample and head B half way, so both heads begin on an onset.
template <typename MakeEvent>
void scatter(Buffer& out, int count, double jitter, Rng& rng, MakeEvent makeEvent) {
    const double spacing = static_cast<double>(out.size()) / count;
    for (int k = 0; k < count; ++k) {
        const bool anchored = k == 0 || 2 * k == count;
        const double offset = rng.range(-jitter, jitter);
        const double at = (k + (anchored ? 0.0 : offset)) * spacing;
        const auto position = static_cast<std::size_t>(std::max(0.0, at)) % out.size();
        addWrapped(out, position, makeEvent(k), rng.range(0.7, 1.0));
    }
}

}  // namespace

// --- Plain and treated noise -------------------------------------------------

// Uniform white noise.
Buffer noiseWhite(std::size_t n) {
    Rng rng(0x5EED0003u);
    return whiteNoise(n, rng);
}

// White noise through two 800 Hz low-pass sections: a soft, dark hiss.
Buffer noiseLowPass(std::size_t n) {
    Rng rng(0x5EED0004u);
    Buffer b = whiteNoise(n, rng);
    Biquad::lowPass(800, 0.7).processLoop(b);
    Biquad::lowPass(800, 0.7).processLoop(b);
    return b;
}

// Noise through a 2 kHz band-pass of moderate width.
Buffer noiseBandPass(std::size_t n) {
    Rng rng(0x5EED0005u);
    Buffer b = whiteNoise(n, rng);
    Biquad::bandPass(2000, 2.0).processLoop(b);
    Biquad::bandPass(2000, 2.0).processLoop(b);
    return b;
}

// Noise above 5 kHz: a thin, sizzling hiss.
Buffer noiseHighPass(std::size_t n) {
    Rng rng(0x5EED0006u);
    Buffer b = whiteNoise(n, rng);
    Biquad::highPass(5000, 0.7).processLoop(b);
    Biquad::highPass(5000, 0.7).processLoop(b);
    return b;
}

// Mid-band noise driven hard into a clipper: dense, gritty, square-edged.
Buffer noiseDistorted(std::size_t n) {
    Rng rng(0x5EED0007u);
    Buffer b = whiteNoise(n, rng);
    Biquad::lowPass(3000, 0.7).processLoop(b);
    for (double& v : b) v = std::clamp(v * 8.0, -1.0, 1.0);
    Biquad::highPass(60, 0.7).processLoop(b);
    return b;
}

// Sample-rate and bit-depth reduction: held for 6 samples, 16 levels.
Buffer noiseCrushed(std::size_t n) {
    Rng rng(0x5EED0008u);
    Buffer b = whiteNoise(n, rng);
    double held = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 6 == 0) held = std::round(b[i] * 7.5) / 7.5;
        b[i] = held;
    }
    return b;
}

// --- Snares: wire rattle plus the shell's ringing modes ------------------------

struct SnareVoicing {
    std::uint32_t seed;
    double wireLow, wireHigh;  // band of the snare wires, Hz
    double shellHz[2];         // the two strongest shell modes
    double shellLevel;         // shell against wires
    int rattles;               // wire bursts per loop
    double rattleDecay;        // seconds
};

// Snare wires as repeated noise bursts in the wire band, over a continuous
// bed of the same noise, with the shell modes ringing under every burst.
Buffer snare(std::size_t n, const SnareVoicing& v) {
    Rng rng(v.seed);
    Buffer out = whiteNoise(n, rng);
    for (double& s : out) s *= 0.25;
    scatter(out, v.rattles, 0.3, rng, [&](int) {
        Buffer burst = noiseBurst(n / 2, v.rattleDecay, rng);
        const Buffer shell = strike(
            {{v.shellHz[0], v.shellLevel, v.rattleDecay * 1.5}, {v.shellHz[1], v.shellLevel * 0.6, v.rattleDecay}},
            n / 2, rng);
        for (std::size_t i = 0; i < burst.size(); ++i) burst[i] += shell[i] * 4.0;
        return burst;
    });
    Buffer shellBed = out;
    Biquad::highPass(v.wireLow, 0.7).processLoop(out);
    Biquad::lowPass(v.wireHigh, 0.7).processLoop(out);
    Biquad::bandPass(v.shellHz[0], 4.0).processLoop(shellBed);
    for (std::size_t i = 0; i < n; ++i) out[i] += shellBed[i] * v.shellLevel;
    return out;
}

Buffer snare808(std::size_t n) { return snare(n, {0x5EED0009u, 1800, 9000, {180, 330}, 0.5, 4, 0.12}); }
Buffer snare909(std::size_t n) { return snare(n, {0x5EED000Au, 2500, 13000, {200, 350}, 0.35, 6, 0.09}); }
Buffer snareAcoustic1(std::size_t n) { return snare(n, {0x5EED000Bu, 900, 8000, {190, 300}, 0.6, 4, 0.10}); }
Buffer snareAcoustic2(std::size_t n) { return snare(n, {0x5EED000Cu, 1200, 10000, {230, 370}, 0.45, 6, 0.08}); }
Buffer snareAcoustic3(std::size_t n) { return snare(n, {0x5EED000Du, 700, 6000, {160, 255}, 0.7, 4, 0.14}); }
Buffer snareAcoustic4(std::size_t n) { return snare(n, {0x5EED000Eu, 1500, 12000, {260, 415}, 0.4, 8, 0.06}); }
Buffer snareAcoustic5(std::size_t n) { return snare(n, {0x5EED000Fu, 1000, 7000, {210, 340}, 0.55, 6, 0.11}); }

// --- Tuned percussion: modal strikes (decaying inharmonic partials) ------------

// Strikes of one modal body at a steady, slightly uneven pulse.
Buffer modalStream(std::size_t n, std::uint32_t seed, int strikes, const std::vector<Partial>& modes) {
    Rng rng(seed);
    Buffer out(n, 0.0);
    scatter(out, strikes, 0.1, rng, [&](int) { return strike(modes, n, rng); });
    return out;
}

// Agogo: two conical bells a fourth apart, struck in alternation.
Buffer agogo(std::size_t n) {
    Rng rng(0x5EED0010u);
    Buffer out(n, 0.0);
    const std::vector<Partial> high{{1040, 1.0, 0.35}, {2870, 0.5, 0.2}, {4980, 0.25, 0.12}};
    const std::vector<Partial> low{{780, 1.0, 0.4}, {2150, 0.5, 0.22}, {3730, 0.25, 0.14}};
    scatter(out, 4, 0.05, rng, [&](int k) { return strike(k % 2 ? low : high, n, rng); });
    return out;
}

// Clave: a hardwood rod, one strong mode near 2.5 kHz, very short.
Buffer clave(std::size_t n) { return modalStream(n, 0x5EED0011u, 6, {{2480, 1.0, 0.09}, {6700, 0.15, 0.03}}); }

// Wood block: a hollow block with a few quickly damped modes.
Buffer wood(std::size_t n) {
    return modalStream(n, 0x5EED0012u, 6, {{1010, 1.0, 0.07}, {2630, 0.6, 0.05}, {4240, 0.3, 0.03}});
}

// Tambourine: jingles, many small metal plates ringing high, shaken densely.
Buffer tambourine(std::size_t n) {
    Rng rng(0x5EED0013u);
    Buffer out(n, 0.0);
    for (int jingle = 0; jingle < 40; ++jingle) {
        std::vector<Partial> plate;
        for (int m = 0; m < 4; ++m)
            plate.push_back({rng.range(5000, 12000), rng.range(0.3, 1.0), rng.range(0.03, 0.12)});
        const Buffer hit = strike(plate, n / 3, rng);
        addWrapped(out, static_cast<std::size_t>(rng.unit() * static_cast<double>(n)), hit, rng.range(0.3, 1.0));
    }
    Biquad::highPass(4000, 0.7).processLoop(out);
    return out;
}

// Bells: a church-bell partial series (hum, prime, minor third, fifth, nominal).
Buffer bells(std::size_t n) {
    return modalStream(n, 0x5EED0014u, 2,
                       {{600, 0.6, 1.2},
                        {1200, 1.0, 0.9},
                        {1440, 0.7, 0.8},
                        {1800, 0.5, 0.7},
                        {2400, 0.6, 0.6},
                        {3010, 0.3, 0.4},
                        {3950, 0.2, 0.3}});
}

// --- Hi-hat and cymbal metal: square-wave banks through band-pass filters -----

struct MetalVoicing {
    std::uint32_t seed;
    double squaresHz[6];
    double bandHz[2];  // two band-pass centres
    double bandQ;
    double highPassHz;
    double noiseLevel;  // added white noise (the later machines mix some in)
};

// Six detuned square oscillators summed; their dense intermodulation through
// band-pass filters gives the clangy metal of the analogue drum machines.
Buffer metal(std::size_t n, const MetalVoicing& v) {
    Rng rng(v.seed);
    Buffer out(n, 0.0);
    for (int k = 0; k < 6; ++k) {
        const double phase = rng.unit();
        for (std::size_t i = 0; i < n; ++i) out[i] += loopSquare(v.squaresHz[k], n, i, phase);
    }
    for (double& s : out) s += rng.bipolar() * v.noiseLevel;
    Buffer upper = out;
    Biquad::bandPass(v.bandHz[0], v.bandQ).processLoop(out);
    Biquad::bandPass(v.bandHz[1], v.bandQ).processLoop(upper);
    for (std::size_t i = 0; i < n; ++i) out[i] += upper[i];
    Biquad::highPass(v.highPassHz, 0.7).processLoop(out);
    Biquad::highPass(v.highPassHz, 0.7).processLoop(out);
    return out;
}

Buffer hat505(std::size_t n) {
    return metal(n, {0x5EED0015u, {245, 306, 415, 571, 633, 877}, {8500, 11500}, 2.5, 6500, 1.5});
}
Buffer hat606(std::size_t n) {
    return metal(n, {0x5EED0016u, {223, 321, 397, 536, 580, 843}, {7500, 10000}, 3.0, 6000, 0.5});
}
Buffer hat808(std::size_t n) {
    return metal(n, {0x5EED0017u, {205, 304, 370, 523, 540, 800}, {7100, 9800}, 3.0, 6000, 0.0});
}
Buffer hat909(std::size_t n) {
    return metal(n, {0x5EED0018u, {263, 351, 445, 587, 675, 931}, {9000, 12500}, 2.0, 7000, 2.5});
}
Buffer cymbal808(std::size_t n) {
    return metal(n, {0x5EED0019u, {205, 304, 370, 523, 540, 800}, {3400, 7600}, 1.5, 2800, 0.2});
}
Buffer cymbal909(std::size_t n) {
    return metal(n, {0x5EED001Au, {287, 397, 468, 617, 749, 1013}, {5200, 9500}, 1.2, 4000, 3.0});
}

// Crash: a wash of hundreds of inharmonic partials with hiss on top.
Buffer crash(std::size_t n) {
    Rng rng(0x5EED001Bu);
    Buffer out(n, 0.0);
    for (int k = 0; k < 240; ++k) {
        const double hz = loopFrequency(400.0 * std::pow(30.0, rng.unit()), n);
        const double phase = rng.unit() * 2.0 * kPi;
        const double level = rng.range(0.2, 1.0);
        for (std::size_t i = 0; i < n; ++i)
            out[i] += level * std::sin(2.0 * kPi * hz * static_cast<double>(i) / kRate + phase);
    }
    Buffer hiss = whiteNoise(n, rng);
    for (std::size_t i = 0; i < n; ++i) out[i] += hiss[i] * 12.0;
    Biquad::highPass(2500, 0.7).processLoop(out);
    return out;
}

// --- Claps: bursts of band-passed noise, then a short room tail ----------------

struct ClapVoicing {
    std::uint32_t seed;
    std::vector<double> burstOffsetsMs;  // the hands, as offsets from the first
    double bandHz, bandQ;                // colour
    double tailSeconds;
};

Buffer clap(std::size_t n, const ClapVoicing& v) {
    Rng rng(v.seed);
    Buffer out(n, 0.0);
    // Two claps per loop, at the start and half way (where the heads begin).
    for (std::size_t start : {std::size_t{0}, n / 2}) {
        for (double offsetMs : v.burstOffsetsMs) {
            const Buffer burst = noiseBurst(static_cast<std::size_t>(0.012 * kRate), 0.008, rng);
            addWrapped(out, start + static_cast<std::size_t>(offsetMs * 0.001 * kRate), burst, rng.range(0.7, 1.0));
        }
        const auto tailStart = start + static_cast<std::size_t>((v.burstOffsetsMs.back() + 4.0) * 0.001 * kRate);
        addWrapped(out, tailStart, noiseBurst(n, v.tailSeconds, rng), 0.5);
    }
    Biquad::bandPass(v.bandHz, v.bandQ).processLoop(out);
    Biquad::highPass(v.bandHz * 0.4, 0.7).processLoop(out);
    return out;
}

Buffer clap1(std::size_t n) { return clap(n, {0x5EED001Cu, {0, 10, 20}, 1200, 1.5, 0.20}); }
Buffer clap2(std::size_t n) { return clap(n, {0x5EED001Du, {0, 8, 16, 24}, 1000, 2.0, 0.25}); }
Buffer clap3(std::size_t n) { return clap(n, {0x5EED001Eu, {0, 6, 17, 23, 37}, 1800, 1.2, 0.22}); }
Buffer clap4(std::size_t n) { return clap(n, {0x5EED001Fu, {0, 15}, 900, 2.5, 0.30}); }
Buffer clap5(std::size_t n) { return clap(n, {0x5EED0020u, {0, 4, 8, 13, 17, 22}, 1500, 0.8, 0.18}); }

// --- Vinyl: surface crackle and hiss --------------------------------------------

// Crackle: sparse clicks of random size and polarity over faint hiss.
Buffer vinylCrackle(std::size_t n) {
    Rng rng(0x5EED0021u);
    Buffer out = whiteNoise(n, rng);
    for (double& v : out) v *= 0.02;
    for (int k = 0; k < 90; ++k) {
        const double size = std::pow(rng.unit(), 3.0);
        Buffer click = noiseBurst(24 + rng.next() % 40, 0.0006, rng);
        addWrapped(out, rng.next() % n, click, (rng.unit() < 0.5 ? -1.0 : 1.0) * (0.1 + size));
    }
    Biquad::highPass(300, 0.7).processLoop(out);
    Biquad::lowPass(9000, 0.7).processLoop(out);
    return out;
}

// Hiss: steady surface noise with a little low rumble and rare ticks.
Buffer vinylHiss(std::size_t n) {
    Rng rng(0x5EED0022u);
    Buffer out = whiteNoise(n, rng);
    Biquad::lowPass(6000, 0.7).processLoop(out);
    Buffer rumble = whiteNoise(n, rng);
    Biquad::lowPass(40, 0.7).processLoop(rumble);
    Biquad::lowPass(40, 0.7).processLoop(rumble);
    for (std::size_t i = 0; i < n; ++i) out[i] += rumble[i] * 20.0;
    for (int k = 0; k < 12; ++k) addWrapped(out, rng.next() % n, noiseBurst(30, 0.0005, rng), 1.2);
    Biquad::highPass(150, 0.7).processLoop(out);
    return out;
}

// --- Rumbles: low, slowly moving noise ------------------------------------------

// Low noise whose level swells `swells` times per loop (an exact loop LFO).
Buffer rumble(std::size_t n, std::uint32_t seed, double cutoffHz, int swells) {
    Rng rng(seed);
    Buffer out = whiteNoise(n, rng);
    Biquad::lowPass(cutoffHz, 0.9).processLoop(out);
    Biquad::lowPass(cutoffHz, 0.9).processLoop(out);
    for (std::size_t i = 0; i < n; ++i)
        out[i] *= 0.65 + 0.35 * std::sin(2.0 * kPi * swells * static_cast<double>(i) / static_cast<double>(n));
    Biquad::highPass(25, 0.7).processLoop(out);
    return out;
}

Buffer rumble1(std::size_t n) { return rumble(n, 0x5EED0023u, 90, 1); }
Buffer rumble2(std::size_t n) { return rumble(n, 0x5EED0024u, 160, 2); }

// --- Reverb textures -------------------------------------------------------------

// Spring reverb: each excitation returns as a train of dispersive chirps
// (high frequencies arrive first) at the spring's round-trip time.
Buffer springReverb(std::size_t n) {
    Rng rng(0x5EED0025u);
    Buffer out(n, 0.0);
    const auto chirpLength = static_cast<std::size_t>(0.025 * kRate);
    Buffer chirp(chirpLength);
    double phase = 0.0;
    for (std::size_t i = 0; i < chirpLength; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(chirpLength);
        phase += 2.0 * kPi * (3200.0 * std::pow(300.0 / 3200.0, t)) / kRate;
        chirp[i] = std::sin(phase) * std::sin(kPi * t);
    }
    const auto roundTrip = static_cast<std::size_t>(0.037 * kRate);
    for (int excitation = 0; excitation < 3; ++excitation) {
        const std::size_t start = rng.next() % n;
        double gain = 1.0;
        for (int echo = 0; echo < 14; ++echo, gain *= 0.72)
            addWrapped(out, start + echo * roundTrip, chirp, gain * rng.range(0.8, 1.0));
    }
    Buffer wash = whiteNoise(n, rng);
    Biquad::bandPass(1500, 0.8).processLoop(wash);
    for (std::size_t i = 0; i < n; ++i) out[i] += wash[i] * 0.15;
    Biquad::lowPass(4500, 0.7).processLoop(out);
    return out;
}

// Octave reverb noise: diffuse noise through feedback combs tuned to a note
// and its octaves, a reverb whose tail sings at those pitches.
Buffer octaveReverb(std::size_t n, std::uint32_t seed, double baseHz, int octaves) {
    Rng rng(seed);
    Buffer noise = whiteNoise(n, rng);
    Biquad::lowPass(5000, 0.7).processLoop(noise);
    Buffer out(n, 0.0);
    for (int octave = 0; octave < octaves; ++octave) {
        Buffer band = noise;
        const auto delay = static_cast<std::size_t>(std::round(kRate / (baseHz * (1 << octave))));
        combLoop(band, delay, 0.93);
        for (std::size_t i = 0; i < n; ++i) out[i] += band[i] / (octave + 1);
    }
    return out;
}

Buffer octave1(std::size_t n) { return octaveReverb(n, 0x5EED0026u, 220, 2); }
Buffer octave2(std::size_t n) { return octaveReverb(n, 0x5EED0027u, 330, 3); }

}  // namespace kettrix::samplegen
