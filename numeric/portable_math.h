// The C maths functions the sound and the displays depend on, implemented here once so that
// every build of the plug-in computes the same bits. The C runtimes of the two systems round
// the last bit of these functions differently for a small share of arguments, and through a
// coefficient or a curve that last bit reaches the output samples; with these versions the
// Linux module and the Windows DLL give identical samples.
//
// The float functions evaluate in double precision and round once at the end, which makes them
// correctly rounded for all but a vanishing share of arguments. The double functions are
// faithful (error below one unit in the last place); exp and pow carry extra precision
// internally and are correctly rounded almost always, and pow gives exact results where the
// true power is representable (10^n for whole n, for example).
//
// Special values follow the C library: NaN in gives NaN out, log(0) is -inf, log of a negative
// number is NaN, pow(x, 0) and pow(1, y) are 1, powf(1.8f, -1000) is 0, and so on. The
// functions set no errno and make no promise about the floating-point exception flags.
//
// The names live in their own namespace so that the compiler never swaps in its built-in
// versions (nor merges a sine and a cosine into one call to the library).
#pragma once

#include "portable_math_kernels.h"

namespace portable {

float sinf(float x);
float cosf(float x);
float expf(float x);
float log10f(float x);

double exp(double x);
double pow(double x, double y);

// The two functions of the sample loop, the grid curve's logarithm and the transistor curves'
// power of 1.8, are inline.

inline double log(double x) {
  using namespace kernels;
  // Positive normal numbers take the table; everything else is rare.
  if (bitsOf(x) - 0x0010000000000000u >= 0x7fe0000000000000u) return logOfUnusual(x);
  const DoubleDouble logX = logFromTable(x);
  return logX.hi + logX.lo;
}

// Always inline: in the curves the base is the constant 1.8f, and its logarithm then folds away.
[[gnu::always_inline]] inline float powf(float x, float y) {
  using namespace kernels;
  // The usual case: x positive and finite but not 1, y finite and not 0. One test each, and
  // with x a constant only the test of y is left.
  const uint32_t xBits = bitsOf(x);
  const uint32_t yMagnitude = bitsOf(y) & 0x7fffffffu;
  if (xBits - 1u >= 0x7f7fffffu || xBits == 0x3f800000u || yMagnitude - 1u >= 0x7f7fffffu)
    return powfOfUnusual(x, y);
  return powfOfPositive(x, y);
}

} // namespace portable
