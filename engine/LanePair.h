#pragma once
// Two doubles worked on side by side: two read heads of one texture, the
// left and right channel of one filter, two oscillators of one generator.
// Each lane performs exactly the IEEE operations that scalar code would, in
// the same order, so a loop written with pairs gives the same bits as the
// same loop written lane by lane. Where the compiler has vector types (GCC,
// Clang) a pair is one SSE register and each operation one instruction for
// both lanes; elsewhere it is two plain doubles. Code templated on the
// packing can be run both ways, which is how the tests prove the two equal.
//
// Only what the render loops need is here: arithmetic, the comparisons and
// std::min/std::max with the standard library's exact choice of operand, a
// sign clear, truncation to integers, lane access and regrouping, loads
// and stores of two neighbouring doubles.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if (defined(__GNUC__) || defined(__clang__)) && !defined(KETTRIX_SCALAR_LANES)
#define KETTRIX_PACKED_LANES 1
#else
#define KETTRIX_PACKED_LANES 0
#endif

namespace kettrix::engine {

template <bool Packed>
struct LanePair;

// The plain form: two doubles, every operation written out per lane.
template <>
struct LanePair<false> {
    double lane0 = 0.0, lane1 = 0.0;

    LanePair() = default;
    LanePair(double a, double b) : lane0(a), lane1(b) {}
    static LanePair splat(double v) { return {v, v}; }
    // p[0] and p[1]; p needs no alignment beyond a double's.
    static LanePair load(const double* p) { return {p[0], p[1]}; }
    void store(double* p) const {
        p[0] = lane0;
        p[1] = lane1;
    }

    double operator[](int i) const { return i == 0 ? lane0 : lane1; }

    friend LanePair operator+(LanePair a, LanePair b) { return {a.lane0 + b.lane0, a.lane1 + b.lane1}; }
    friend LanePair operator-(LanePair a, LanePair b) { return {a.lane0 - b.lane0, a.lane1 - b.lane1}; }
    friend LanePair operator*(LanePair a, LanePair b) { return {a.lane0 * b.lane0, a.lane1 * b.lane1}; }
    LanePair& operator+=(LanePair b) { return *this = *this + b; }

    // std::min(a, b) and std::max(a, b) lane by lane (b < a picks b).
    friend LanePair min(LanePair a, LanePair b) { return {std::min(a.lane0, b.lane0), std::min(a.lane1, b.lane1)}; }
    friend LanePair max(LanePair a, LanePair b) { return {std::max(a.lane0, b.lane0), std::max(a.lane1, b.lane1)}; }
    // The magnitude: the sign bit cleared, as std::fabs does.
    friend LanePair abs(LanePair a) { return {std::fabs(a.lane0), std::fabs(a.lane1)}; }
    // Bit i set where lane i is >= t (atLeast) or > t (above); two tests
    // can be merged with | and branched on once.
    unsigned atLeast(double t) const { return static_cast<unsigned>(lane0 >= t) | (lane1 >= t ? 2u : 0u); }
    unsigned above(double t) const { return static_cast<unsigned>(lane0 > t) | (lane1 > t ? 2u : 0u); }
    bool anyAtLeast(double t) const { return atLeast(t) != 0; }
    bool anyAbove(double t) const { return above(t) != 0; }

    // Each lane truncated towards zero (it must fit an int32), as the
    // integers and as doubles.
    LanePair truncated(std::int32_t& i0, std::int32_t& i1) const {
        i0 = static_cast<std::int32_t>(lane0);
        i1 = static_cast<std::int32_t>(lane1);
        return {static_cast<double>(i0), static_cast<double>(i1)};
    }
    // (a[0], b[0]) and (a[1], b[1]): adding the two sums each pair's lanes.
    static LanePair low(LanePair a, LanePair b) { return {a.lane0, b.lane0}; }
    static LanePair high(LanePair a, LanePair b) { return {a.lane1, b.lane1}; }
};

#if KETTRIX_PACKED_LANES
// The packed form: one vector of two doubles.
template <>
struct LanePair<true> {
    typedef double Vector __attribute__((vector_size(16)));
    typedef std::int64_t Mask __attribute__((vector_size(16)));
    Vector v;

