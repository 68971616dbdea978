// The block-wise chain, written once and compiled once per instruction set: the including file
// defines SPARKWELL_CHAIN_NAMESPACE (a name of its own, so that the copies built for different
// processors never stand in for each other at link time) and SPARKWELL_CHAIN_LANES (samples per
// vector of the curves). Everything here lives in that namespace and calls nothing inline from
// elsewhere; only constant tables are shared.
//
// A pass is a software pipeline over stretches of kStretchFrames frames. The recursive filters
// cannot go faster than the latency of their own feedback, so they work side by side in one
// loop, each on its own stretch: the input filters (upsampling, HPF, resonance, notch) on
// stretch j, the DC blocker on stretch j - 1 and the treble low-pass on stretch j - 2. Between
// loops the memoryless steps run over whole stretches in vector registers: the crossfade, the
// drive and the transistor curve on the stretch the input filters have just finished (the few
// samples below the curve's knee listed and given their exponential together afterwards), the
// grid curve on the one the DC blocker has. With the grid stage off, the DC blocker and the treble
// low-pass share one stage. The decimator runs over the whole pass at the end.
//
// "Stereo" runs both channels' recursions in the lanes of one vector: each filter then waits on
// its feedback once for both channels. Its buffers hold the channels side by side, so the
// memoryless steps treat them as one signal twice as long.
//
// Every sample goes through the chain's operations in the order and precision they are defined
// in, exactly as a frame-by-frame evaluation does; the vector curves repeat the scalar ones
// (tests/dsp/curves.h, portable_math.h) lane for lane, with no fused multiply-add (the library is
// built with -ffp-contract=off and the AVX2 copy without FMA), so the results are the same bits.
// The code is GCC's vector extensions; the few x86 or aarch64 instructions it names directly are
// guarded, and where none applies the plain lane loop stands in.
#pragma once

#if !defined(SPARKWELL_CHAIN_NAMESPACE) || !defined(SPARKWELL_CHAIN_LANES)
#error "define SPARKWELL_CHAIN_NAMESPACE and SPARKWELL_CHAIN_LANES before including this file"
#endif

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#if defined(__SSE2__)
#include <immintrin.h>
#elif defined(__aarch64__)
#include <arm_neon.h>
#endif

#include "biquad.h"
#include "block_chain_paths.h"
#include "portable_math_tables.h"

