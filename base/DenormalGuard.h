// Flushes denormal floating-point numbers to zero for the lifetime of the
// guard (the audio callbacks), restoring the caller's mode afterwards: decaying
// filters and envelopes must not fall into slow denormal arithmetic.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define KETTRIX_HAS_MXCSR 1
#endif

namespace kettrix {

class DenormalGuard {
public:
#if defined(KETTRIX_HAS_MXCSR)
    // Flush-to-zero (bit 15) and denormals-are-zero (bit 6).
    static constexpr unsigned kFlushBits = 0x8040u;
    DenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushBits); }
    ~DenormalGuard() { _mm_setcsr(saved_); }
#else
    DenormalGuard() = default;
#endif
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if defined(KETTRIX_HAS_MXCSR)
    unsigned saved_;
#endif
};

}  // namespace kettrix
