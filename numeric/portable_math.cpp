// Portable versions of the maths functions the sound and the displays use. Only IEEE basic
// arithmetic in double precision (SSE2, no fused multiply-add, no reassociation: the library is
// built with -ffp-contract=off and without fast-math), so every compiler and system that keeps
// to IEEE 754 gets the same bits.
//
// Building blocks:
// - logarithms reduce x to 2^k * m with m in [sqrt(1/2), sqrt(2)) and use the series
//   log m = 2 atanh(s), s = f / (2 + f), f = m - 1;
// - exponentials reduce x to k ln 2 + r with ln 2 split in two (Cody-Waite), |r| <= ln(2) / 2,
//   and scale exp r by 2^k;
// - sine and cosine reduce x by multiples of pi/2, with pi/2 split in three for moderate
//   arguments and 256 bits of 2/pi for huge ones;
// - pow and the double exp carry about 64 bits through the reduction and the series
//   (double-double arithmetic), so that their single final rounding decides the result.
#include "portable_math.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace portable {
using namespace kernels;
namespace {

// ---------------------------------------------------------------------------------------------
// Logarithm

// k and the mantissa of a positive finite x (subnormals included).
void splitExponent(double x, int& k, uint64_t& mantissa, uint32_t& mantissaTop) {
  uint64_t bits = bitsOf(x);
  k = 0;
  if (bits < 0x0010000000000000u) {         // subnormal: scale into the normal range first
    bits = bitsOf(x * 18014398509481984.0); // 2^54
    k = -54;
  }
  k += static_cast<int>(bits >> 52) - 1023;
  mantissa = bits & 0x000fffffffffffffu;
  mantissaTop = static_cast<uint32_t>(mantissa >> 32); // the top 20 bits
}

// log x as hi + lo to about 2^-64 relative, for positive finite x.
DoubleDouble logExtended(double x) {
  int k;
  uint64_t mantissa;
  uint32_t top;
  splitExponent(x, k, mantissa, top);
  const uint32_t aboveRootTwo = (top + 0x95f64u) & 0x100000u;
  k += static_cast<int>(aboveRootTwo >> 20);
  const uint64_t exponent = aboveRootTwo ? 0x3feu : 0x3ffu;
  const double f = fromBits(mantissa | (exponent << 52)) - 1.0; // exact

  // s = f / (2 + f) as sHi + sLo.
  const DoubleDouble denominator = twoSum(2.0, f);
  const double sHi = f / denominator.hi;
  const DoubleDouble back = twoProduct(sHi, denominator.hi);
  const double sLo = (((f - back.hi) - back.lo) - sHi * denominator.lo) / denominator.hi;

  // log(1 + f) = 2s + s^3 (2/3 + (2/5) s^2 + (2/7) s^4 + ...); |s| < 0.172, so the terms
  // up to s^25 reach below 2^-70 of the sum.
  DoubleDouble square = twoProduct(sHi, sHi);
  square.lo += 2.0 * sHi * sLo;
  DoubleDouble cube = twoProduct(square.hi, sHi);
  cube.lo += square.lo * sHi + square.hi * sLo;
  const double z = square.hi;
  const double higher =
      z *
      (2.0 / 5 +
       z * (2.0 / 7 +
            z * (2.0 / 9 +
                 z * (2.0 / 11 +
                      z * (2.0 / 13 +
                           z * (2.0 / 15 +
                                z * (2.0 / 17 +
                                     z * (2.0 / 19 +
                                          z * (2.0 / 21 + z * (2.0 / 23 + z * (2.0 / 25)))))))))));
  constexpr double kTwoThirdsHi = 0.6666666666666666;
  constexpr double kTwoThirdsLo = 3.700743415417188e-17;
  DoubleDouble series = fastTwoSum(kTwoThirdsHi, higher);
  series.lo += kTwoThirdsLo;
  DoubleDouble tail = twoProduct(cube.hi, series.hi);
  tail.lo += cube.hi * series.lo + cube.lo * series.hi;
  DoubleDouble logM = twoSum(2.0 * sHi, tail.hi);
  logM.lo += tail.lo + 2.0 * sLo;

  const double dk = k;
  DoubleDouble sum = twoSum(dk * kLn2Hi, logM.hi);
  sum.lo += logM.lo + dk * kLn2Lo;
  return fastTwoSum(sum.hi, sum.lo);
}

// ---------------------------------------------------------------------------------------------
// Exponential

// exp(hi + lo) for -746 <= hi <= 710 and |lo| below a unit of hi's last place, with about 2^-62
// relative error before the final rounding.
double expExtended(double hi, double lo) {
  const double k = roundToWhole(hi * kInvLn2);
  const double rHead = hi - k * kLn2Hi; // exact
  const double rTail = lo - k * kLn2Lo;
  const DoubleDouble r = twoSum(rHead, rTail);

  // exp(r) - 1 = r + r^2/2 + r^3/6 + r^4 (1/24 + r/120 + ...); the first three terms keep their
  // rounding errors, the rest (below 2^-10) is summed plainly up to r^16/16!.
  const DoubleDouble square = twoProduct(r.hi, r.hi);
  DoubleDouble cube = twoProduct(square.hi, r.hi);
  cube.lo += square.lo * r.hi;
  constexpr double kSixthHi = 0.16666666666666666;
  constexpr double kSixthLo = 9.25185853854297e-18;
  DoubleDouble sixthOfCube = twoProduct(cube.hi, kSixthHi);
  sixthOfCube.lo += cube.hi * kSixthLo + cube.lo * kSixthHi;
  const double x = r.hi;
  const double rest =
      square.hi * square.hi *
      (1.0 / 24 +
       x * (1.0 / 120 +
            x * (1.0 / 720 +
                 x * (1.0 / 5040 +
                      x * (1.0 / 40320 +
                           x * (1.0 / 362880 +
                                x * (1.0 / 3628800 +
                                     x * (1.0 / 39916800 +
                                          x * (1.0 / 479001600 +
                                               x * (1.0 / 6227020800 +
                                                    x * (1.0 / 87178291200 +
                                                         x * (1.0 / 1307674368000 +
                                                              x / 20922789888000))))))))))));
  DoubleDouble upper = twoSum(0.5 * square.hi, sixthOfCube.hi);
  upper.lo += rest + sixthOfCube.lo + 0.5 * square.lo;
  DoubleDouble expm1 = twoSum(x, upper.hi);
  // exp(r.hi + r.lo) = exp(r.hi) (1 + r.lo) to far below the last place.
  expm1.lo += upper.lo + r.lo + r.lo * expm1.hi;
  const DoubleDouble one = fastTwoSum(1.0, expm1.hi);
  const double y = one.hi + (one.lo + expm1.lo);
  return scaleByPowerOfTwo(y, static_cast<int>(k));
}

// ---------------------------------------------------------------------------------------------
// Power

// ---------------------------------------------------------------------------------------------
// Sine and cosine

// Bits of 2/pi after the point, most significant first: enough for every float argument.
constexpr uint64_t kTwoOverPiBits[4] = {0xa2f9836e4e441529u, 0xfc2757d1f534ddc0u,
                                        0xdb6295993c439041u, 0xfe5163abdebbc561u};

// pi/2 in three parts of 33, 33 and 53 bits: n * kPio2One and n * kPio2Two are exact for
// n < 2^20.
constexpr double kPio2One = 1.57079632673412561417e+00;
constexpr double kPio2Two = 6.07710050630396597660e-11;
constexpr double kPio2TwoTail = 2.02226624879595063154e-21;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoOverPi = 0.6366197723675814;

// |x| = n * pi/2 + r with |r| <= pi/4 (a hair more), n taken modulo 4.
struct QuarterTurns {
  double r;
  unsigned quadrant;
};

QuarterTurns reduceByHalfPi(float x) {
  const float absX = fromBits(bitsOf(x) & 0x7fffffffu);
  const double a = absX;
  if (a < 1048576.0) { // 2^20
    const double n = roundToWhole(a * kTwoOverPi);
    const double r = ((a - n * kPio2One) - n * kPio2Two) - n * kPio2TwoTail;
    return {r, static_cast<unsigned>(static_cast<int64_t>(n)) & 3u};
  }
  // Huge arguments: |x| = m * 2^e with a 24-bit m, and |x| * 2/pi taken modulo 4 from the
  // bits of 2/pi that can reach the quadrant and the fraction (earlier bits give multiples of
  // 4, later ones fall below the 62 fraction bits kept).
  const uint32_t bits = bitsOf(absX);
  const uint64_t m = (bits & 0x7fffffu) | 0x800000u;
  const int e = static_cast<int>(bits >> 23) - 150; // -3 and up here
  const int first = e - 1 > 1 ? e - 1 : 1;          // 1-based position of the first bit used
  const int word = (first - 1) / 64;
  const int shift = (first - 1) % 64;
  const uint64_t windowHigh =
      (kTwoOverPiBits[word] << shift) | (shift ? kTwoOverPiBits[word + 1] >> (64 - shift) : 0);
  const uint64_t windowLow =
      (kTwoOverPiBits[word + 1] << shift) | (shift ? kTwoOverPiBits[word + 2] >> (64 - shift) : 0);
  // m * window has first + 127 - e fraction bits; after dropping its low 64 bits, the rest.
  const unsigned __int128 high = static_cast<unsigned __int128>(m) * windowHigh;
  const unsigned __int128 low = static_cast<unsigned __int128>(m) * windowLow;
  const unsigned __int128 upper = high + (low >> 64);
  const int fractionBits = first + 127 - e - 64;
  const uint64_t turns = static_cast<uint64_t>(upper >> (fractionBits - 62)); // 2.62 fixed point
  unsigned quadrant = static_cast<unsigned>(turns >> 62);
  int64_t fraction = static_cast<int64_t>(turns & 0x3fffffffffffffffu);
  if (fraction >= (int64_t{1} << 61)) { // nearer the next quarter turn
    fraction -= int64_t{1} << 62;
    quadrant += 1;
  }
  return {static_cast<double>(fraction) * 2.168404344971009e-19 * kHalfPi, quadrant & 3u}; // 2^-62
}

// sin r and cos r for |r| <= pi/4 (Taylor series to r^17 and r^18, below 2^-60 of the result).
double sinKernel(double r) {
  const double z = r * r;
  return r + r * z *
                 (-1.0 / 6 +
                  z * (1.0 / 120 +
                       z * (-1.0 / 5040 +
                            z * (1.0 / 362880 + z * (-1.0 / 39916800 +
                                                     z * (1.0 / 6227020800 +
                                                          z * (-1.0 / 1307674368000 +
                                                               z * (1.0 / 355687428096000))))))));
}

double cosKernel(double r) {
  const double z = r * r;
  return 1.0 + z * (-0.5 + z * (1.0 / 24 +
                                z * (-1.0 / 720 +
                                     z * (1.0 / 40320 +
                                          z * (-1.0 / 3628800 +
                                               z * (1.0 / 479001600 +
                                                    z * (-1.0 / 87178291200 +
                                                         z * (1.0 / 20922789888000 +
                                                              z * (-1.0 / 6402373705728000)))))))));
}

} // namespace

