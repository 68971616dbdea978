#include "filter_design.h"
#include "pickup_band.h"
#include "pickup_sets.h"
#include "portable_math.h"
#include "row_designs.h"
#include "significant_digits.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr float kInternalRate = 88200.0f;

// The terms a biquad design passes through on its way to the coefficients: the centre in
// radians per internal sample, the bandwidth term and the undivided a0, each in the precision
// the design uses. The chain keeps only the coefficients; these pin the design constants.
struct DesignTerms {
  float w0, alpha, a0;
};

DesignTerms termsOf(float omega, double q, float internalRate) {
  const float w0 = omega / internalRate;
  return {w0, static_cast<float>(static_cast<double>(portable::sinf(w0)) / q), 0.0f};
}

DesignTerms termsOf(const PeakDesign& d, float internalRate) {
  DesignTerms t = termsOf(d.omega, d.q, internalRate);
  t.a0 = t.alpha / d.amplitude + 1.0f;
  return t;
}

DesignTerms termsOf(const NotchDesign& d, float internalRate) {
  DesignTerms t = termsOf(d.omega, d.q, internalRate);
  t.a0 = t.alpha + 1.0f;
  return t;
}

struct CheckValues {
  double w0, alpha, a0, a1, a2, b0, b2;
};

template <class Coeffs, class Design>
void expectBiquadRow(const char* name, const Coeffs& c, const Design& d, const CheckValues& v) {
  SCOPED_TRACE(name);
  const DesignTerms t = termsOf(d, kInternalRate);
  EXPECT_TRUE(matchesDigits(t.w0, v.w0, 7));
  EXPECT_TRUE(matchesDigits(t.alpha, v.alpha, 7));
  EXPECT_TRUE(matchesDigits(t.a0, v.a0, 7));
  EXPECT_TRUE(matchesDigits(c.a1, v.a1, 7));
  EXPECT_EQ(c.b1, c.a1);
  EXPECT_TRUE(matchesDigits(c.a2, v.a2, 7));
  EXPECT_TRUE(matchesDigits(c.b0, v.b0, 7));
  EXPECT_TRUE(matchesDigits(c.b2, v.b2, 7));
}

TEST(FilterDesign, PickupSetsMatchTheirCheckValuesAt88200) {
  const PickupSets sets = designPickupSets(kInternalRate);
  const PickupDesigns& d = kPickupDesigns;
  expectBiquadRow("peakHumbucker", sets.peakHumbucker, d.peakHumbucker,
                  {0.06981859, 0.0512955, 1.020518, -1.955014, 0.9597887, 1.105555, 0.8542339});
  expectBiquadRow("peakHotHumbucker", sets.peakHotHumbucker, d.peakHotHumbucker,
                  {0.04914966, 0.0336506, 1.016995, -1.964203, 0.9665776, 1.048804, 0.917774});
  expectBiquadRow("peakP90", sets.peakP90, d.peakP90,
                  {0.05342404, 0.04767735, 1.017724, -1.962366, 0.9651695, 1.108603, 0.8565663});
  expectBiquadRow("peakSingleCoil", sets.peakSingleCoil, d.peakSingleCoil,
                  {0.08548753, 0.04312295, 1.013646, -1.965869, 0.9730745, 1.120971, 0.8521033});
  EXPECT_EQ(d.peakHumbucker.amplitude, 2.5f);
  EXPECT_EQ(d.peakHotHumbucker.amplitude, 1.98f);
  EXPECT_EQ(d.peakP90.amplitude, 2.69f);
  EXPECT_EQ(d.peakSingleCoil.amplitude, 3.16f);

  expectBiquadRow("notchSingleCoil", sets.notchSingleCoil, d.notchSingleCoil,
                  {0.1139796, 0.5686648, 1.568665, -1.266697, 0.2749696, 0.6374848, 0.6374848});
  expectBiquadRow("notchHumbucker", sets.notchHumbucker, d.notchHumbucker,
                  {0.1638435, 0.5437049, 1.543705, -1.278234, 0.2955844, 0.6477922, 0.6477922});
  EXPECT_EQ(sets.notchSingleCoil.b2, sets.notchSingleCoil.b0);
  EXPECT_EQ(sets.notchHumbucker.b2, sets.notchHumbucker.b0);
}

