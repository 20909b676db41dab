// Spectral measurements for tests: averaged magnitude spectrum and its
// centroid, computed with a small radix-2 FFT of our own.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace kettrix::testing {

// Mean magnitude spectrum of Hann-windowed frames of `frameSize` (a power of
// two); a signal shorter than one frame is zero-padded. Bin k is k * rate / frameSize.
std::vector<double> averageSpectrum(const std::vector<double>& signal, std::size_t frameSize);

// Magnitude-weighted mean frequency in Hz.
double spectralCentroid(const std::vector<double>& signal, double sampleRate, std::size_t frameSize = 2048);

// Frequency of the strongest bin in Hz (parabolic interpolation between bins).
double dominantFrequency(const std::vector<double>& signal, double sampleRate, std::size_t frameSize = 8192);

}  // namespace kettrix::testing
