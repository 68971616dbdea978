#include "sparkwell.h"

#include <cstring>

#include "sparkwelleditor.h"
#include "vststring.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new Sparkwell(audioMaster);
}

// The core starts at program 0 with its coefficients designed for twice the base's sample rate
// at this point; later sample-rate changes reach no coefficient.
Sparkwell::Sparkwell(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), core(sampleRate) {
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(CCONST('S', 'K', 'W', 'L'));
  // The editor registers itself as it is built; attaching it again sets the editor flag.
  setEditor(new sparkwelleditor(*this, this));
  resume();
}

Sparkwell::~Sparkwell() {
  // A window still open here may hold a drag in progress; closing it while this is still a
  // whole effect lets that edit end at the host (the base's destructor could no longer).
  if (editor) editor->close();
}

void Sparkwell::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  core.process(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames);
}

bool Sparkwell::getEffectName(char* name) {
  // The limit counts the terminator: hosts pass buffers of exactly kVstMaxEffectNameLen bytes.
  vst_strncpy(name, "Sparkwell x64", kVstMaxEffectNameLen - 1);
  return true;
}

bool Sparkwell::getVendorString(char* text) {
  std::strcpy(text, "Quillane");
  return true;
}

bool Sparkwell::getProductString(char* text) {
  std::strcpy(text, "Sparkwell x64");
  return true;
}
