#include "engine/LanePair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using kettrix::engine::LanePair;

namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Which NaN a sum or product of two NaNs carries depends on operand order,
// which the compiler may swap for a commutative operation: any NaN will do
// there. Minimum, maximum and magnitude must match bit for bit.
bool sameResult(std::size_t op, double got, double expected) {
    const bool arithmetic = op >= 3;
    if (arithmetic && std::isnan(got) && std::isnan(expected)) return true;
    return sameBits(got, expected);
}

// Zeros of both signs, NaNs of both signs, infinities, a denormal: the
// values on which minimum, maximum and magnitude are easiest to get wrong.
const std::vector<double>& awkwardValues() {
    static const std::vector<double> values{0.0,
                                            -0.0,
                                            1.0,
                                            -1.0,
                                            0.8,
                                            std::numeric_limits<double>::quiet_NaN(),
                                            -std::numeric_limits<double>::quiet_NaN(),
                                            std::numeric_limits<double>::infinity(),
                                            -std::numeric_limits<double>::infinity(),
                                            std::numeric_limits<double>::denorm_min(),
                                            -1e308};
    return values;
}

// Every operation of a pair, lane by lane, against the scalar expression
// the render code had before it used pairs.
template <bool Packed>
void expectScalarResults() {
    using P = LanePair<Packed>;
    for (double a : awkwardValues()) {
        for (double b : awkwardValues()) {
            const P x(a, b);
            const P y(b, a);
            const double expected[][2] = {{std::min(a, b), std::min(b, a)},
                                          {std::max(a, b), std::max(b, a)},
                                          {std::fabs(a), std::fabs(b)},
                                          {a + b, b + a},
                                          {a - b, b - a},
                                          {a * b, b * a}};
            const P got[] = {min(x, y), max(x, y), abs(x), x + y, x - y, x * y};
            for (std::size_t op = 0; op < std::size(got); ++op)
                for (int lane = 0; lane < 2; ++lane)
                    EXPECT_TRUE(sameResult(op, got[op][lane], expected[op][lane]))
                        << "operation " << op << " lane " << lane << " on " << a << ", " << b;
            EXPECT_EQ(x.anyAtLeast(1.0), a >= 1.0 || b >= 1.0);
            EXPECT_EQ(x.anyAbove(1.0), a > 1.0 || b > 1.0);
        }
    }
}

}  // namespace

TEST(LanePair, PlainPairGivesTheScalarResults) { expectScalarResults<false>(); }

#if KETTRIX_PACKED_LANES
TEST(LanePair, PackedPairGivesTheScalarResults) { expectScalarResults<true>(); }
#endif
