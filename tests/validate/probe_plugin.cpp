// A small stand-in plug-in for testing the validator itself: seven parameter indices (index 3
// kept free), five programs and a one-pole low-pass per channel, with an identity of its own (the
// validator learns all of these from the plug-in), written to pass the checks it is run with. The
// environment variable SPARKWELL_PROBE_FAULT names one fault to build in; the validator must then
// fail the check that looks for it. Nothing here is part of Sparkwell.
#include "../../shell/aeffect.h"

#include <xmmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
enum class Fault {
  None,
  DisplayOverrun,  // the display text runs past its 9 bytes
  Allocates,       // processReplacing allocates
  ChangesMxcsr,    // processReplacing leaves flush-to-zero set
  SkipsLastSample, // the last output sample of a block is not written
  WritesInputs,    // processReplacing scales the host's input buffers in place
  StickyNan,       // a NaN in the filter memory stays for ever
  AutomatesHost,   // host writes are echoed as audioMasterAutomate
  ClampsValues,    // stored values are clamped to 0..1
  Subnormal,       // the filter memory decays into subnormal numbers
  ResetsPerBlock,  // the filter memory starts over with every block
  SharedState,     // all instances share one filter memory
  ResetsOnResume,  // effMainsChanged(1) clears the filter memory
  Crashes,         // processReplacing writes through a null pointer
  CallsHost,       // processReplacing asks the host for the time, passing no record
};

Fault faultFromEnvironment() {
  const char* name = getenv("SPARKWELL_PROBE_FAULT");
  std::string fault = name ? name : "";
  if (fault == "display-overrun") return Fault::DisplayOverrun;
  if (fault == "allocates") return Fault::Allocates;
  if (fault == "changes-mxcsr") return Fault::ChangesMxcsr;
  if (fault == "skips-last-sample") return Fault::SkipsLastSample;
  if (fault == "writes-inputs") return Fault::WritesInputs;
  if (fault == "sticky-nan") return Fault::StickyNan;
  if (fault == "automates-host") return Fault::AutomatesHost;
  if (fault == "clamps-values") return Fault::ClampsValues;
  if (fault == "subnormal") return Fault::Subnormal;
  if (fault == "resets-per-block") return Fault::ResetsPerBlock;
  if (fault == "shared-state") return Fault::SharedState;
  if (fault == "resets-on-resume") return Fault::ResetsOnResume;
  if (fault == "crashes") return Fault::Crashes;
  if (fault == "calls-host") return Fault::CallsHost;
  return Fault::None;
}

constexpr int kParams = 7, kPrograms = 5, kEmptySlot = 3;
float sharedMemory[2];

struct Probe {
  AEffect record;
  audioMasterCallback host;
  Fault fault;
  int program = 0;
  float values[kPrograms][kParams];
  char names[kPrograms][24];
  float ownMemory[2] = {0.0f, 0.0f};
  float* memory() { return fault == Fault::SharedState ? sharedMemory : ownMemory; }
};

Probe* probeOf(AEffect* effect) {
  return static_cast<Probe*>(effect->object);
}

void copyText(void* ptr, const char* text, size_t limit) {
  strncpy(static_cast<char*>(ptr), text, limit - 1);
  static_cast<char*>(ptr)[limit - 1] = '\0';
}

void setParameter(AEffect* effect, VstInt32 index, float value) {
  Probe* p = probeOf(effect);
  if (index < 0 || index >= kParams || index == kEmptySlot) return;
  if (p->fault == Fault::ClampsValues) value = std::fmin(std::fmax(value, 0.0f), 1.0f);
  p->values[p->program][index] = value;
  if (p->fault == Fault::AutomatesHost)
    p->host(effect, audioMasterAutomate, index, 0, nullptr, value);
}

