// Construction and the programs' names of the format-neutral core.
#include "sparkwell_core.h"

#include <cstring>

#include "filter_design.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
} // namespace

// The order matters: program 0 designs the HPF and Treble pairs from its values, and the fixed
// designs that follow replace them, so a new instance starts at the fixed corners until HPF or
// Treble is next set.
SparkwellCore::SparkwellCore(float sampleRate) : internalRate(sampleRate * 2.0f) {
  // In index order; index 8 has no value.
  for (int32_t index = 0; index < kNumParams; ++index)
    if (const std::atomic<float>* value = programs[0].value(index))
      setParameter(0, index, value->load(kRelaxed));
  designFixedFilters();
}

void SparkwellCore::designFixedFilters() {
  pickupSets = designPickupSets(internalRate);
  const OnePolePair fixedHpf = designFixedOnePole(kFixedHpfOmega, internalRate);
  hpfCoefB.store(fixedHpf.coefB, kRelaxed);
  hpfCoefA.store(fixedHpf.coefA, kRelaxed);
  const OnePolePair dcBlocker = designFixedOnePole(kDcBlockerOmega, internalRate);
  dcCoefB = dcBlocker.coefB;
  dcCoefA = dcBlocker.coefA;
  const OnePolePair fixedTreble = designFixedOnePole(kFixedTrebleOmega, internalRate);
  trebleCoefB.store(fixedTreble.coefB, kRelaxed);
  trebleCoefA.store(fixedTreble.coefA, kRelaxed);
  deriveGridAmount(gridCurrent.load(kRelaxed));
}

void SparkwellCore::setProgramName(int32_t number, const char* name) {
  char* stored = programs[number].name;
  const size_t length = strnlen(name, kProgramNameSize - 1);
  std::memcpy(stored, name, length);
  stored[length] = 0;
}
