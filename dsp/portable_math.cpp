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
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

uint64_t bitsOf(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

uint32_t bitsOf(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double fromBits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

float fromBits(uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

bool isNaN(double x) {
  return x != x;
}

double magnitude(double x) {
  return fromBits(bitsOf(x) & 0x7fffffffffffffffu);
}

// Nearest whole number (ties to even) of |x| < 2^51: adding 1.5 * 2^52 drops the fraction.
double roundToWhole(double x) {
  constexpr double kShifter = 6755399441055744.0;
  return (x + kShifter) - kShifter;
}

// 2^k for a normal power, -1022 <= k <= 1023.
double powerOfTwo(int k) {
  return fromBits(static_cast<uint64_t>(k + 1023) << 52);
}

// y * 2^k for y near 1 and -1076 <= k <= 1025. Results beyond the largest double become
// infinity and results below the normal range round once, as any multiplication does.
double scaleByPowerOfTwo(double y, int k) {
  if (k > 1023) return (y * powerOfTwo(k - 1023)) * powerOfTwo(1023);
  if (k < -1022) return (y * powerOfTwo(k + 1000)) * powerOfTwo(-1000);
  return y * powerOfTwo(k);
}

// A value carried as the unevaluated sum hi + lo, |lo| at most half a unit of hi's last place.
struct DoubleDouble {
  double hi;
  double lo;
};

// a + b exactly.
DoubleDouble twoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// a + b exactly, for |a| >= |b| (or a == 0).
DoubleDouble fastTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// Splits a into two halves of 26 bits each (Veltkamp), so that products of halves are exact.
void split(double a, double& hi, double& lo) {
  const double scaled = 134217729.0 * a; // 2^27 + 1
  hi = scaled - (scaled - a);
  lo = a - hi;
}

// a * b exactly (Dekker), for products far from overflow and underflow.
DoubleDouble twoProduct(double a, double b) {
  const double product = a * b;
  double aHi, aLo, bHi, bLo;
  split(a, aHi, aLo);
  split(b, bHi, bLo);
  const double error = ((aHi * bHi - product) + aHi * bLo + aLo * bHi) + aLo * bLo;
  return {product, error};
}

// ln 2 in two parts; the first has 32 significant bits, so k * kLn2Hi is exact for |k| < 2^21.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
constexpr double kInvLn2 = 1.4426950408889634;

// ---------------------------------------------------------------------------------------------
// Logarithm

// x = 2^k * (1 + f) with 1 + f in [sqrt(1/2), sqrt(2)), and the pieces of the series
// log(1 + f) = 2s + s * r, s = f / (2 + f), r = (2/3) s^2 + (2/5) s^4 + ...
struct LogReduction {
  double k;
  double f;
  double s;
  double r;
  bool wideF; // f near its largest: the half-square form below loses less there
};

// Minimax coefficients of r in powers of s^2 (error below 2^-58 over the interval).
constexpr double kLg1 = 6.666666666666735130e-01;
constexpr double kLg2 = 3.999999999940941908e-01;
constexpr double kLg3 = 2.857142874366239149e-01;
constexpr double kLg4 = 2.222219843214978396e-01;
constexpr double kLg5 = 1.818357216161805012e-01;
constexpr double kLg6 = 1.531383769920937332e-01;
constexpr double kLg7 = 1.479819860511658591e-01;

// k and the mantissa of a positive finite x (subnormals included).
void splitExponent(double x, int& k, uint64_t& mantissa, uint32_t& mantissaTop) {
  uint64_t bits = bitsOf(x);
  k = 0;
  if (bits < 0x0010000000000000u) { // subnormal: scale into the normal range first
    bits = bitsOf(x * 18014398509481984.0); // 2^54
    k = -54;
  }
  k += static_cast<int>(bits >> 52) - 1023;
  mantissa = bits & 0x000fffffffffffffu;
  mantissaTop = static_cast<uint32_t>(mantissa >> 32); // the top 20 bits
}

LogReduction reduceForLog(double x) {
  int k;
  uint64_t mantissa;
  uint32_t top;
  splitExponent(x, k, mantissa, top);
  // From a mantissa of about sqrt(2) on, take half of it and count one more power of two.
  const uint32_t aboveRootTwo = (top + 0x95f64u) & 0x100000u;
  k += static_cast<int>(aboveRootTwo >> 20);
  const uint64_t exponent = aboveRootTwo ? 0x3feu : 0x3ffu;
  const double m = fromBits(mantissa | (exponent << 52));
  LogReduction red;
  red.k = k;
  red.f = m - 1.0; // exact
  red.s = red.f / (2.0 + red.f);
  const double z = red.s * red.s;
  const double w = z * z;
  const double even = w * (kLg2 + w * (kLg4 + w * kLg6));
  const double odd = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
  red.r = odd + even;
  red.wideF = (static_cast<int32_t>(top - 0x6147au) | static_cast<int32_t>(0x6b851u - top)) > 0;
  return red;
}

// log(1 + f) = f - correction, the correction small against f.
double logCorrection(const LogReduction& red) {
  if (red.wideF) {
    const double halfSquare = 0.5 * red.f * red.f;
    return halfSquare - red.s * (halfSquare + red.r);
  }
  return red.s * (red.f - red.r);
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
      z * (2.0 / 5 +
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

// Coefficients of the rational form exp(r) = 1 + 2r / (R(r^2) - r), R(t) = 2 + P1 t + P2 t^2 +
// ... (error below 2^-58 for |r| <= ln(2) / 2).
constexpr double kP1 = 1.66666666666666019037e-01;
constexpr double kP2 = -2.77777777770155933842e-03;
constexpr double kP3 = 6.61375632143793436117e-05;
constexpr double kP4 = -1.65339022054652515390e-06;
constexpr double kP5 = 4.13813679705723846039e-08;

// exp(hi + lo) for -746 <= hi <= 710 with an error below one unit in the last place of a double:
// the fast form for the float functions.
double expFast(double hi, double lo) {
  const double k = roundToWhole(hi * kInvLn2);
  const double rHead = hi - k * kLn2Hi; // exact
  const double rTail = k * kLn2Lo - lo; // r = rHead - rTail
  const double r = rHead - rTail;
  const double t = r * r;
  const double c = r - t * (kP1 + t * (kP2 + t * (kP3 + t * (kP4 + t * kP5))));
  const double y = 1.0 - ((rTail - (r * c) / (2.0 - c)) - rHead);
  return scaleByPowerOfTwo(y, static_cast<int>(k));
}

// ---------------------------------------------------------------------------------------------
// Power

enum class WholeKind { NotWhole, Even, Odd };

// Whether a finite y is a whole number, and its parity.
WholeKind wholeKindOf(double y) {
  const double a = magnitude(y);
  if (a >= 9007199254740992.0) return WholeKind::Even; // 2^53 and above: even whole numbers
  const int64_t n = static_cast<int64_t>(a);
  if (static_cast<double>(n) != a) return WholeKind::NotWhole;
  return (n & 1) ? WholeKind::Odd : WholeKind::Even;
}

// The cases of pow(x, y) that need no logarithm, with the C library's results. Otherwise
// returns false with |x| in base (finite, positive, not 1) and the sign of the result.
bool settlePowWithoutLog(double x, double y, double& result, double& base, double& sign) {
  if (y == 0.0 || x == 1.0) {
    result = 1.0;
    return true;
  }
  if (isNaN(x) || isNaN(y)) {
    result = x + y;
    return true;
  }
  const double absX = magnitude(x);
  if (magnitude(y) == kInfinity) {
    if (absX == 1.0) result = 1.0; // x is -1
    else result = (y > 0.0) == (absX > 1.0) ? kInfinity : 0.0;
    return true;
  }
  const WholeKind kind = wholeKindOf(y);
  const bool negativeX = (bitsOf(x) >> 63) != 0;
  const bool oddNegative = negativeX && kind == WholeKind::Odd;
  if (x == 0.0 || absX == kInfinity) {
    // 0^y and inf^y: zero or infinity, which one by the signs of y and of ln|x|.
    const bool large = (y > 0.0) == (absX == kInfinity);
    result = large ? kInfinity : 0.0;
    if (oddNegative) result = -result;
    return true;
  }
  if (negativeX && kind == WholeKind::NotWhole) {
    result = kNaN;
    return true;
  }
  base = absX;
  sign = oddNegative ? -1.0 : 1.0;
  return false;
}

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
  const int first = e - 1 > 1 ? e - 1 : 1;            // 1-based position of the first bit used
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
                            z * (1.0 / 362880 +
                                 z * (-1.0 / 39916800 +
                                      z * (1.0 / 6227020800 +
                                           z * (-1.0 / 1307674368000 +
                                                z * (1.0 / 355687428096000))))))));
}

double cosKernel(double r) {
  const double z = r * r;
  return 1.0 + z * (-0.5 +
                    z * (1.0 / 24 +
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

double log(double x) {
  if (!(x > 0.0) || x == kInfinity) {
    if (x == 0.0) return -kInfinity;
    if (x < 0.0) return kNaN;
    return x + x; // NaN stays NaN, +inf stays +inf
  }
  const LogReduction red = reduceForLog(x);
  if (red.wideF) {
    const double halfSquare = 0.5 * red.f * red.f;
    return red.k * kLn2Hi -
           ((halfSquare - (red.s * (halfSquare + red.r) + red.k * kLn2Lo)) - red.f);
  }
  return red.k * kLn2Hi - ((red.s * (red.f - red.r) - red.k * kLn2Lo) - red.f);
}

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

float powf(float x, float y) {
  double result, base, sign;
  if (settlePowWithoutLog(x, y, result, base, sign)) return static_cast<float>(result);
  // log base = k ln 2 + f - correction, kept as head + low so that y * log base keeps about
  // 2^-60 of its size; a float base is a normal double, and |k| <= 149.
  const LogReduction red = reduceForLog(base);
  const DoubleDouble head = twoSum(red.k * kLn2Hi, red.f);
  const double low = head.lo + (red.k * kLn2Lo - logCorrection(red));
  const double wideY = y;
  DoubleDouble product = twoProduct(wideY, head.hi);
  product.lo += wideY * low;
  const DoubleDouble t = twoSum(product.hi, product.lo);
  // Beyond these the float result is infinite or zero whatever the rounding.
  if (t.hi > 89.0) return static_cast<float>(sign * kInfinity);
  if (t.hi < -104.0) return static_cast<float>(sign * 0.0);
  return static_cast<float>(sign * expFast(t.hi, t.lo));
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
