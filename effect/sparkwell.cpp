#include "sparkwell.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new Sparkwell(audioMaster);
}

Sparkwell::Sparkwell(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(CCONST('S', 'K', 'W', 'L'));
}
