// One program: the nine parameter values in index order (index 9 last) and its name.
#pragma once

#include <atomic>

#include "aeffect.h"
#include "parameters.h"

enum { kNumPrograms = 8 };

// The field of a parameter index in anything that keeps the nine values under their names (a
// program record, the effect itself); null for index 8 and indices outside 0 to 9.
template <class Values> std::atomic<float>* parameterField(Values& values, VstInt32 index) {
  switch (index) {
  case kGain:
    return &values.gain;
  case kHpf:
    return &values.hpf;
  case kInput:
    return &values.input;
  case kGridCurrent:
    return &values.gridCurrent;
  case kTreble:
    return &values.treble;
  case kPickup:
    return &values.pickup;
  case kTransistor:
    return &values.transistor;
  case kStereo:
    return &values.stereo;
  case kEffect:
    return &values.effect;
  default:
    return nullptr;
  }
}

struct ProgramRecord {
  // Values are atomic because setParameter may write them on the audio thread (host automation)
  // while the user interface selects programs.
  std::atomic<float> gain{0.6f};
  std::atomic<float> hpf{1.0f};
  std::atomic<float> input{0.5f};
  std::atomic<float> gridCurrent{0.0f};
  std::atomic<float> treble{1.0f};
  std::atomic<float> pickup{0.5f};
  std::atomic<float> transistor{0.0f};
  std::atomic<float> stereo{1.0f};
  std::atomic<float> effect{1.0f};
  char name[kVstMaxProgNameLen] = "Init"; // always terminated inside the record

  // The value of a parameter index; null for index 8 and indices outside 0 to 9.
  std::atomic<float>* value(VstInt32 index) { return parameterField(*this, index); }
};