    LanePair() : v{0.0, 0.0} {}
    LanePair(double a, double b) : v{a, b} {}
    explicit LanePair(Vector x) : v(x) {}
    static LanePair splat(double x) { return LanePair(Vector{x, x}); }
    static LanePair load(const double* p) {
        Vector x;
        std::memcpy(&x, p, sizeof x);
        return LanePair(x);
    }
    void store(double* p) const { std::memcpy(p, &v, sizeof v); }

    double operator[](int i) const { return v[i]; }

    friend LanePair operator+(LanePair a, LanePair b) { return LanePair(a.v + b.v); }
    friend LanePair operator-(LanePair a, LanePair b) { return LanePair(a.v - b.v); }
    friend LanePair operator*(LanePair a, LanePair b) { return LanePair(a.v * b.v); }
    LanePair& operator+=(LanePair b) {
        v += b.v;
        return *this;
    }

    // Lanes where the mask is set come from b, the others from a.
    static LanePair select(Mask m, LanePair b, LanePair a) {
        return LanePair(
            reinterpret_cast<Vector>((m & reinterpret_cast<Mask>(b.v)) | (~m & reinterpret_cast<Mask>(a.v))));
    }
#if defined(__SSE2__)
    // MINPD x, y gives x < y ? x : y, y when either is NaN: the standard
    // library's choice with the operands swapped, in one instruction.
    friend LanePair min(LanePair a, LanePair b) { return LanePair(_mm_min_pd(b.v, a.v)); }
    friend LanePair max(LanePair a, LanePair b) { return LanePair(_mm_max_pd(b.v, a.v)); }
#else
    friend LanePair min(LanePair a, LanePair b) { return select(b.v < a.v, b, a); }
    friend LanePair max(LanePair a, LanePair b) { return select(a.v < b.v, b, a); }
#endif
    friend LanePair abs(LanePair a) {
        const Mask magnitude = {INT64_MAX, INT64_MAX};
        return LanePair(reinterpret_cast<Vector>(reinterpret_cast<Mask>(a.v) & magnitude));
    }
    unsigned atLeast(double t) const { return bits(v >= Vector{t, t}); }
    unsigned above(double t) const { return bits(v > Vector{t, t}); }
    bool anyAtLeast(double t) const { return atLeast(t) != 0; }
    bool anyAbove(double t) const { return above(t) != 0; }

    LanePair truncated(std::int32_t& i0, std::int32_t& i1) const {
        const Integers i = __builtin_convertvector(v, Integers);
        i0 = i[0];
        i1 = i[1];
        return LanePair(__builtin_convertvector(i, Vector));
    }
    static LanePair low(LanePair a, LanePair b) { return LanePair(Vector{a.v[0], b.v[0]}); }
    static LanePair high(LanePair a, LanePair b) { return LanePair(Vector{a.v[1], b.v[1]}); }

private:
    typedef std::int32_t Integers __attribute__((vector_size(8)));
    // A comparison's lane mask as bits, one movmskpd where SSE2 is there
    // (the compiler makes a long detour through the integer lanes otherwise).
    static unsigned bits(Mask m) {
#if defined(__SSE2__)
        return static_cast<unsigned>(__builtin_ia32_movmskpd(reinterpret_cast<Vector>(m)));
#else
        return static_cast<unsigned>(m[0] & 1) | static_cast<unsigned>(m[1] & 1) << 1;
#endif
    }
};
#endif

// The pair the render code uses: packed where the compiler can.
using Lanes = LanePair<KETTRIX_PACKED_LANES != 0>;

}  // namespace kettrix::engine
