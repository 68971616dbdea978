// Sparkwell as an LV2 plug-in: the sound core the VST effect owns too, driven through the LV2
// ports. Control port values become parameter values through port_map.h and reach the core's
// setter; the audio goes through its process. No editor and no window here: the UI is a binary
// of its own.
#include <lv2/core/lv2.h>

#include <cstdint>
#include <new>

#include "float_bits.h"
#include "port_map.h"
#include "sparkwell_core.h"

namespace {

using namespace sparkwell_lv2;

// The rate the coefficients are designed for (twice this), whatever the host runs at: the VST
// effect's base holds 44100 when it builds its core, and both formats sound the same.
constexpr float kDesignSampleRate = 44100.0f;

// LV2 has no programs: every change goes to program 0's record.
constexpr int32_t kProgram = 0;

struct Instance {
  SparkwellCore core{kDesignSampleRate};
  float* audio[kFirstControlPort] = {};
  const float* controls[kNumControlPorts] = {};
  // The bits of each control value last applied (a NaN compares equal to itself this way), and
  // whether a value has been applied at all: a port first seen in any run is applied whatever
  // its value.
  uint32_t applied[kNumControlPorts] = {};
  bool everApplied[kNumControlPorts] = {};
};

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double /*sampleRate*/,
                       const char* /*bundlePath*/, const LV2_Feature* const* /*features*/) {
  return new (std::nothrow) Instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  Instance* instance = static_cast<Instance*>(handle);
  if (port < kFirstControlPort)
    instance->audio[port] = static_cast<float*>(data);
  else if (port < kNumPorts)
    instance->controls[port - kFirstControlPort] = static_cast<const float*>(data);
}

// Nothing to start or stop: the filters carry on from where they were, as in the VST effect.
void activate(LV2_Handle /*handle*/) {}

void deactivate(LV2_Handle /*handle*/) {}

void run(LV2_Handle handle, uint32_t sampleCount) {
  Instance* instance = static_cast<Instance*>(handle);
  SparkwellCore& core = instance->core;
  for (uint32_t i = 0; i < kNumControlPorts; ++i) {
    const float* port = instance->controls[i];
    if (!port) continue;
    const uint32_t bits = bitsOf(*port);
    if (instance->everApplied[i] && bits == instance->applied[i]) continue;
    instance->applied[i] = bits;
    instance->everApplied[i] = true;
    const int32_t parameter = kControlParameters[i];
    core.setParameter(kProgram, parameter, parameterFromPort(parameter, *port));
  }

  const float* inLeft = instance->audio[kPortInL];
  const float* inRight = instance->audio[kPortInR];
  float* outLeft = instance->audio[kPortOutL];
  float* outRight = instance->audio[kPortOutR];
  if (!inLeft || !inRight || !outLeft || !outRight) return;
  // The core counts frames in a signed 32-bit number.
  constexpr uint32_t kLongestCall = 1u << 30;
  while (sampleCount > 0) {
    const uint32_t frames = sampleCount < kLongestCall ? sampleCount : kLongestCall;
    core.process(inLeft, inRight, outLeft, outRight, static_cast<int32_t>(frames));
    inLeft += frames;
    inRight += frames;
    outLeft += frames;
    outRight += frames;
    sampleCount -= frames;
  }
}

void cleanup(LV2_Handle handle) {
  delete static_cast<Instance*>(handle);
}

const void* extensionData(const char* /*uri*/) {
  return nullptr;
}

const LV2_Descriptor kDescriptor = {
    kPluginUri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
