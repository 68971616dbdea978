// The floating-point control state a host expects every plug-in call to leave as it was:
// on x86-64 the MXCSR control bits (exception masks, rounding mode, flush-to-zero and
// denormals-are-zero). The six sticky exception flags are not control state: arithmetic
// sets them, so they are masked off.
#pragma once

#include <xmmintrin.h>

inline unsigned fpControlState() {
  return _mm_getcsr() & ~0x3Fu;
}
inline void setFpControlState(unsigned state) {
  _mm_setcsr(state & ~0x3Fu);
}

// The sticky exception flags: cleared before a call, read after it.
inline void clearFpExceptionFlags() {
  _mm_setcsr(_mm_getcsr() & ~0x3Fu);
}
inline unsigned fpExceptionFlags() {
  return _mm_getcsr() & 0x3Fu;
}

constexpr unsigned kMxcsrDenormalOperandFlag = 0x0002u;
constexpr unsigned kMxcsrFlushToZero = 0x8000u;
constexpr unsigned kMxcsrDenormalsAreZero = 0x0040u;
constexpr unsigned kMxcsrRoundTowardZero = 0x6000u;
