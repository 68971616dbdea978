// The HPF and Treble pairs as the core designs them, from the constants of their parameter rows.
#pragma once

#include "filter_design.h"
#include "parameters.h"

inline OnePolePair designHpfPair(float value, float internalRate) {
  const SweptCorner& corner = kParameters[kHpf].corner;
  return designSweptPair(value, corner.exponentScale, corner.negativeBaseOmega, internalRate);
}

inline OnePolePair designTreblePair(float value, float internalRate) {
  const SweptCorner& corner = kParameters[kTreble].corner;
  return designSweptPair(value, corner.exponentScale, corner.negativeBaseOmega, internalRate);
}
