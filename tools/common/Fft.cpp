#include "Fft.h"

#include <cmath>
#include <utility>

namespace kettrix::tools {

void fft(std::vector<std::complex<double>>& a) {
    constexpr double kPi = 3.14159265358979323846;
    const std::size_t n = a.size();
    // Bit-reversed order, then butterflies of growing length.
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * kPi / static_cast<double>(len);
        const std::complex<double> unit(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0, 0.0);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= unit;
            }
        }
    }
}

}  // namespace kettrix::tools
