#include "sparkwell.h"

#include <cstring>

#include "filter_design.h"
#include "sparkwelleditor.h"
#include "vststring.h"

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new Sparkwell(audioMaster);
}

// The order matters: program 0 designs the HPF and Treble pairs from its values, and the fixed
// designs that follow replace them, so a new instance starts at the fixed corners until HPF or
// Treble is next set.
Sparkwell::Sparkwell(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams),
      programs(new ProgramRecord[kNumPrograms]) {
  // Fixed for the life of the instance: later sample-rate changes reach no coefficient.
  internalRate = sampleRate * 2.0f;
  setProgram(0);
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(CCONST('S', 'K', 'W', 'L'));
  designFixedFilters();
  clearFilterMemories();
  // The editor registers itself as it is built; attaching it again sets the editor flag.
  setEditor(new sparkwelleditor(this));
  resume();
}

Sparkwell::~Sparkwell() {
  // A window still open here may hold a drag in progress; closing it while this is still a
  // whole effect lets that edit end at the host (the base's destructor could no longer).
  if (editor) editor->close();
}

void Sparkwell::designFixedFilters() {
  pickupSets = designPickupSets(internalRate);
  const OnePolePair fixedHpf = designFixedOnePole(kFixedHpfOmega, internalRate);
  hpfCoefB.store(fixedHpf.coefB, std::memory_order_relaxed);
  hpfCoefA.store(fixedHpf.coefA, std::memory_order_relaxed);
  const OnePolePair dcBlocker = designFixedOnePole(kDcBlockerOmega, internalRate);
  dcCoefB = dcBlocker.coefB;
  dcCoefA = dcBlocker.coefA;
  const OnePolePair fixedTreble = designFixedOnePole(kFixedTrebleOmega, internalRate);
  trebleCoefB.store(fixedTreble.coefB, std::memory_order_relaxed);
  trebleCoefA.store(fixedTreble.coefA, std::memory_order_relaxed);
  deriveGridAmount(gridCurrent.load(std::memory_order_relaxed));
}

void Sparkwell::clearFilterMemories() {
  leftChannel = ChannelState{};
  rightChannel = ChannelState{};
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
