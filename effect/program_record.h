// One program: the nine parameter values in index order (index 9 last) and its name.
#pragma once

#include <atomic>

#include "aeffect.h"
#include "parameters.h"

enum { kNumPrograms = 8 };

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
  std::atomic<float>* value(VstInt32 index) {
    switch (index) {
    case kGain:
      return &gain;
    case kHpf:
      return &hpf;
    case kInput:
      return &input;
    case kGridCurrent:
      return &gridCurrent;
    case kTreble:
      return &treble;
    case kPickup:
      return &pickup;
    case kTransistor:
      return &transistor;
    case kStereo:
      return &stereo;
    case kEffect:
      return &effect;
    default:
      return nullptr;
    }
  }
};
