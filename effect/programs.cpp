// Sparkwell's eight programs: selecting one pushes its values through setParameter, so the
// derived values and the editor follow; names are kept per program.
#include <cstdio>
#include <cstring>

#include "sparkwell.h"

namespace {
constexpr size_t kLongestName = kVstMaxProgNameLen - 1;
} // namespace

void Sparkwell::setProgram(VstInt32 program) {
  if (program < 0 || program >= kNumPrograms) return;
  curProgram.store(program, std::memory_order_relaxed);
  ProgramRecord& record = programs[program];
  // Through the virtual setParameter, so the derived values and the editor follow.
  // In index order; index 8 has no value.
  for (VstInt32 index = 0; index < kNumParams; ++index) {
    if (const std::atomic<float>* value = record.value(index))
      setParameter(index, value->load(std::memory_order_relaxed));
  }
}

void Sparkwell::setProgramName(char* name) {
  // Longer names are cut so that the terminator stays inside the record.
  char* stored = programs[curProgram.load(std::memory_order_relaxed)].name;
  const size_t length = strnlen(name, kLongestName);
  std::memcpy(stored, name, length);
  stored[length] = 0;
}

void Sparkwell::getProgramName(char* name) {
  const VstInt32 current = curProgram.load(std::memory_order_relaxed);
  const char* stored = programs[current].name;
  // Only a name that is exactly "Init" is numbered: Init 1 to Init 8.
  if (std::memcmp(stored, "Init", 5) == 0)
    std::snprintf(name, kVstMaxProgNameLen, "Init %d", current + 1);
  else
    std::strcpy(name, stored);
}

bool Sparkwell::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPrograms) return false;
  std::strcpy(text, programs[index].name);
  return true;
}
