// The parameter indices of Sparkwell and the texts the host shows for them.
#pragma once

#include "aeffect.h"

enum {
  kGain = 0,
  kHpf = 1,
  kInput = 2,
  kGridCurrent = 3,
  kTreble = 4,
  kPickup = 5,
  kTransistor = 6,
  kStereo = 7,
  // Index 8 carries no parameter: the editor's panel tab uses it as its tag.
  kEffect = 9,
  kNumParams = 10,
};

// Name and label of one parameter index; label is null where the label request writes nothing.
struct ParameterTexts {
  const char* name;
  const char* label;
};

// Null for index 8 and every index outside 0 to 9.
inline const ParameterTexts* parameterTexts(VstInt32 index) {
  static const ParameterTexts table[kNumParams] = {
      {"Gain", "dB"},     {"HPF", ""},         {"Input", "dB"},    {"Grid Current", ""},
      {"Treble", ""},     {"Pickup", ""},      {"Transistor", ""}, {"Stereo", ""},
      {nullptr, nullptr}, {"Effect", nullptr},
  };
  // Tested unsigned, so negative indices fall outside too.
  if (static_cast<unsigned>(index) >= static_cast<unsigned>(kNumParams)) return nullptr;
  const ParameterTexts& texts = table[index];
  return texts.name ? &texts : nullptr;
}
