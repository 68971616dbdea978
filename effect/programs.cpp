// Sparkwell's eight programs: selecting one pushes its values through setParameter, so the
// derived values and the editor follow; names are kept per program.
#include <cstdio>
#include <cstring>

#include "sparkwell.h"

void Sparkwell::setProgram(VstInt32 program) {
  if (program < 0 || program >= kNumPrograms) return;
  curProgram.store(program, std::memory_order_relaxed);
  const ProgramRecord& record = core.program(program);
  // Through the virtual setParameter, so the derived values and the editor follow.
  // In index order; index 8 has no value.
  for (VstInt32 index = 0; index < kNumParams; ++index) {
    if (const std::atomic<float>* value = record.value(index))
      setParameter(index, value->load(std::memory_order_relaxed));
  }
}

void Sparkwell::setProgramName(char* name) {
  // Longer names are cut so that the terminator stays inside the record.
  core.setProgramName(curProgram.load(std::memory_order_relaxed), name);
}

void Sparkwell::getProgramName(char* name) {
  const VstInt32 current = curProgram.load(std::memory_order_relaxed);
  const char* stored = core.program(current).name;
  // Only a name that is exactly "Init" is numbered: Init 1 to Init 8.
  if (std::memcmp(stored, "Init", 5) == 0)
    std::snprintf(name, kVstMaxProgNameLen, "Init %d", current + 1);
  else
    std::strcpy(name, stored);
}

bool Sparkwell::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPrograms) return false;
  std::strcpy(text, core.program(index).name);
  return true;
}
