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

// What each set is made from. At a host rate of 44100 the resonances sit near 980 Hz (HB,
// +15.9 dB), 690 Hz (Hot HB, +11.9 dB), 750 Hz (P90, +17.2 dB) and 1200 Hz (SC, +20 dB); the
// notches near 1600 Hz and 2300 Hz.
struct PickupDesigns {
  PeakDesign peakHumbucker;
  PeakDesign peakHotHumbucker;
  PeakDesign peakP90;
  PeakDesign peakSingleCoil;
  NotchDesign notchSingleCoil;
  NotchDesign notchHumbucker;
};

inline constexpr PickupDesigns kPickupDesigns{
    {6158.0f, 1.36, 2.5f},  {4335.0f, 1.46, 1.98f}, {4712.0f, 1.12, 2.69f},
    {7540.0f, 1.98, 3.16f}, {10053.0f, 0.2},        {14451.0f, 0.3},
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
