// The one FFT of the tools and tests: an in-place radix-2 transform, small
// and exact enough for spectrograms and frequency measurements.
#pragma once

#include <complex>
#include <vector>

namespace kettrix::tools {

// Forward transform of `a` in place; its size must be a power of two.
void fft(std::vector<std::complex<double>>& a);

}  // namespace kettrix::tools
