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

// The two functions of the sample loop (the grid curve's logarithm and the transistor curve's
// power of 1.8) are inline: with the base a constant, most of powf folds away.

inline double log(double x) {
  using namespace kernels;
  // Positive normal numbers take the table; everything else is rare.
  if (bitsOf(x) - 0x0010000000000000u >= 0x7fe0000000000000u) return logOfUnusual(x);
  const DoubleDouble logX = logFromTable(x);
  return logX.hi + logX.lo;
}

inline float powf(float x, float y) {
  using namespace kernels;
  double result, base, sign;
  if (settlePowWithoutLog(x, y, result, base, sign)) return static_cast<float>(result);
  // A float base is a normal double. y has 24 bits, so splitting the logarithm alone makes
  // y * log base exact as p + pError (Dekker); the whole exponent keeps about 2^-60 of its size.
  const DoubleDouble logBase = logFromTable(base);
  const double wideY = y;
  double logHead, logTail;
  split(logBase.hi, logHead, logTail);
  const double p = wideY * logBase.hi;
  const double pError = (wideY * logHead - p) + wideY * logTail;
  const DoubleDouble t = twoSum(p, pError + wideY * logBase.lo);
  // Beyond these the float result is infinite or zero whatever the rounding.
  if (t.hi > 89.0) return static_cast<float>(sign * kInfinity);
  if (t.hi < -104.0) return static_cast<float>(sign * 0.0);
  return static_cast<float>(sign * expFromTable(t.hi, t.lo));
}

} // namespace portable
