// Sparkwell as an LV2 plug-in: the same effect object the VST module builds, driven through
// the LV2 ports. Control port values become parameter values through port_map.h and reach the
// effect through the setter the VST host calls; the audio goes through processReplacing.
#include <lv2/core/lv2.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "port_map.h"
#include "sparkwell.h"

namespace {

using namespace sparkwell_lv2;

// The effect's only host. It answers the version question (2400) and nothing else: the effect
// asks the host for nothing while it processes, and it has no window here.
VstIntPtr hostCallback(AEffect* /*effect*/, VstInt32 opcode, VstInt32 /*index*/,
                       VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

struct Instance {
  Sparkwell* effect = nullptr;
  float* audio[kFirstControlPort] = {};
  const float* controls[kNumControlPorts] = {};
  // The bits of each control value last applied (a NaN compares equal to itself this way), and
  // whether a value has been applied at all: a port first seen in any run is applied whatever
  // its value.
  uint32_t applied[kNumControlPorts] = {};
  bool everApplied[kNumControlPorts] = {};
};

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* /*features*/) {
  Instance* instance = new (std::nothrow) Instance;
  if (!instance) return nullptr;
  try {
    instance->effect = new Sparkwell(hostCallback);
  } catch (...) {
    delete instance;
    return nullptr;
  }
  // As a VST host tells it: the effect keeps the rate, but its coefficients stay designed for
  // twice the rate it was constructed with, whatever the host runs at.
  instance->effect->setSampleRate(static_cast<float>(sampleRate));
  return instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  Instance* instance = static_cast<Instance*>(handle);
  if (port < kFirstControlPort)
    instance->audio[port] = static_cast<float*>(data);
  else if (port < kNumPorts)
    instance->controls[port - kFirstControlPort] = static_cast<const float*>(data);
}

void activate(LV2_Handle handle) {
  static_cast<Instance*>(handle)->effect->resume();
}

void deactivate(LV2_Handle handle) {
  static_cast<Instance*>(handle)->effect->suspend();
}

void run(LV2_Handle handle, uint32_t sampleCount) {
  Instance* instance = static_cast<Instance*>(handle);
  Sparkwell* effect = instance->effect;
  for (uint32_t i = 0; i < kNumControlPorts; ++i) {
    const float* port = instance->controls[i];
    if (!port) continue;
    const uint32_t bits = bitsOf(*port);
    if (instance->everApplied[i] && bits == instance->applied[i]) continue;
    instance->applied[i] = bits;
    instance->everApplied[i] = true;
    const int32_t parameter = kControlParameters[i];
    effect->setParameter(parameter, parameterFromPort(parameter, *port));
  }

  float* inputs[2] = {instance->audio[kPortInL], instance->audio[kPortInR]};
  float* outputs[2] = {instance->audio[kPortOutL], instance->audio[kPortOutR]};
  if (!inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
  // The effect counts frames in a signed 32-bit number.
  constexpr uint32_t kLongestCall = 1u << 30;
  while (sampleCount > 0) {
    const uint32_t frames = sampleCount < kLongestCall ? sampleCount : kLongestCall;
    effect->processReplacing(inputs, outputs, static_cast<VstInt32>(frames));
    for (float*& p : inputs)
      p += frames;
    for (float*& p : outputs)
      p += frames;
    sampleCount -= frames;
  }
}

void cleanup(LV2_Handle handle) {
  Instance* instance = static_cast<Instance*>(handle);
  delete instance->effect;
  delete instance;
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
