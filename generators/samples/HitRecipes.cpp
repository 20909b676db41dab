// Recipes of the 17 hit samples: short attack transients played once at the
// start of a drum sound, from a few samples to about a tenth of a second.
#include "NoiseRecipes.h"

#include <cmath>

namespace kettrix::samplegen {

namespace {

// A sine whose frequency glides exponentially from `fromHz` to `toHz` over the
// buffer, under an exponential decay: the pitch drop of a struck membrane.
Buffer sweep(std::size_t n, double fromHz, double toHz, double decaySeconds) {
    Buffer out(n);
    double phase = 0.0;
    const double decayPerSample = std::exp(-6.907755 / (decaySeconds * kRate));
    double envelope = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        out[i] = std::sin(phase) * envelope;
        phase += 2.0 * kPi * fromHz * std::pow(toHz / fromHz, t) / kRate;
        envelope *= decayPerSample;
    }
    return out;
}

void mixInto(Buffer& out, const Buffer& part, double gain) {
    for (std::size_t i = 0; i < out.size() && i < part.size(); ++i) out[i] += part[i] * gain;
}

// A stick or beater contact: a very short high-passed noise burst.
Buffer contact(std::size_t n, double decaySeconds, double highPassHz, Rng& rng) {
    Buffer click = noiseBurst(n, decaySeconds, rng);
    Biquad::highPass(highPassHz, 0.7).processOnce(click);
    return click;
}

}  // namespace

// --- Analog clicks: the discharge spikes of analogue drum circuits ----------------

// Seven samples: one sharp positive spike with a shallow undershoot.
Buffer hitAnalog1(std::size_t) { return {0.0, 1.0, 0.45, -0.35, -0.55, -0.35, -0.2}; }

// Fifteen samples: a damped cycle and a half of about 4 kHz.
Buffer hitAnalog2(std::size_t n) { return sweep(n, 4200, 3000, 0.002); }

// --- Machine drum attacks: the first instant of the pitch drop -----------------------

// A smooth positive bump (the discharge that starts the resonator), centred at
// `centre` samples with width `width`; the finishing DC correction turns the
// rest of the buffer into the slow undershoot that follows it.
Buffer bump(std::size_t n, double centre, double width) {
    Buffer out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double d = (static_cast<double>(i) - centre) / width;
        out[i] = std::exp(-0.5 * d * d);
    }
    return out;
}

// 808 tom: the resonator kicked by a bump and ringing high for a moment.
Buffer hitTom808(std::size_t n) {
    Buffer out = bump(n, 8, 4);
    mixInto(out, sweep(n, 900, 400, 0.004), 0.5);
    return out;
}

// 808 kick: a rounded thump, the start of the slow sine.
Buffer hitKick808(std::size_t n) { return bump(n, 10, 5); }

// 909 kick: a harder, narrower bump with a small noise tick on its front.
Buffer hitKick909(std::size_t n) {
    Rng rng(0x5EED1005u);
    Buffer out = bump(n, 9, 3.5);
    mixInto(out, contact(8, 0.0002, 3000, rng), 0.15);
    return out;
}

// --- Acoustic attacks: sticks and beaters on drum heads --------------------------------

// Stick tip on a closed head: mostly the contact click and a short ring.
Buffer hitAcoustic1(std::size_t n) {
    Rng rng(0x5EED1006u);
    Buffer out = contact(n, 0.003, 1500, rng);
    mixInto(out, strike({{3100, 0.8, 0.006}, {4700, 0.4, 0.004}}, n, rng), 1.0);
    return out;
}

// Felt beater on a kick head: a low thump with a soft contact.
Buffer hitAcoustic2(std::size_t n) {
    Rng rng(0x5EED1007u);
    Buffer out = sweep(n, 160, 70, 0.12);
    mixInto(out, contact(n, 0.004, 800, rng), 0.4);
    return out;
}