TEST(FilterDesign, OnePolePairsMatchTheirCheckValues) {
  struct Row {
    const char* origin;
    OnePolePair pair;
    double b, a;
  };
  const Row rows[] = {
      {"HPF fixed 6660 rad/s", designFixedOnePole(kFixedHpfOmega, kInternalRate), 0.07272971,
       -0.9272703},
      {"HPF 0", designHpfPair(0.0f, kInternalRate), 0.003553748, -0.9964463},
      {"HPF 1", designHpfPair(1.0f, kInternalRate), 0.07328886, -0.9267111},
      {"DC blocker 200 rad/s", designFixedOnePole(kDcBlockerOmega, kInternalRate), 0.002264977,
       -0.997735},
      {"Treble fixed 125663 rad/s", designFixedOnePole(kFixedTrebleOmega, kInternalRate), 0.7594315,
       -0.2405685},
      {"Treble 0", designTreblePair(0.0f, kInternalRate), 0.03499651, -0.9650035},
      {"Treble 1", designTreblePair(1.0f, kInternalRate), 0.7578506, -0.2421494},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.origin);
    EXPECT_TRUE(matchesDigits(r.pair.coefB, r.b, 7));
    EXPECT_TRUE(matchesDigits(r.pair.coefA, r.a, 7));
  }
}

TEST(FilterDesign, SweptCornersRiseWithTheValueAndAcceptValuesBeyondTheRange) {
  EXPECT_LT(designHpfPair(0.0f, kInternalRate).coefB, designHpfPair(0.5f, kInternalRate).coefB);
  EXPECT_LT(designTreblePair(0.5f, kInternalRate).coefB,
            designTreblePair(0.75f, kInternalRate).coefB);
  // A large value drives the pole to 0 (transparent low-pass), a large negative one towards 1.
  EXPECT_EQ(designTreblePair(10.0f, kInternalRate).coefB, 1.0f);
  EXPECT_EQ(designHpfPair(10.0f, kInternalRate).coefA, 0.0f);
  EXPECT_EQ(designHpfPair(-10.0f, kInternalRate).coefB, 0.0f);
  EXPECT_EQ(designTreblePair(-10.0f, kInternalRate).coefA, -1.0f);
}

TEST(PickupBands, DoubleEdgesPutFloatEdgesIntoTheUpperBand) {
  EXPECT_EQ(pickupBandOf(-0.1f), PickupBand::None);
  EXPECT_EQ(pickupBandOf(0.19f), PickupBand::None);
  EXPECT_EQ(pickupBandOf(0.2f), PickupBand::HotHumbucker);
  EXPECT_EQ(pickupBandOf(0.39f), PickupBand::HotHumbucker);
  EXPECT_EQ(pickupBandOf(0.4f), PickupBand::Humbucker);
  EXPECT_EQ(pickupBandOf(0.5f), PickupBand::Humbucker);
  EXPECT_EQ(pickupBandOf(0.6f), PickupBand::P90);
  EXPECT_EQ(pickupBandOf(0.8f), PickupBand::SingleCoil);
  EXPECT_EQ(pickupBandOf(1.0f), PickupBand::SingleCoil);
  EXPECT_EQ(pickupBandOf(1.5f), PickupBand::SingleCoil);
  // The largest float below the double 0.2 is still "None".
  EXPECT_EQ(pickupBandOf(std::nextafter(0.2f, 0.0f)), PickupBand::None);
}

TEST(PickupBands, EachBandRunsItsResonanceAndNotch) {
  const PickupSets sets = designPickupSets(kInternalRate);
  const PickupFilters none = pickupFiltersFor(sets, PickupBand::None);
  EXPECT_EQ(none.resonance, nullptr);
  EXPECT_EQ(none.notch, nullptr);
  const PickupFilters hot = pickupFiltersFor(sets, PickupBand::HotHumbucker);
  EXPECT_EQ(hot.resonance, &sets.peakHotHumbucker);
  EXPECT_EQ(hot.notch, &sets.notchHumbucker);
  const PickupFilters hb = pickupFiltersFor(sets, PickupBand::Humbucker);
  EXPECT_EQ(hb.resonance, &sets.peakHumbucker);
  EXPECT_EQ(hb.notch, &sets.notchHumbucker);
  const PickupFilters p90 = pickupFiltersFor(sets, PickupBand::P90);
  EXPECT_EQ(p90.resonance, &sets.peakP90);
  EXPECT_EQ(p90.notch, &sets.notchSingleCoil);
  const PickupFilters sc = pickupFiltersFor(sets, PickupBand::SingleCoil);
  EXPECT_EQ(sc.resonance, &sets.peakSingleCoil);
  EXPECT_EQ(sc.notch, &sets.notchSingleCoil);
}

} // namespace
