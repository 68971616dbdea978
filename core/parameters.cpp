// The core's parameter values at work: storing them and deriving what the processing reads.
#include "filter_design.h"
#include "portable_math.h"
#include "sparkwell_core.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
} // namespace

bool SparkwellCore::setParameter(int32_t program, int32_t index, float value) {
  std::atomic<float>* stored = field(index);
  if (stored == nullptr) return false;
  programs[program].value(index)->store(value, kRelaxed);
  stored->store(value, kRelaxed);
  deriveFrom(index, value);
  return true;
}

void SparkwellCore::deriveFrom(int32_t index, float value) {
  switch (index) {
  case kGain:
    // -50 dB at 0 to +20 dB at 1: 10^(3.5 value - 2.5), the product in double precision.
    outputGain.store(static_cast<float>(portable::pow(
                         10.0, kParameters[kGain].decibels.slope() * static_cast<double>(value) +
                                   kParameters[kGain].decibels.offset())),
                     kRelaxed);
    break;
  case kHpf: {
    const OnePolePair pair =
        designSweptPair(value, kParameters[kHpf].corner.exponentScale,
                        kParameters[kHpf].corner.negativeBaseOmega, internalRate);
    hpfCoefA.store(pair.coefA, kRelaxed);
    hpfCoefB.store(pair.coefB, kRelaxed);
    hpfComplement.store(1.0f - value, kRelaxed);
    break;
  }
  case kInput:
    // -30 dB at 0 to +30 dB at 1: 10^(3 value - 1.5), the product with 3 in single precision.
    inputGain.store(
        static_cast<float>(portable::pow(
            10.0,
            static_cast<double>(value * static_cast<float>(kParameters[kInput].decibels.slope())) +
                kParameters[kInput].decibels.offset())),
        kRelaxed);
    break;
  case kGridCurrent:
    deriveGridAmount(value);
    break;
  case kTreble: {
    const OnePolePair pair =
        designSweptPair(value, kParameters[kTreble].corner.exponentScale,
                        kParameters[kTreble].corner.negativeBaseOmega, internalRate);
    trebleCoefA.store(pair.coefA, kRelaxed);
    trebleCoefB.store(pair.coefB, kRelaxed);
    break;
  }
  case kTransistor:
    ac128Model.store(value > 0.5f, kRelaxed);
    break;
  case kStereo:
    stereoMode.store(value < 0.5f, kRelaxed);
    break;
  default: // Pickup and Effect are read as stored.
    break;
  }
}

void SparkwellCore::deriveGridAmount(float value) {
  const float amount =
      static_cast<float>(static_cast<double>(value * kParameters[kGridCurrent].gridAmount.scale) +
                         kParameters[kGridCurrent].gridAmount.offset);
  gridAmount.store(amount, kRelaxed);
  // At exactly 0 the grid stage is skipped and its reciprocal is left as it was.
  if (value != 0.0f) gridAmountInv.store(1.0f / amount, kRelaxed);
}

float SparkwellCore::getParameter(int32_t index) const {
  const std::atomic<float>* stored = field(index);
  return stored ? stored->load(kRelaxed) : 0.0f;
}

float SparkwellCore::linearGain(int32_t index) const {
  return (index == kGain ? outputGain : inputGain).load(kRelaxed);
}
