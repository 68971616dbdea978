#include "pickup_sets.h"

PickupSets designPickupSets(float internalRate) {
  PickupSets sets;
  sets.peakHumbucker = designPeak(kPickupDesigns.peakHumbucker, internalRate);
  sets.peakHotHumbucker = designPeak(kPickupDesigns.peakHotHumbucker, internalRate);
  sets.peakSingleCoil = designPeak(kPickupDesigns.peakSingleCoil, internalRate);
  sets.peakP90 = designPeak(kPickupDesigns.peakP90, internalRate);
  sets.notchSingleCoil = designNotch(kPickupDesigns.notchSingleCoil, internalRate);
  sets.notchHumbucker = designNotch(kPickupDesigns.notchHumbucker, internalRate);
  return sets;
}
