// Flush-to-zero and denormals-are-zero for the length of an audio block.
//
// In a long silence some filter memories (the input high-pass above all, which carries no
// offset against this) decay into subnormal numbers, and subnormal input samples can arrive
// from the host. x86 processors handle those through a slow microcode path, many times slower
// than normal arithmetic. With both flags set such values count as zero; every normal result
// stays exactly as it was. The caller's control state is put back when the block ends, so the
// host's own floating-point mode is never changed.
//
// On aarch64 one flag does both (FPCR.FZ: subnormal operands and results count as zero). It is
// set there too: many ARM cores handle subnormals slowly as well, and the chain's arithmetic
// then treats them as the x86 builds do.
#pragma once

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define SPARKWELL_HAS_MXCSR 1
#elif defined(__aarch64__)
#define SPARKWELL_HAS_FPCR 1
#endif

class DenormalFlush {
public:
#ifdef SPARKWELL_HAS_MXCSR
  DenormalFlush() : saved(_mm_getcsr()) {
    _mm_setcsr(saved | kFlushToZero | kDenormalsAreZero);
  }
  // Puts back the caller's control bits; the six sticky exception flags stay as the block's
  // arithmetic left them, as for any other code the caller runs.
  ~DenormalFlush() {
    _mm_setcsr((_mm_getcsr() & kExceptionFlags) | (saved & ~kExceptionFlags));
  }
#elif defined(SPARKWELL_HAS_FPCR)
  DenormalFlush() : saved(__builtin_aarch64_get_fpcr()) {
    __builtin_aarch64_set_fpcr(saved | kFlushToZero);
  }
  // FPCR holds control bits only (the sticky flags live in FPSR).
  ~DenormalFlush() {
    __builtin_aarch64_set_fpcr(saved);
  }
#else
  DenormalFlush() = default;
#endif
  DenormalFlush(const DenormalFlush&) = delete;
  DenormalFlush& operator=(const DenormalFlush&) = delete;

private:
#ifdef SPARKWELL_HAS_MXCSR
  static constexpr unsigned kFlushToZero = 0x8000;      // MXCSR bit 15
  static constexpr unsigned kDenormalsAreZero = 0x0040; // MXCSR bit 6
  static constexpr unsigned kExceptionFlags = 0x003F;   // MXCSR bits 0 to 5
  unsigned saved;
#elif defined(SPARKWELL_HAS_FPCR)
  static constexpr unsigned kFlushToZero = 1u << 24; // FPCR.FZ
  unsigned saved;
#endif
};
