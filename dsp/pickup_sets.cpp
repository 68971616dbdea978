#include "pickup_sets.h"

PickupSets designPickupSets(float internalRate) {
  // Centre in rad/s, q (= 2Q) and amplitude A of each resonance; centre and q of each notch.
  // At a host rate of 44100 the resonances sit near 980 Hz (HB, +15.9 dB), 690 Hz (Hot HB,
  // +11.9 dB), 750 Hz (P90, +17.2 dB) and 1200 Hz (SC, +20 dB); the notches near 1600 Hz and
  // 2300 Hz.
  PickupSets sets;
  sets.peakHumbucker = designPeak(6158.0f, 1.36, 2.5f, internalRate);
  sets.peakHotHumbucker = designPeak(4335.0f, 1.46, 1.98f, internalRate);
  sets.peakSingleCoil = designPeak(7540.0f, 1.98, 3.16f, internalRate);
  sets.peakP90 = designPeak(4712.0f, 1.12, 2.69f, internalRate);
  sets.notchSingleCoil = designNotch(10053.0f, 0.2, internalRate);
  sets.notchHumbucker = designNotch(14451.0f, 0.3, internalRate);
  return sets;
}
