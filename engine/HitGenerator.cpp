#include "engine/HitGenerator.h"

namespace kettrix::engine {

namespace {

constexpr double kModulationDepth = 0.6;

}  // namespace

HitGenerator::HitGenerator(double sampleRate) : modulation(sampleRate), volumeEnv(sampleRate), core(sampleRate) {}

void HitGenerator::setTableSet(const WavetableSet& set) noexcept {
    core.set1 = &set;
    core.set2 = &set;
}

void HitGenerator::start() noexcept {
    core.reset();
    active = 1;
    // Both envelopes skip their attack and fall from full value with the
    // shapes loaded at construction ("Exponential" release).
    modulation.start(0.0, 0.03 * decay + 0.001, 0.0, kModulationDepth, false);
    volumeEnv.start(0.0, 0.02 * decay + 0.01, 0.0, envDepth, false);
}

double HitGenerator::tick(double p1In, double p2In, double modAmountIn, double fm) noexcept {
    p1 = p1In;
    p2 = p2In;
    modAmount = modAmountIn;
    amp = volumeEnv.tick();
    if (modulation.active) modOut = modulation.tick() * modAmount;
    core.runFmPair(p1 + modOut, p2 + modOut, fm);
    return 2.0 * amp * core.out1;
}

std::uint8_t HitGenerator::updateActive() noexcept {
    volumeEnv.updateActive();
    active = volumeEnv.active;
    if (!active) modulation.stop();
    modulation.updateActive();
    return active;
}

}  // namespace kettrix::engine