// ---------------------------------------------------------------------------------------------

namespace kernels {

double logOfUnusual(double x) {
  if (x == 0.0) return -kInfinity;
  if (x < 0.0) return kNaN;
  if (!(x < kInfinity)) return x + x; // NaN stays NaN, +inf stays +inf
  // Subnormal: log(x 2^52) - 52 ln 2.
  const DoubleDouble scaled = logFromTable(x * 4503599627370496.0);
  const DoubleDouble sum = twoSum(scaled.hi, -52.0 * kLn2Hi);
  return sum.hi + ((sum.lo + scaled.lo) - 52.0 * kLn2Lo);
}

float powfOfUnusual(float x, float y) {
  double result, base, sign;
  if (settlePowWithoutLog(x, y, result, base, sign)) return static_cast<float>(result);
  // A negative base with a whole exponent (or x = 1 or -1, which give exactly +-1).
  return static_cast<float>(sign *
                            static_cast<double>(powfOfPositive(static_cast<float>(base), y)));
}

} // namespace kernels

double exp(double x) {
  if (isNaN(x)) return x + x;
  if (x > 710.0) return kInfinity;
  if (x < -746.0) return 0.0;
  return expExtended(x, 0.0);
}

double pow(double x, double y) {
  double result, base, sign;
  if (settlePowWithoutLog(x, y, result, base, sign)) return result;
  const DoubleDouble logBase = logExtended(base);
  const double head = y * logBase.hi;
  if (head > 710.0) return sign * kInfinity;
  if (head < -746.0) return sign * 0.0;
  DoubleDouble t = twoProduct(y, logBase.hi);
  t.lo += y * logBase.lo;
  const DoubleDouble exponent = fastTwoSum(t.hi, t.lo);
  return sign * expExtended(exponent.hi, exponent.lo);
}

