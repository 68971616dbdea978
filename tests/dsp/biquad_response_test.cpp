// Frequency responses of the pickup biquads and the one-pole pairs, measured with sines through
// the same update the chain runs.
#include "biquad.h"
#include "filter_design.h"
#include "pickup_sets.h"
#include "row_designs.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr float kInternalRate = 88200.0f;
constexpr double kPi = 3.14159265358979323846;

// Steady-state amplitude of a filter's answer to a unit sine at `w` radians per sample: settle,
// then take the RMS over whole periods.
template <class Step> double measureGain(Step step, double w) {
  const int settle = 40000;
  const double period = 2.0 * kPi / w;
  const int periods = static_cast<int>(std::ceil(20000.0 / period));
  const int measured = static_cast<int>(std::lround(periods * period));
  double sumSquares = 0.0;
  for (int n = 0; n < settle + measured; ++n) {
    const float y = step(static_cast<float>(std::sin(w * n)));
    if (n >= settle) sumSquares += static_cast<double>(y) * static_cast<double>(y);
  }
  return std::sqrt(2.0 * sumSquares / measured);
}

template <class Step> double measureDcGain(Step step) {
  float y = 0.0f;
  for (int n = 0; n < 40000; ++n)
    y = step(1.0f);
  return y;
}

// A design's centre in radians per internal sample, as the design computes it.
template <class Design> double centreOf(const Design& d) {
  return d.omega / kInternalRate;
}

template <class Coeffs> auto biquad(const Coeffs& c) {
  return [c, s = BiquadState{}](float u) mutable { return biquadStep(s, c, u); };
}

TEST(BiquadResponse, PeaksAreUnityAtDcAndNyquistAndASquaredAtTheirCentre) {
  const PickupSets sets = designPickupSets(kInternalRate);
  const PickupDesigns& d = kPickupDesigns;
  const struct {
    const PeakCoeffs& c;
    const PeakDesign& design;
  } peaks[] = {{sets.peakHumbucker, d.peakHumbucker},
               {sets.peakHotHumbucker, d.peakHotHumbucker},
               {sets.peakP90, d.peakP90},
               {sets.peakSingleCoil, d.peakSingleCoil}};
  for (const auto& p : peaks) {
    SCOPED_TRACE(p.design.omega);
    const double w0 = centreOf(p.design);
    EXPECT_NEAR(measureDcGain(biquad(p.c)), 1.0, 1e-4);
    const double aSquared =
        static_cast<double>(p.design.amplitude) * static_cast<double>(p.design.amplitude);
    EXPECT_NEAR(measureGain(biquad(p.c), w0), aSquared, aSquared * 2e-3);
    EXPECT_NEAR(measureGain(biquad(p.c), kPi * 0.999), 1.0, 5e-3);
    // An octave away the boost is already well below the peak.
    EXPECT_LT(measureGain(biquad(p.c), w0 * 4.0), 0.5 * aSquared);
  }
}

TEST(BiquadResponse, NotchesAreUnityAtDcAndSilentAtTheirCentre) {
  const PickupSets sets = designPickupSets(kInternalRate);
  const struct {
    const NotchCoeffs& c;
    const NotchDesign& design;
  } notches[] = {{sets.notchHumbucker, kPickupDesigns.notchHumbucker},
                 {sets.notchSingleCoil, kPickupDesigns.notchSingleCoil}};
  for (const auto& n : notches) {
    SCOPED_TRACE(n.design.omega);
    const double w0 = centreOf(n.design);
    EXPECT_NEAR(measureDcGain(biquad(n.c)), 1.0, 1e-4);
    EXPECT_LT(measureGain(biquad(n.c), w0), 1e-3);
    // Broad: at half and twice the centre the cut is still substantial.
    EXPECT_LT(measureGain(biquad(n.c), w0 * 0.5), 0.5);
    EXPECT_LT(measureGain(biquad(n.c), w0 * 2.0), 0.5);
  }
}

TEST(OnePoleResponse, LowPassIsUnityAtDcAndThreeDecibelsDownAtItsCorner) {
  const struct {
    const char* name;
    OnePolePair pair;
    double cornerRadPerSecond;
  } rows[] = {
      {"HPF 0.5", designHpfPair(0.5f, kInternalRate), 314.0 * std::pow(10.0, 0.665)},
      {"DC blocker", designFixedOnePole(kDcBlockerOmega, kInternalRate), 200.0},
      {"Treble 0", designTreblePair(0.0f, kInternalRate), 3142.0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    auto lowPass = [p = r.pair, z = 0.0f](float x) mutable {
      z = p.coefB * x - p.coefA * z;
      return z;
    };
    EXPECT_NEAR(measureDcGain(lowPass), 1.0, 1e-3);
    // The impulse-invariant pole puts the -3 dB point at the design corner for corners far
    // below the rate.
    const double w = r.cornerRadPerSecond / static_cast<double>(kInternalRate);
    EXPECT_NEAR(measureGain(lowPass, w), std::sqrt(0.5), 0.01);
  }
}

} // namespace
