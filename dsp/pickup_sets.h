// The pickup model: which resonance and notch the Pickup parameter chooses, and the six biquad
// sets, designed once at the internal rate.
#pragma once

#include "filter_design.h"

enum class PickupBand { None, HotHumbucker, Humbucker, P90, SingleCoil };

// Bands of the Pickup value. The edges are double-precision constants compared with the value
// widened to double, so 0.2f (a little above the double 0.2) already counts as "Hot HB". Values
// below 0 fall in None, values above 1 and NaN in SingleCoil.
inline PickupBand pickupBandOf(float pickup) {
  const double p = pickup;
  if (p < 0.2) return PickupBand::None;
  if (p < 0.4) return PickupBand::HotHumbucker;
  if (p < 0.6) return PickupBand::Humbucker;
  if (p < 0.8) return PickupBand::P90;
  return PickupBand::SingleCoil;
}

struct PickupSets {
  PeakCoeffs peakHumbucker;
  PeakCoeffs peakHotHumbucker;
  PeakCoeffs peakP90;
  PeakCoeffs peakSingleCoil;
  NotchCoeffs notchSingleCoil;
  NotchCoeffs notchHumbucker;
};

PickupSets designPickupSets(float internalRate);

// The resonance and notch a band runs; both null for None, which passes the high-passed signal.
struct PickupFilters {
  const PeakCoeffs* resonance;
  const NotchCoeffs* notch;
};

inline PickupFilters pickupFiltersFor(const PickupSets& sets, PickupBand band) {
  switch (band) {
  case PickupBand::None:
    return {nullptr, nullptr};
  case PickupBand::HotHumbucker:
    return {&sets.peakHotHumbucker, &sets.notchHumbucker};
  case PickupBand::Humbucker:
    return {&sets.peakHumbucker, &sets.notchHumbucker};
  case PickupBand::P90:
    return {&sets.peakP90, &sets.notchSingleCoil};
  case PickupBand::SingleCoil:
    break;
  }
  return {&sets.peakSingleCoil, &sets.notchSingleCoil};
}
