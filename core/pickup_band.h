// The pickup band the chain runs for a Pickup value: the band its display names.
#pragma once

#include "parameters.h"
#include "pickup_bands.h"

static_assert(static_cast<int>(PickupBand::SingleCoil) == kPickupBandEdgeCount,
              "a pickup model per band of the value");

// Values below 0 fall in None, values above 1 and NaN in SingleCoil.
inline PickupBand pickupBandOf(float pickup) {
  return static_cast<PickupBand>(switchBandOf(kPickupSwitch, pickup));
}