namespace SPARKWELL_CHAIN_NAMESPACE {
namespace {

constexpr int kLanes = SPARKWELL_CHAIN_LANES;
constexpr int kStretchFrames = 16;

typedef float Floats __attribute__((vector_size(4 * kLanes)));
typedef int32_t Ints __attribute__((vector_size(4 * kLanes)));
typedef double Doubles __attribute__((vector_size(8 * kLanes)));
typedef int64_t Longs __attribute__((vector_size(8 * kLanes)));
typedef uint64_t Words __attribute__((vector_size(8 * kLanes)));

inline Doubles widen(Floats x) {
#if defined(__AVX__)
  if constexpr (kLanes == 4) return (Doubles)_mm256_cvtps_pd((__m128)x);
#endif
  return __builtin_convertvector(x, Doubles);
}
inline Floats narrow(Doubles x) {
#if defined(__AVX__)
  if constexpr (kLanes == 4) return (Floats)_mm256_cvtpd_ps((__m256d)x);
#endif
  return __builtin_convertvector(x, Floats);
}
// A mask of double lanes as a mask of float lanes (all ones stays all ones).
inline Ints narrowMask(Longs m) {
  return __builtin_convertvector(m, Ints);
}
inline Words bitsOf(Doubles x) {
  Words w;
  std::memcpy(&w, &x, sizeof w);
  return w;
}
inline Doubles fromBits(Words w) {
  Doubles x;
  std::memcpy(&x, &w, sizeof x);
  return x;
}
// table[index] in every lane.
inline Doubles gather(const double* table, Words index) {
#if defined(__AVX2__)
  if constexpr (kLanes == 4) return _mm256_i64gather_pd(table, (__m256i)index, 8);
#endif
  Doubles values;
  for (int i = 0; i < kLanes; ++i)
    values[i] = table[index[i]];
  return values;
}

// The lanes' sign bits, one bit per lane.
template <class Mask> inline int laneBits(Mask m) {
#if defined(__SSE2__)
  if constexpr (sizeof(Mask) == 16) return _mm_movemask_ps((__m128)m);
#endif
  int bits = 0;
  for (int i = 0; i < kLanes; ++i)
    bits |= (m[i] < 0 ? 1 : 0) << i;
  return bits;
}
// A lane of a mask is all ones or all zeros; on aarch64 the smallest or largest lane says it.
inline bool allLanes(Ints m) {
#if defined(__aarch64__)
  if constexpr (sizeof(Ints) == 16) return vminvq_u32((uint32x4_t)m) != 0;
#endif
  return laneBits(m) == (1 << kLanes) - 1;
}
inline bool anyLane(Ints m) {
#if defined(__aarch64__)
  if constexpr (sizeof(Ints) == 16) return vmaxvq_u32((uint32x4_t)m) != 0;
#endif
  return laneBits(m) != 0;
}

// ---------------------------------------------------------------------------------------------
// The curves, lane for lane as the scalar curves (tests/dsp/curves.h) and the portable maths
// compute them.

// The curves compare the sample, widened, with double constants. For a float x and a double d
// that no float equals, x < d holds exactly when x is below the smallest float above d, and
// x > d exactly when x is above the largest float below d; so the comparisons can stay in single
// precision. Each edge is checked against its neighbour below and above.
constexpr float kKnee2SB175 = -0x1.d4d2b2p-1f; // smallest float above -0.91567
constexpr float kKneeAC128 = -0x1.67ebaep+0f;  // smallest float above -1.40594
constexpr float kStepAC128 = 0x1.85c91ep+2f;   // smallest float above 6.0904
constexpr float kJoint2SB175 = 0x1.0ccccep+3f; // smallest float above 8.4
constexpr float kGridEdge = -0x1.19999ap-1f;   // largest float below -0.55
// The float f lies beyond d and its neighbour on the near side does not.
constexpr bool edgeAbove(float f, float nearer, double d) {
  return static_cast<double>(f) > d && static_cast<double>(nearer) < d;
}
constexpr bool edgeBelow(float f, float nearer, double d) {
  return d > static_cast<double>(f) && d < static_cast<double>(nearer);
}
static_assert(edgeAbove(kKnee2SB175, -0x1.d4d2b4p-1f, -0.91567), "");
static_assert(edgeAbove(kKneeAC128, -0x1.67ebb0p+0f, -1.40594), "");
static_assert(edgeAbove(kStepAC128, 0x1.85c91cp+2f, 6.0904), "");
static_assert(edgeAbove(kJoint2SB175, 0x1.0cccccp+3f, 8.4), "");
static_assert(edgeBelow(kGridEdge, -0x1.199998p-1f, -0.55), "");

constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;

// exp(hi + lo) as portable::kernels::expFromTable, for lanes with |hi| <= 104.
inline Doubles expFromTable(Doubles hi, Doubles lo) {
  constexpr double kSixtyFourOverLn2 = 92.332482616893658;
  constexpr double kShifter = 6755399441055744.0;
  const Doubles shifted = hi * kSixtyFourOverLn2 + kShifter;
  const Doubles n = shifted - kShifter;
  // The whole number n sits in the low bits of `shifted`, whose exponent is fixed.
  const Longs whole = (Longs)(bitsOf(shifted) - bitsOf(Doubles{} + kShifter));
  const Doubles rHead = hi - n * (kLn2Hi / 64);
  const Doubles r = rHead + (lo - n * (kLn2Lo / 64));
  const Doubles r2 = r * r;
  const Doubles terms23 = 1.0 / 6 + r * (1.0 / 24);
  const Doubles terms45 = 1.0 / 120 + r * (1.0 / 720);
  const Doubles expm1 = r + r2 * ((0.5 + r * terms23) + r2 * r * terms45);
  // 2^(whole >> 6): whole + 1023 * 64 is positive here, so the shift needs no sign.
  const Words exponent = ((Words)(whole + 1023 * 64) >> 6) << 52;
  const Doubles fraction = gather(portable::kExp2Table, (Words)(whole & 63));
  const Doubles scale = fromBits(exponent) * fraction;
  return scale + scale * expm1;
}

// portable::powf(1.8f, y) for lanes with y finite and negative, or -infinity.
inline Floats kneePower(Floats y, const KneeConstants& k) {
  const Doubles wideY = widen(y);
  const Doubles p = wideY * k.logHi;
  const Doubles pError = (wideY * k.logHead - p) + wideY * k.logTail;
  const Longs underflow = p < -104.0;
  // Lanes that underflow give 0; their exponent is replaced so that the table stays in reach.
  const Doubles safeP = underflow ? Doubles{} : p;
  const Doubles safeLo = underflow ? Doubles{} : pError + wideY * k.logLo;
  const Floats power = narrow(expFromTable(safeP, safeLo));
  return narrowMask(underflow) ? Floats{} : power;
}

// shape2SB175 or shapeAC128 (curves.h) on every lane.
// The transistor curve's lower edge: below it the exponential segment.
template <bool Ac128> inline Ints belowKnee(Floats x) {
  return x < (Ac128 ? kKneeAC128 : kKnee2SB175);
}

// The transistor curve on every lane that is not below the knee (the others keep x).
template <bool Ac128> inline Floats aboveKnee(Floats x) {
  // The upper segments (and NaN, which ends there) are rare at playing levels: their divisions
  // run only when a lane needs them.
  Floats y = x;
  if (Ac128) {
    const Ints linear = x < kStepAC128;
    if (!allLanes(linear)) y = linear ? x : narrow(widen(x / 40.0f) + 5.85);
  } else {
    const Ints linear = x < 4.5f;
    if (!allLanes(linear)) {
      const Floats upper = narrow(widen(x / 40.0f) + 5.85);
      const Floats middle = narrow(widen(x) / 2.5 + 2.7);
      y = (x < kJoint2SB175) ? middle : upper;
      y = linear ? x : y;
    }
  }
  return y;
}

// The exponential segment on lanes below the knee (any lane below the knee will do).
template <bool Ac128> inline Floats kneeSegment(Floats x, const KneeConstants& k) {
  return narrow(widen(kneePower(x, k) - 1.0f) * (Ac128 ? 2.5 : 2.2));
}

// shape2SB175 or shapeAC128 (curves.h) on every lane.
template <bool Ac128> inline Floats transistor(Floats x, const KneeConstants& k) {
  Floats y = aboveKnee<Ac128>(x);
  const Ints knee = belowKnee<Ac128>(x);
  if (anyLane(knee)) y = knee ? kneeSegment<Ac128>(knee ? x : Floats{} - 1.0f, k) : y;
  return y;
}

// portable::log(x) for lanes with x a positive normal number (table form, hi + lo).
inline Doubles logFromTable(Doubles x) {
  const Words bits = bitsOf(x);
  const Words fromOffset = bits - 0x3fe6000000000000u;
  // x >= 0.6875 here, so the exponent difference is not negative; 2^52 + k - 2^52 makes it a
  // double exactly.
  const Doubles dk = fromBits((fromOffset >> 52) | 0x4330000000000000u) - 4503599627370496.0;
  const Words index = (fromOffset >> 45) & 127u;
  static_assert(sizeof(portable::LogTableEntry) == 3 * sizeof(double), "three doubles an entry");
  const double* table = &portable::kLogTable[0].invC;
  const Words entry = index * 3u;
  const Doubles invC = gather(table, entry);
  const Doubles logInvC = gather(table + 1, entry);
  const Doubles logInvCTail = gather(table + 2, entry);
  const Words zBits = bits - (fromOffset & 0xfff0000000000000u);
  const Doubles zHead = fromBits(zBits & ~(Words{} + 0xffu));
  const Doubles zTail = fromBits(zBits) - zHead;
  const Doubles rHi = zHead * invC - 1.0;
  const Doubles rLo = zTail * invC;
  const Doubles r = rHi + rLo;
  const Doubles rErr = rLo - (r - rHi);
  const Doubles r2 = r * r;
  const Doubles r4 = r2 * r2;
  const Doubles terms01 = -0.5 + r * (1.0 / 3);
  const Doubles terms23 = -0.25 + r * 0.2;
  const Doubles terms45 = -1.0 / 6 + r * (1.0 / 7);
  const Doubles terms67 = -0.125 + r * (1.0 / 9);
  const Doubles terms4567 = terms45 + r2 * terms67;
  const Doubles curve = r2 * ((terms01 + r2 * terms23) + r4 * terms4567);
  const Doubles a = dk * kLn2Hi + logInvC;
  const Doubles bHi = a + r;
  const Doubles bLo = r - (bHi - a);
  const Doubles small = (rErr + bLo) + (dk * kLn2Lo + logInvCTail);
  return bHi + (curve + small);
}

// gridAmountInv x gridShape(gridAmount x u) (curves.h, chain.h) on every lane.
inline Floats grid(Floats dcOut, float amount, float amountInv) {
  const Floats u = amount * dcOut;
  const Ints compress = u > kGridEdge;
  const Doubles x = widen(u) + 1.55;
  // x > 1 wherever the curve compresses; only +infinity (and NaN, which does not compress)
  // misses the table, and log(+infinity) is +infinity.
  const Longs usual = x < std::numeric_limits<double>::infinity();
  const Doubles logX = logFromTable(usual ? x : Doubles{} + 1.55);
  const Floats shaped = narrow((usual ? logX : x) - 0.55);
  return amountInv * (compress ? shaped : u);
}

inline Floats load(const float* p) {
  Floats v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void store(float* p, Floats v) {
  std::memcpy(p, &v, sizeof v);
}

// out[i] = curve(out[i], a[i], b[i]) over count samples, the last partial vector through padded
// copies (zeros in the lanes beyond count). A curve that takes a fourth argument is told the
// index of the vector's first sample.
template <class Curve> inline Floats apply(Curve& curve, Floats out, Floats a, Floats b, int at) {
  if constexpr (std::is_invocable<Curve&, Floats, Floats, Floats, int>::value)
    return curve(out, a, b, at);
  else
    return curve(out, a, b);
}
template <class Curve>
inline void overSamples(float* out, const float* a, const float* b, int count, Curve curve) {
  int i = 0;
  for (; i + kLanes <= count; i += kLanes)
    store(out + i, apply(curve, load(out + i), load(a + i), load(b + i), i));
  if (i < count) {
    float padded[3][kLanes] = {};
    const size_t bytes = sizeof(float) * static_cast<size_t>(count - i);
    std::memcpy(padded[0], out + i, bytes);
    std::memcpy(padded[1], a + i, bytes);
    std::memcpy(padded[2], b + i, bytes);
    store(padded[0], apply(curve, load(padded[0]), load(padded[1]), load(padded[2]), i));
    std::memcpy(out + i, padded[0], bytes);
  }
}

// ---------------------------------------------------------------------------------------------
// The recursive stages, one frame (two oversampled samples) at a time. "Mono" runs its one
// channel on floats. "Stereo" runs both channels in the two lanes of a Pair, left in lane 0 and
// right in lane 1: the two recursions wait on their feedback side by side instead of one after
// the other, and every lane computes exactly the float operations of its channel.

// Lanes 0 and 1 of a Pair carry the two channels; lanes 2 and 3 only ride along (a vector of
// four is what every instruction set has, and costs what a vector of two would).
typedef float Pair __attribute__((vector_size(16)));
typedef float Two __attribute__((vector_size(8)));
typedef double WidePair __attribute__((vector_size(16)));

// One float per channel: a float for one channel, a Pair for two.
template <int Channels> using Sample = typename std::conditional<Channels == 1, float, Pair>::type;

template <class Value> inline Value splat(float v) {
  if constexpr (std::is_same<Value, float>::value)
    return v;
  else
    return Value{v, v, v, v};
}
inline double toDouble(float v) {
  return static_cast<double>(v);
}
// Lanes 0 and 1, widened.
inline WidePair toDouble(Pair v) {
#if defined(__SSE2__)
  return (WidePair)_mm_cvtps_pd((__m128)v);
#else
  return __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), WidePair);
#endif
}
inline float toFloat(double v) {
  return static_cast<float>(v);
}
// Into lanes 0 and 1; lanes 2 and 3 are zero.
inline Pair toFloat(WidePair v) {
#if defined(__SSE2__)
  return (Pair)_mm_cvtpd_ps((__m128d)v);
#else
  const Two two = __builtin_convertvector(v, Two);
  return __builtin_shufflevector(two, Two{}, 0, 1, 2, 3);
#endif
}
inline float laneOf(float v, int) {
  return v;
}
inline float laneOf(Pair v, int lane) {
  return v[lane];
}

// The channels' floats of one sample from p, and back; a Pair's lanes 2 and 3 come in as zero.
inline void loadTo(float& v, const float* p) {
  v = *p;
}
inline void loadTo(Pair& v, const float* p) {
  Two two;
  std::memcpy(&two, p, sizeof two);
  v = __builtin_shufflevector(two, Two{}, 0, 1, 2, 3);
}
template <class Value> inline Value loadAs(const float* p) {
  Value v;
  loadTo(v, p);
  return v;
}
inline void storeAs(float* p, float v) {
  *p = v;
}
inline void storeAs(float* p, Pair v) {
  const Two two = __builtin_shufflevector(v, v, 0, 1);
  std::memcpy(p, &two, sizeof two);
}

// The even and the odd lanes of a followed by b: the left and the right channel of two vectors
// of interleaved samples. The lane numbers must be constants, so each vector width has its own.
inline Floats evenLanes(Floats a, Floats b) {
#if SPARKWELL_CHAIN_LANES == 2
  return __builtin_shufflevector(a, b, 0, 2);
#elif SPARKWELL_CHAIN_LANES == 4
  return __builtin_shufflevector(a, b, 0, 2, 4, 6);
#else
#error "evenLanes: no shuffle for this vector width"
#endif
}
inline Floats oddLanes(Floats a, Floats b) {
#if SPARKWELL_CHAIN_LANES == 2
  return __builtin_shufflevector(a, b, 1, 3);
#elif SPARKWELL_CHAIN_LANES == 4
  return __builtin_shufflevector(a, b, 1, 3, 5, 7);
#else
#error "oddLanes: no shuffle for this vector width"
#endif
}

constexpr float kGuard = kDenormGuard;

// The scratch buffers hold one float per channel and oversampled sample, the channels of a
// sample side by side, so the curves run over both channels as over one.
template <int C, bool Pickup, bool Grid> class Pass {
  using Value = Sample<C>;

public:
  Pass(const ChainSettings& c, ChainScratch& s, const float* const* x)
      : scratch(s), hpfCoefB(splat<Value>(c.hpfCoefB)), hpfCoefA(splat<Value>(c.hpfCoefA)),
        dcCoefB(splat<Value>(c.dcCoefB)), dcCoefA(splat<Value>(c.dcCoefA)),
        trebleCoefB(splat<Value>(c.trebleCoefB)), trebleCoefA(splat<Value>(c.trebleCoefA)),
        hpf(c.hpf), hpfComplement(c.hpfComplement), ac128Model(c.ac128Model),
        gridAmount(c.gridAmount), gridAmountInv(c.gridAmountInv) {
    if (Pickup) {
      resonance = biquadOf(*c.pickup.resonance);
      notch = biquadOf(*c.pickup.notch);
    }
    driveGain = c.ac128Model ? kDriveAC128 : kDrive2SB175;
    for (int ch = 0; ch < C; ++ch)
      input[ch] = x[ch];
  }

  void loadMemories(ChannelState* const* states) {
    auto join = [states](auto field) {
      if constexpr (C == 1)
        return field(*states[0]);
      else
        return Pair{field(*states[0]), field(*states[1]), 0.0f, 0.0f};
    };
    m.prevIn = join([](const ChannelState& s) { return s.prevIn; });
    m.hpfZ = join([](const ChannelState& s) { return s.hpfZ; });
    m.peak.x1 = join([](const ChannelState& s) { return s.peak.x1; });
    m.peak.x2 = join([](const ChannelState& s) { return s.peak.x2; });
    m.peak.y1 = join([](const ChannelState& s) { return s.peak.y1; });
    m.peak.y2 = join([](const ChannelState& s) { return s.peak.y2; });
    m.notch.x1 = join([](const ChannelState& s) { return s.notch.x1; });
    m.notch.x2 = join([](const ChannelState& s) { return s.notch.x2; });
    m.notch.y1 = join([](const ChannelState& s) { return s.notch.y1; });
    m.notch.y2 = join([](const ChannelState& s) { return s.notch.y2; });
    m.dcZ = join([](const ChannelState& s) { return s.dcZ; });
    m.trebleZ = join([](const ChannelState& s) { return s.trebleZ; });
  }

  void saveMemories(ChannelState* const* states) const {
    for (int ch = 0; ch < C; ++ch) {
      ChannelState& s = *states[ch];
      s.prevIn = laneOf(m.prevIn, ch);
      s.hpfZ = laneOf(m.hpfZ, ch);
      s.peak = {laneOf(m.peak.x1, ch), laneOf(m.peak.x2, ch), laneOf(m.peak.y1, ch),
                laneOf(m.peak.y2, ch)};
      s.notch = {laneOf(m.notch.x1, ch), laneOf(m.notch.x2, ch), laneOf(m.notch.y1, ch),
                 laneOf(m.notch.y2, ch)};
      s.dcZ = laneOf(m.dcZ, ch);
      s.trebleZ = laneOf(m.trebleZ, ch);
    }
  }

  // Upsampling, HPF, resonance and notch of frame f.
  [[gnu::always_inline]] void front(int f) {
    const Value x = inputOf(f);
    const Value oversampled[2] = {toFloat(0.5 * toDouble(m.prevIn) + 0.5 * toDouble(x)), x};
    m.prevIn = x;
    for (int k = 0; k < 2; ++k) {
      const Value hpLow = hpfCoefB * oversampled[k] - hpfCoefA * m.hpfZ;
      m.hpfZ = hpLow;
      const Value hpOut = oversampled[k] - hpLow;
      const int at = C * (2 * f + k);
      storeAs(scratch.drive + at, hpOut);
      if (Pickup) {
        const Value peakOut = biquadStep(m.peak, resonance, hpOut + kGuard);
        storeAs(scratch.peakOut + at, peakOut);
        storeAs(scratch.notchOut + at, biquadStep(m.notch, notch, peakOut + kGuard));
      }
    }
  }

  // DC blocker of frame f; with the grid stage off, the treble low-pass follows at once.
  [[gnu::always_inline]] void middle(int f) {
    for (int k = 0; k < 2; ++k) {
      const int at = C * (2 * f + k);
      const Value shaped = loadAs<Value>(scratch.drive + at);
      const Value dcLow = dcCoefB * shaped - dcCoefA * m.dcZ;
      m.dcZ = dcLow;
      const Value dcOut = shaped - dcLow;
      if (Grid)
        storeAs(scratch.dcOut + at, dcOut);
      else
        treble(f, k, dcOut);
    }
  }

  // Treble low-pass of frame f after the grid stage.
  [[gnu::always_inline]] void back(int f) {
    for (int k = 0; k < 2; ++k)
      treble(f, k, loadAs<Value>(scratch.dcOut + C * (2 * f + k)));
  }

  // Crossfade, drive and the transistor curve over frames [first, first + count), both
  // channels at once.
  void driveOver(int first, int count, const KneeConstants& k) {
    if (ac128Model)
      driveOver<true>(first, count, k);
    else
      driveOver<false>(first, count, k);
  }

  // The drive and the curve's upper segments go vector by vector; the samples below the knee,
  // which take the exponential, are listed on the way and worked on densely afterwards, so that
  // a vector with one such lane does not cost a whole exponential.
  template <bool Ac128> void driveOver(int first, int count, const KneeConstants& k) {
    float* hpOut = scratch.drive + C * 2 * first;
    const float* peakOut = Pickup ? scratch.peakOut + C * 2 * first : hpOut;
    const float* notchOut = Pickup ? scratch.notchOut + C * 2 * first : hpOut;
    int kneeAt[C * 2 * kStretchFrames + kLanes];
    float kneeDrive[C * 2 * kStretchFrames + kLanes];
    const int samples = C * 2 * count;
    int listed = 0;
    overSamples(hpOut, peakOut, notchOut, samples, [&](Floats hp, Floats res, Floats cut, int at) {
      const Floats driven = drive(hp, res, cut);
      const Ints knee = belowKnee<Ac128>(driven);
      for (int lane = 0; lane < kLanes; ++lane) {
        kneeAt[listed] = at + lane;
        kneeDrive[listed] = driven[lane];
        listed += (knee[lane] & 1) & (at + lane < samples ? 1 : 0);
      }
      return aboveKnee<Ac128>(driven);
    });
    for (int i = 0; i < listed; i += kLanes) {
      const int lanes = listed - i < kLanes ? listed - i : kLanes;
      for (int lane = lanes; lane < kLanes; ++lane)
        kneeDrive[i + lane] = -1.0f;
      const Floats bent = kneeSegment<Ac128>(load(kneeDrive + i), k);
      for (int lane = 0; lane < lanes; ++lane)
        hpOut[kneeAt[i + lane]] = bent[lane];
    }
  }

  // The pickup/plain crossfade and the inverting drive.
  [[gnu::always_inline]] Floats drive(Floats hpOut, Floats peakOut, Floats notchOut) const {
    const Doubles mix = (widen(peakOut) * 0.2 + widen(notchOut) * 0.8) * static_cast<double>(hpf);
    return narrow((mix + widen(hpfComplement * hpOut)) * driveGain);
  }

  // The grid curve over frames [first, first + count).
  void gridOver(int first, int count) {
    const float amount = gridAmount;
    const float amountInv = gridAmountInv;
    float* samples = scratch.dcOut + C * 2 * first;
    overSamples(samples, samples, samples, C * 2 * count,
                [&](Floats v, Floats, Floats) { return grid(v, amount, amountInv); });
  }

  void run(int frames, const KneeConstants& k) {
    constexpr int kStages = Grid ? 3 : 2;
    const int stretches = (frames + kStretchFrames - 1) / kStretchFrames;
    auto lengthOf = [&](int stretch) {
      if (stretch < 0 || stretch >= stretches) return 0;
      const int rest = frames - stretch * kStretchFrames;
      return rest < kStretchFrames ? rest : kStretchFrames;
    };
    for (int step = 0; step < stretches + kStages - 1; ++step) {
      const int f0 = step * kStretchFrames, f1 = f0 - kStretchFrames, f2 = f1 - kStretchFrames;
      const int n0 = lengthOf(step), n1 = lengthOf(step - 1), n2 = Grid ? lengthOf(step - 2) : 0;
      // The frames every working stage has, side by side; then each stage's remainder.
      int common = n0 > 0 ? n0 : kStretchFrames;
      if (n1 > 0 && n1 < common) common = n1;
      if (n2 > 0 && n2 < common) common = n2;
      if (n0 > 0 && n1 > 0 && n2 > 0) {
        for (int i = 0; i < common; ++i) {
          front(f0 + i);
          middle(f1 + i);
          back(f2 + i);
        }
      } else if (n0 > 0 && n1 > 0) {
        for (int i = 0; i < common; ++i) {
          front(f0 + i);
          middle(f1 + i);
        }
      } else if (n1 > 0 && n2 > 0) {
        for (int i = 0; i < common; ++i) {
          middle(f1 + i);
          back(f2 + i);
        }
      } else {
        common = 0;
      }
      for (int i = common; i < n0; ++i)
        front(f0 + i);
      for (int i = common; i < n1; ++i)
        middle(f1 + i);
      for (int i = common; i < n2; ++i)
        back(f2 + i);
      if (n0 > 0) driveOver(f0, n0, k);
      if (Grid && n1 > 0) gridOver(f1, n1);
    }
  }

private:
  struct Biquad {
    Value b0, b1, b2, a1, a2;
  };
  template <class Coeffs> static Biquad biquadOf(const Coeffs& c) {
    return {splat<Value>(c.b0), splat<Value>(c.b1), splat<Value>(c.b2), splat<Value>(c.a1),
            splat<Value>(c.a2)};
  }

  [[gnu::always_inline]] Value inputOf(int f) const {
    if constexpr (C == 1)
      return input[0][f];
    else
      return Pair{input[0][f], input[1][f], 0.0f, 0.0f};
  }

  // The treble low-pass of oversampled sample k of frame f; the decimator finds the frame's
  // first samples in trebleFirst and its second in trebleSecond, one entry late.
  [[gnu::always_inline]] void treble(int f, int k, Value in) {
    const Value t = (trebleCoefB * in - trebleCoefA * m.trebleZ) + kGuard;
    m.trebleZ = t;
    storeAs((k == 0 ? scratch.trebleFirst : scratch.trebleSecond) + C * (f + 1), t);
  }

  // The channels' memories, kept in locals for the length of a pass.
  struct Memory {
    Value prevIn, hpfZ;
    BiquadMemory<Value> peak, notch;
    Value dcZ, trebleZ;
  };

  // Copies of the settings: the compiler need not fear that the scratch stores change them.
  ChainScratch& scratch;
  Value hpfCoefB, hpfCoefA, dcCoefB, dcCoefA, trebleCoefB, trebleCoefA;
  float hpf, hpfComplement;
  bool ac128Model;
  float gridAmount, gridAmountInv;
  const float* input[C];
  Biquad resonance{}, notch{};
  double driveGain;
  Memory m{};
};

// Decimation and output gain over the pass: frame f of channel ch from the treble samples at
// first[C (f + 1) + ch], second[C f + ch] and first[C f + ch].
template <int C>
void decimate(ChannelState* const* states, float* first, float* second, float* const* out,
              int frames, float outputGain) {
  for (int ch = 0; ch < C; ++ch) {
    first[ch] = states[ch]->decimMem0;
    second[ch] = states[ch]->decimMem1;
  }
  auto sum = [outputGain](Floats current, Floats previousSecond, Floats previousFirst) {
    return narrow(0.25 * widen(current) + 0.5 * widen(previousSecond) +
                  0.25 * widen(previousFirst)) *
           outputGain;
  };
  const int count = C * frames;
  int i = 0;
  if constexpr (C == 1) {
    for (; i + kLanes <= count; i += kLanes)
      store(out[0] + i, sum(load(first + i + 1), load(second + i), load(first + i)));
  } else {
    // Two vectors of interleaved left and right samples give one vector of each channel.
    for (; i + 2 * kLanes <= count; i += 2 * kLanes) {
      const Floats low = sum(load(first + i + 2), load(second + i), load(first + i));
      const Floats high =
          sum(load(first + i + 2 + kLanes), load(second + i + kLanes), load(first + i + kLanes));
      store(out[0] + i / 2, evenLanes(low, high));
      store(out[1] + i / 2, oddLanes(low, high));
    }
  }
  for (; i < count; ++i)
    out[i % C][i / C] = static_cast<float>(0.25 * static_cast<double>(first[i + C]) +
                                           0.5 * static_cast<double>(second[i]) +
                                           0.25 * static_cast<double>(first[i])) *
                        outputGain;
  for (int ch = 0; ch < C; ++ch) {
    states[ch]->decimMem0 = first[count + ch];
    states[ch]->decimMem1 = second[count + ch];
  }
}

template <int C, bool Pickup, bool Grid>
void runWith(ChannelState* const* states, const float* const* x, int frames,
             const ChainSettings& settings, ChainScratch& scratch, const KneeConstants& knee) {
  Pass<C, Pickup, Grid> pass(settings, scratch, x);
  pass.loadMemories(states);
  pass.run(frames, knee);
  pass.saveMemories(states);
}

template <int C>
void runChannels(ChannelState* const* states, const float* const* x, float* const* out, int frames,
                 const ChainSettings& settings, ChainScratch& scratch, const KneeConstants& knee) {
  const bool pickup = settings.pickup.resonance != nullptr;
  const bool grid = settings.gridCurrent != 0.0f;
  if (pickup && grid)
    runWith<C, true, true>(states, x, frames, settings, scratch, knee);
  else if (pickup)
    runWith<C, true, false>(states, x, frames, settings, scratch, knee);
  else if (grid)
    runWith<C, false, true>(states, x, frames, settings, scratch, knee);
  else
    runWith<C, false, false>(states, x, frames, settings, scratch, knee);
  decimate<C>(states, scratch.trebleFirst, scratch.trebleSecond, out, frames, settings.outputGain);
}

} // namespace

void runChainPass(ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch, const KneeConstants& knee) {
  if (channels == 2)
    runChannels<2>(states, x, out, frames, settings, scratch, knee);
  else
    runChannels<1>(states, x, out, frames, settings, scratch, knee);
}

} // namespace SPARKWELL_CHAIN_NAMESPACE
