// One program: the nine parameter values under their names and the program's name.
#pragma once

#include <cstdint>

#include "parameters.h"

enum { kNumPrograms = 8 };

// Bytes of a program's name, its terminator included.
constexpr int32_t kProgramNameSize = 24;

// Values are atomic because a parameter change may write them on the audio thread (host
// automation) while the user interface selects programs.
struct ProgramRecord : ParameterValues {
  ProgramRecord() { storeDefaults(); }

  char name[kProgramNameSize] = "Init"; // always terminated inside the record

  // The value of a parameter index; null for index 8 and indices outside 0 to 9.
  std::atomic<float>* value(int32_t index) { return field(index); }
  const std::atomic<float>* value(int32_t index) const { return field(index); }
};