// Stick on a snare: shell modes, a bright crack and the first wire buzz.
Buffer hitAcoustic3(std::size_t n) {
    Rng rng(0x5EED1008u);
    Buffer out = strike({{185, 1.0, 0.18}, {330, 0.6, 0.12}, {460, 0.3, 0.08}}, n, rng);
    mixInto(out, contact(n, 0.004, 1200, rng), 0.6);
    // The wires buzz in a band, not up to the top of the spectrum.
    Buffer wires = noiseBurst(n, 0.12, rng);
    Biquad::highPass(2500, 0.7).processOnce(wires);
    Biquad::lowPass(8000, 0.7).processOnce(wires);
    mixInto(out, wires, 0.2);
    return out;
}

// Rim shot: stick across rim and head, a hard crack with the rim's ring.
Buffer hitAcoustic4(std::size_t n) {
    Rng rng(0x5EED1009u);
    Buffer out = strike({{520, 0.7, 0.09}, {1730, 1.0, 0.05}, {3350, 0.5, 0.03}}, n, rng);
    mixInto(out, contact(n, 0.002, 2500, rng), 1.2);
    return out;
}

// Stick on a floor tom: a low, ringing body under a short click.
Buffer hitAcoustic5(std::size_t n) {
    Rng rng(0x5EED100Au);
    Buffer out = sweep(n, 150, 110, 0.2);
    mixInto(out, strike({{245, 0.5, 0.1}, {400, 0.2, 0.06}}, n, rng), 1.0);
    mixInto(out, contact(n, 0.003, 1500, rng), 0.5);
    return out;
}

// --- Metal strikes: inharmonic bar and plate modes ---------------------------------

// Free bar (modes at 1, 2.76, 5.40, 8.93 of the fundamental).
Buffer hitMetal1(std::size_t n) {
    Rng rng(0x5EED100Bu);
    const double f = 1250;
    return strike({{f, 1.0, 0.3}, {f * 2.756, 0.7, 0.2}, {f * 5.404, 0.5, 0.12}, {f * 8.933, 0.3, 0.08}}, n, rng);
}

// Small plate: closely spaced inharmonic modes that beat against each other.
Buffer hitMetal2(std::size_t n) {
    Rng rng(0x5EED100Cu);
    Buffer out =
        strike({{2210, 1.0, 0.25}, {2290, 0.8, 0.25}, {3520, 0.6, 0.18}, {5170, 0.5, 0.12}, {6980, 0.3, 0.08}}, n, rng);
    mixInto(out, contact(n, 0.001, 3000, rng), 0.5);
    return out;
}

// Pipe: a lower, longer ring with a clangy upper cluster.
Buffer hitMetal3(std::size_t n) {
    Rng rng(0x5EED100Du);
    return strike({{640, 1.0, 0.4}, {1765, 0.6, 0.3}, {3460, 0.5, 0.2}, {3590, 0.4, 0.2}, {5720, 0.25, 0.1}}, n, rng);
}

// --- Wood strikes: strongly damped modes -------------------------------------------

Buffer woodStrike(std::size_t n, std::uint32_t seed, double f, double decay) {
    Rng rng(seed);
    Buffer out = strike({{f, 1.0, decay}, {f * 2.64, 0.5, decay * 0.6}, {f * 4.3, 0.25, decay * 0.4}}, n, rng);
    mixInto(out, contact(n, 0.0015, 1500, rng), 0.4);
    return out;
}

Buffer hitWood1(std::size_t n) { return woodStrike(n, 0x5EED100Eu, 1900, 0.04); }
Buffer hitWood2(std::size_t n) { return woodStrike(n, 0x5EED100Fu, 1150, 0.05); }
Buffer hitWood3(std::size_t n) { return woodStrike(n, 0x5EED1010u, 820, 0.05); }
Buffer hitWood4(std::size_t n) { return woodStrike(n, 0x5EED1011u, 2600, 0.045); }

}  // namespace kettrix::samplegen
