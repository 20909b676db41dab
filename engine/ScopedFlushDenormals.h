#pragma once
// Flush-to-zero and denormals-are-zero for the duration of a render call,
// restoring the caller's floating-point control word afterwards (the host's
// thread state belongs to the host). Only the SSE unit has these modes; on
// other targets the guard does nothing and the DSP code's own guards (tiny
// offsets added in feedback paths) keep denormals away.

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define KETTRIX_HAS_MXCSR 1
#endif

namespace kettrix::engine {

class ScopedFlushDenormals {
public:
#ifdef KETTRIX_HAS_MXCSR
    ScopedFlushDenormals() noexcept : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
    ~ScopedFlushDenormals() { _mm_setcsr(saved_); }
#else
    ScopedFlushDenormals() noexcept = default;
#endif
    ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

private:
#ifdef KETTRIX_HAS_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000;       // MXCSR bit 15
    static constexpr unsigned kDenormalsAreZero = 0x0040;  // MXCSR bit 6
    unsigned saved_;
#endif
};

}  // namespace kettrix::engine
