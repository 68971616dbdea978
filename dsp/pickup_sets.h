// The pickup model: which resonance and notch the Pickup parameter chooses, and the six biquad
// sets, designed once at the internal rate.
#pragma once

#include "filter_design.h"
#include "pickup_bands.h"

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
