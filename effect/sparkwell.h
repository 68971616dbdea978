// Sparkwell: a treble booster into a valve amp input, as a stereo VST 2.4 effect.
#pragma once

#include "audioeffectx.h"

enum {
  kNumPrograms = 8,
  kNumParams = 10,
};

class Sparkwell : public AudioEffectX {
public:
  explicit Sparkwell(audioMasterCallback audioMaster);
};
