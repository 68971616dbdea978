#include "filter_design.h"
#include "pickup_band.h"
#include "pickup_sets.h"
#include "row_designs.h"
#include "significant_digits.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr float kInternalRate = 88200.0f;

struct PeakRow {
  const char* name;
  PeakCoeffs PickupSets::*set;
  double w0, alpha, a0, a1, a2, b0, b2;
};

struct NotchRow {
  const char* name;
  NotchCoeffs PickupSets::*set;
  double w0, alpha, a0, a1, a2, b0, b2;
};

void expectBiquadRow(const char* name, const PeakCoeffs& c, double w0, double alpha, double a0,
                     double a1, double a2, double b0, double b2) {
  SCOPED_TRACE(name);
  EXPECT_TRUE(matchesDigits(c.w0, w0, 7));
  EXPECT_TRUE(matchesDigits(c.alpha, alpha, 7));
  EXPECT_TRUE(matchesDigits(c.a0, a0, 7));
  EXPECT_TRUE(matchesDigits(c.a1, a1, 7));
  EXPECT_TRUE(matchesDigits(c.b1, a1, 7));
  EXPECT_TRUE(matchesDigits(c.a2, a2, 7));
  EXPECT_TRUE(matchesDigits(c.b0, b0, 7));
  EXPECT_TRUE(matchesDigits(c.b2, b2, 7));
}

TEST(FilterDesign, PickupSetsMatchTheirCheckValuesAt88200) {
  const PickupSets sets = designPickupSets(kInternalRate);
  const PeakRow peaks[] = {
      {"peakHumbucker", &PickupSets::peakHumbucker, 0.06981859, 0.0512955, 1.020518, -1.955014,
       0.9597887, 1.105555, 0.8542339},
      {"peakHotHumbucker", &PickupSets::peakHotHumbucker, 0.04914966, 0.0336506, 1.016995,
       -1.964203, 0.9665776, 1.048804, 0.917774},
      {"peakP90", &PickupSets::peakP90, 0.05342404, 0.04767735, 1.017724, -1.962366, 0.9651695,
       1.108603, 0.8565663},
      {"peakSingleCoil", &PickupSets::peakSingleCoil, 0.08548753, 0.04312295, 1.013646, -1.965869,
       0.9730745, 1.120971, 0.8521033},
  };
  for (const PeakRow& r : peaks) {
    expectBiquadRow(r.name, sets.*r.set, r.w0, r.alpha, r.a0, r.a1, r.a2, r.b0, r.b2);
  }
  EXPECT_EQ(sets.peakHumbucker.gainA, 2.5f);
  EXPECT_EQ(sets.peakHotHumbucker.gainA, 1.98f);
  EXPECT_EQ(sets.peakP90.gainA, 2.69f);
  EXPECT_EQ(sets.peakSingleCoil.gainA, 3.16f);

  const NotchRow notches[] = {
      {"notchSingleCoil", &PickupSets::notchSingleCoil, 0.1139796, 0.5686648, 1.568665, -1.266697,
       0.2749696, 0.6374848, 0.6374848},
      {"notchHumbucker", &PickupSets::notchHumbucker, 0.1638435, 0.5437049, 1.543705, -1.278234,
       0.2955844, 0.6477922, 0.6477922},
  };
  for (const NotchRow& r : notches) {
    const NotchCoeffs& c = sets.*r.set;
    SCOPED_TRACE(r.name);
    EXPECT_TRUE(matchesDigits(c.w0, r.w0, 7));
    EXPECT_TRUE(matchesDigits(c.alpha, r.alpha, 7));
    EXPECT_TRUE(matchesDigits(c.a0, r.a0, 7));
    EXPECT_TRUE(matchesDigits(c.a1, r.a1, 7));
    EXPECT_TRUE(matchesDigits(c.a2, r.a2, 7));
    EXPECT_TRUE(matchesDigits(c.b0, r.b0, 7));
    EXPECT_EQ(c.b1, c.a1);
    EXPECT_EQ(c.b2, c.b0);
  }
  for (const PeakRow& r : peaks)
    EXPECT_EQ((sets.*r.set).b1, (sets.*r.set).a1) << r.name;
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