float getParameter(AEffect* effect, VstInt32 index) {
  Probe* p = probeOf(effect);
  if (index < 0 || index >= kParams || index == kEmptySlot) return 0.0f;
  return p->values[p->program][index];
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float) {
  Probe* p = probeOf(effect);
  bool real = index >= 0 && index < kParams && index != kEmptySlot;
  switch (opcode) {
  case effClose:
    delete p;
    return 1;
  case effSetProgram:
    if (value >= 0 && value < kPrograms) p->program = static_cast<int>(value);
    return 0;
  case effGetProgram:
    return p->program;
  case effSetProgramName:
    if (ptr) copyText(p->names[p->program], static_cast<const char*>(ptr), 24);
    return 0;
  case effGetProgramName:
    if (ptr) copyText(ptr, p->names[p->program], 24);
    return 0;
  case effGetProgramNameIndexed:
    if (!ptr || index < 0 || index >= kPrograms) return 0;
    copyText(ptr, p->names[index], 24);
    return 1;
  case effGetParamName:
    if (ptr && real) copyText(ptr, "Level", 9);
    return 0;
  case effGetParamLabel:
    if (ptr && real) copyText(ptr, "", 9);
    return 0;
  case effGetParamDisplay:
    if (!ptr || !real) return 0;
    if (p->fault == Fault::DisplayOverrun) {
      memset(ptr, '7', 15);
      static_cast<char*>(ptr)[15] = '\0';
      return 0;
    }
    copyText(ptr, std::isfinite(p->values[p->program][index]) ? "0.5" : "nan", 9);
    return 0;
  case effMainsChanged:
    if (value && p->fault == Fault::ResetsOnResume) p->memory()[0] = p->memory()[1] = 0.0f;
    return 0;
  case effEditGetRect:
    return 0;
  case effIdentify:
    return CCONST('N', 'v', 'E', 'f');
  case effCanBeAutomated:
    return 1;
  case effGetEffectName:
    if (ptr) copyText(ptr, "Validator Probe", 32);
    return 1;
  case effGetVendorString:
    if (ptr) copyText(ptr, "Sparkwell tests", 64);
    return 1;
  case effGetProductString:
    if (ptr) copyText(ptr, "Validator Probe 1", 64);
    return 1;
  case effGetVstVersion:
    return 2400;
  case effGetCurrentMidiProgram:
    return -1;
  case effSetTotalSampleToProcess:
    return static_cast<VstInt32>(value);
  default:
    return 0;
  }
}

void processNothing(AEffect*, float**, float**, VstInt32) {}

// Subnormal input is taken as zero, tested on the bits: a floating-point comparison with a
// subnormal operand would itself be subnormal arithmetic.
float flushSubnormal(float sample) {
  uint32_t bits;
  memcpy(&bits, &sample, sizeof bits);
  return (bits & 0x7f800000u) == 0 ? 0.0f : sample;
}
void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  Probe* p = probeOf(effect);
  if (frames <= 0) return;
  if (p->fault == Fault::Crashes) {
    float* volatile nowhere = nullptr;
    *nowhere = 1.0f;
  }
  float* memory = p->memory();
  if (p->fault == Fault::ResetsPerBlock) memory[0] = memory[1] = 0.0f;
  if (p->fault == Fault::Allocates) {
    // Kept in a volatile, so that the compiler cannot drop the allocation.
    static float* volatile scratch;
    scratch = new float[static_cast<size_t>(frames)];
    delete[] scratch;
  }
  if (p->fault == Fault::CallsHost) p->host(nullptr, audioMasterGetTime, 0, 0, nullptr, 0.0f);
  if (p->fault == Fault::ChangesMxcsr) _mm_setcsr(_mm_getcsr() | 0x8040);
  float gain = std::isfinite(p->values[p->program][0]) ? 0.5f : 0.0f;
  // Without a guard the memory decays through the subnormal range after the input stops.
  float guard = p->fault == Fault::Subnormal ? 0.0f : 1e-25f;
  int written = p->fault == Fault::SkipsLastSample ? frames - 1 : frames;
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < frames; ++i) {
      float in = p->fault == Fault::Subnormal ? inputs[c][i] : flushSubnormal(inputs[c][i]);
      if (p->fault == Fault::WritesInputs) inputs[c][i] = in * 0.5f;
      memory[c] = memory[c] * 0.9f + in * 0.1f + guard;
      if (i < written) outputs[c][i] = memory[c] * gain;
    }
    if (p->fault != Fault::StickyNan && !std::isfinite(memory[c])) memory[c] = 0.0f;
  }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  Probe* p = new Probe();
  p->host = host;
  p->fault = faultFromEnvironment();
  for (auto& program : p->values)
    for (float& value : program)
      value = 0.5f;
  for (auto& name : p->names)
    strcpy(name, "Init");
  AEffect& r = p->record;
  memset(&r, 0, sizeof r);
  r.magic = kEffectMagic;
  r.dispatcher = dispatcher;
  r.process = processNothing;
  r.setParameter = setParameter;
  r.getParameter = getParameter;
  r.numPrograms = kPrograms;
  r.numParams = kParams;
  r.numInputs = 2;
  r.numOutputs = 2;
  r.flags = effFlagsCanReplacing;
  r.ioRatio = 1.0f;
  r.object = p;
  r.uniqueID = CCONST('V', 'P', 'r', 'b');
  r.version = 1;
  r.processReplacing = processReplacing;
  return &r;
}
