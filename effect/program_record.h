// One program: the nine parameter values under their names and the program's name.
#pragma once

#include "aeffect.h"
#include "parameters.h"

enum { kNumPrograms = 8 };

// Values are atomic because setParameter may write them on the audio thread (host automation)
// while the user interface selects programs.
struct ProgramRecord : ParameterValues {
  ProgramRecord() { storeDefaults(); }

  char name[kVstMaxProgNameLen] = "Init"; // always terminated inside the record

  // The value of a parameter index; null for index 8 and indices outside 0 to 9.
  std::atomic<float>* value(VstInt32 index) { return field(index); }
};
