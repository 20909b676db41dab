#pragma once
// Kits of the golden renders, built parameter by parameter through the host
// interface so that they depend on nothing but the parameter table: every
// parameter is first set to its table default, then the kit's own values.

#include "plugin/Vst2Abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kettrix::golden {

// 32-bit multiply-add generator: the same sequence on every platform.
struct Lcg {
    std::uint32_t state;
    std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
    int below(int n) { return static_cast<int>((next() >> 8) % static_cast<std::uint32_t>(n)); }
    double unit() { return (next() >> 8) * (1.0 / 16777216.0); }
};

enum class KitKind {
    WorstCase,  // every section on, slow releases so both voices overlap
    SpreadA,    // noise types 0-19, every filter type, every hit and effect
    SpreadB,    // noise types 20-39, the other oscillator modes
    Random1,    // every per-sound parameter drawn from a fixed seed
    Random2,
};

std::string kitName(KitKind kind);

// The first key of each sound's range; every range is three keys wide.
int soundKey(int sound);

// Sets a parameter from its plain value (as the host would, normalized).
void setPlain(AEffect* effect, int index, double plain);

// Sets every parameter of the instance to the kit.
void buildKit(AEffect* effect, KitKind kind);

}  // namespace kettrix::golden