float expf(float x) {
  const double wide = x;
  if (isNaN(wide)) return x + x;
  if (wide > 89.0) return std::numeric_limits<float>::infinity();
  if (wide < -104.0) return 0.0f;
  return static_cast<float>(expExtended(wide, 0.0));
}

float sinf(float x) {
  const double wide = x;
  if (isNaN(wide)) return x + x;
  if (magnitude(wide) == kInfinity) return std::numeric_limits<float>::quiet_NaN();
  const QuarterTurns turns = reduceByHalfPi(x);
  double value;
  switch (turns.quadrant) {
  case 0:
    value = sinKernel(turns.r);
    break;
  case 1:
    value = cosKernel(turns.r);
    break;
  case 2:
    value = -sinKernel(turns.r);
    break;
  default:
    value = -cosKernel(turns.r);
    break;
  }
  if (bitsOf(x) >> 31) value = -value; // sin is odd: -0 gives -0
  return static_cast<float>(value);
}

float cosf(float x) {
  const double wide = x;
  if (isNaN(wide)) return x + x;
  if (magnitude(wide) == kInfinity) return std::numeric_limits<float>::quiet_NaN();
  const QuarterTurns turns = reduceByHalfPi(x);
  switch (turns.quadrant) {
  case 0:
    return static_cast<float>(cosKernel(turns.r));
  case 1:
    return static_cast<float>(-sinKernel(turns.r));
  case 2:
    return static_cast<float>(-cosKernel(turns.r));
  default:
    return static_cast<float>(sinKernel(turns.r));
  }
}

float log10f(float x) {
  const double wide = x;
  if (!(wide > 0.0) || wide == kInfinity) return static_cast<float>(log(wide));
  constexpr double kInvLn10Hi = 0.4342944819032518;
  constexpr double kInvLn10Lo = 1.098319650216765e-17;
  const DoubleDouble logX = logExtended(wide);
  const DoubleDouble product = twoProduct(logX.hi, kInvLn10Hi);
  const double lo = product.lo + (logX.hi * kInvLn10Lo + logX.lo * kInvLn10Hi);
  return static_cast<float>(product.hi + lo);
}

} // namespace portable
