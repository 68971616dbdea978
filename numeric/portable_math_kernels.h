// The pieces of the portable maths that the sample loop needs inline: bit access, double-double
// arithmetic, the table-driven logarithm and exponential, and the special cases of the power
// function. Included by portable_math.h; nothing outside the portable maths uses these names.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include "float_bits.h"
#include "portable_math_tables.h"

namespace portable {
namespace kernels {

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using ::bitsOf;
using ::fromBits;

inline bool isNaN(double x) {
  return x != x;
}

inline double magnitude(double x) {
  return fromBits(bitsOf(x) & 0x7fffffffffffffffu);
}

// Nearest whole number (ties to even) of |x| < 2^51: adding 1.5 * 2^52 drops the fraction.
inline double roundToWhole(double x) {
  constexpr double kShifter = 6755399441055744.0;
  return (x + kShifter) - kShifter;
}

// 2^k for a normal power, -1022 <= k <= 1023.
inline double powerOfTwo(int k) {
  return fromBits(static_cast<uint64_t>(k + 1023) << 52);
}

// y * 2^k for y near 1 and -1076 <= k <= 1025. Results beyond the largest double become
// infinity and results below the normal range round once, as any multiplication does.
inline double scaleByPowerOfTwo(double y, int k) {
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
inline DoubleDouble twoSum(double a, double b) {
  const double sum = a + b;
  const double bPart = sum - a;
  return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// a + b exactly, for |a| >= |b| (or a == 0).
inline DoubleDouble fastTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// Splits a into two halves of 26 bits each (Veltkamp), so that products of halves are exact.
inline void split(double a, double& hi, double& lo) {
  const double scaled = 134217729.0 * a; // 2^27 + 1
  hi = scaled - (scaled - a);
  lo = a - hi;
}

// a * b exactly (Dekker), for products far from overflow and underflow.
inline DoubleDouble twoProduct(double a, double b) {
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
// Logarithm and exponential without a division

// log x as hi + lo for positive normal x, without a division: the form for the sample loop.
// x = 2^k z with z in [0.6875, 1.375); the top bits of z pick one of 128 entries with an
// 8-bit 1/c near 1/z, and log x = k ln 2 - log(1/c) + log(1 + r), r = z/c - 1, |r| <= 2^-7.
// z/c - 1 is formed exactly, so hi + lo is within about 2^-60 of log x relative to its size.
inline DoubleDouble logFromTable(double x) {
  const uint64_t bits = bitsOf(x);
  constexpr uint64_t kOffset = 0x3fe6000000000000u; // 0.6875
  const uint64_t fromOffset = bits - kOffset;
  const double dk = static_cast<double>(static_cast<int64_t>(fromOffset) >> 52);
  const LogTableEntry& entry = kLogTable[(fromOffset >> 45) & 127];
  const uint64_t zBits = bits - (fromOffset & 0xfff0000000000000u);
  // z's top 45 bits times the 8-bit 1/c is exact, and so is the rest of z times 1/c.
  const double zHead = fromBits(zBits & ~uint64_t{0xff});
  const double zTail = fromBits(zBits) - zHead;
  const double rHi = zHead * entry.invC - 1.0; // exact: the product lies near 1
  const double rLo = zTail * entry.invC;
  // r and its rounding error. Next to 1 (1/c = 1) the sum is exact even where the two parts
  // cancel almost completely; elsewhere rLo can exceed rHi only where r itself is tiny.
  const DoubleDouble rSum = fastTwoSum(rHi, rLo);
  const double r = rSum.hi;
  // log(1 + r) - r to r^9 (the next term stays below 2^-72), in pairs of powers so that the
  // terms are formed side by side rather than one after another.
  const double r2 = r * r;
  const double r4 = r2 * r2;
  const double terms01 = -0.5 + r * (1.0 / 3);
  const double terms23 = -0.25 + r * 0.2;
  const double terms45 = -1.0 / 6 + r * (1.0 / 7);
  const double terms67 = -0.125 + r * (1.0 / 9);
  const double terms4567 = terms45 + r2 * terms67;
  const double curve = r2 * ((terms01 + r2 * terms23) + r4 * terms4567);
  // k ln 2 - log(1/c) is exact (32-bit ln 2 head, table head a multiple of 2^-42) and, unless
  // it is 0, at least as large in exponent as r.
  const double a = dk * kLn2Hi + entry.logInvCNegated;
  const DoubleDouble b = fastTwoSum(a, r);
  const double small = (rSum.lo + b.lo) + (dk * kLn2Lo + entry.logInvCNegatedTail);
  return {b.hi, curve + small};
}

// log of what the table does not take: zero, subnormals, negatives, infinities and NaN.
double logOfUnusual(double x);

// exp(hi + lo) for |hi| <= 104 (where float results live) and |lo| at most a unit of hi's last
// place, to about 2^-52, without a division:
// the form for the sample loop. hi + lo = (64 n + j) ln(2)/64 + r with |r| <= ln(2)/128, and
// exp(hi + lo) = 2^n 2^(j/64) exp(r).
inline double expFromTable(double hi, double lo) {
  constexpr double kSixtyFourOverLn2 = 92.332482616893658;
  const double n = roundToWhole(hi * kSixtyFourOverLn2);
  const double rHead = hi - n * (kLn2Hi / 64); // exact
  const double r = rHead + (lo - n * (kLn2Lo / 64));
  // exp(r) - 1 to r^6 (the next term stays below 2^-62 of the result), in pairs of powers.
  const double r2 = r * r;
  const double terms23 = 1.0 / 6 + r * (1.0 / 24);
  const double terms45 = 1.0 / 120 + r * (1.0 / 720);
  const double expm1 = r + r2 * ((0.5 + r * terms23) + r2 * r * terms45);
  const int64_t whole = static_cast<int64_t>(n);
  const double scale = powerOfTwo(static_cast<int>(whole >> 6)) * kExp2Table[whole & 63];
  return scale + scale * expm1;
}

// powf for x positive and finite and y finite and not 0, correctly rounded nearly
// always. A float base is a normal double. y has 24 bits, so splitting the logarithm alone makes
// y * log x exact as p + pError (Dekker); the whole exponent keeps about 2^-60 of its size.
[[gnu::always_inline]] inline float powfOfPositive(float x, float y) {
  const DoubleDouble logX = logFromTable(x);
  const double wideY = y;
  double logHead, logTail;
  split(logX.hi, logHead, logTail);
  const double p = wideY * logX.hi;
  const double pError = (wideY * logHead - p) + wideY * logTail;
  // Beyond these the float result is infinite or zero whatever the rounding.
  if (p > 89.0) return std::numeric_limits<float>::infinity();
  if (p < -104.0) return 0.0f;
  return static_cast<float>(expFromTable(p, pError + wideY * logX.lo));
}

// powf for all other arguments: zeros, negative bases, infinities, NaN, x = 1, y = 0.
float powfOfUnusual(float x, float y);

// ---------------------------------------------------------------------------------------------
// Special cases of the power functions

enum class WholeKind { NotWhole, Even, Odd };

// Whether a finite y is a whole number, and its parity.
inline WholeKind wholeKindOf(double y) {
  const double a = magnitude(y);
  if (a >= 9007199254740992.0) return WholeKind::Even; // 2^53 and above: even whole numbers
  const int64_t n = static_cast<int64_t>(a);
  if (static_cast<double>(n) != a) return WholeKind::NotWhole;
  return (n & 1) ? WholeKind::Odd : WholeKind::Even;
}

// The cases of pow(x, y) that need no logarithm, with the C library's results. Otherwise
// returns false with |x| in base (finite, positive, not 1) and the sign of the result.
inline bool settlePowWithoutLog(double x, double y, double& result, double& base, double& sign) {
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
    if (absX == 1.0)
      result = 1.0; // x is -1
    else
      result = (y > 0.0) == (absX > 1.0) ? kInfinity : 0.0;
    return true;
  }
  const bool negativeX = (bitsOf(x) >> 63) != 0;
  if (x == 0.0 || absX == kInfinity) {
    // 0^y and inf^y: zero or infinity, which one by the signs of y and of ln|x|.
    const bool large = (y > 0.0) == (absX == kInfinity);
    result = large ? kInfinity : 0.0;
    if (negativeX && wholeKindOf(y) == WholeKind::Odd) result = -result;
    return true;
  }
  sign = 1.0;
  if (negativeX) {
    const WholeKind kind = wholeKindOf(y);
    if (kind == WholeKind::NotWhole) {
      result = kNaN;
      return true;
    }
    if (kind == WholeKind::Odd) sign = -1.0;
  }
  base = absX;
  return false;
}

} // namespace kernels
} // namespace portable
