// The LV2 ports of Sparkwell and the one mapping between port values and the effect's
// parameter values. The plug-in (which feeds port values to Sparkwell::setParameter) and the
// editor (which writes port values for the controls it moves) both use it, so the two sides
// cannot disagree.
//
// Ports 0 to 3 are the audio inputs and outputs; ports 4 to 12 are one control input per
// parameter in parameter order, index 8 (the editor's panel tab) having no port. Port values
// are what a host shows: Gain and Input in dB, HPF, Grid Current and Treble as their 0..1
// values, Pickup, Transistor, Stereo and Effect as the indices of their scale points.
#pragma once

#include <cstdint>

#include "parameters.h"
#include "pickup_sets.h"

namespace sparkwell_lv2 {

// The stable URIs of the plug-in and of its editor.
constexpr const char* kPluginUri = "https://quillane.example/lv2/sparkwell";
constexpr const char* kUiUri = "https://quillane.example/lv2/sparkwell#ui";

enum Port : uint32_t {
  kPortInL = 0,
  kPortInR = 1,
  kPortOutL = 2,
  kPortOutR = 3,
  kFirstControlPort = 4,
  kNumPorts = 13,
};
constexpr uint32_t kNumControlPorts = kNumPorts - kFirstControlPort;

// Parameter indices as the effect numbers them (the parameter table's).
constexpr int32_t kParamGain = kGain;
constexpr int32_t kParamHpf = kHpf;
constexpr int32_t kParamInput = kInput;
constexpr int32_t kParamGridCurrent = kGridCurrent;
constexpr int32_t kParamTreble = kTreble;
constexpr int32_t kParamPickup = kPickup;
constexpr int32_t kParamTransistor = kTransistor;
constexpr int32_t kParamStereo = kStereo;
constexpr int32_t kParamEffect = kEffect;

// The parameter of each control port, in port order.
constexpr int32_t kControlParameters[kNumControlPorts] = {
    kParamGain,   kParamHpf,        kParamInput,  kParamGridCurrent, kParamTreble,
    kParamPickup, kParamTransistor, kParamStereo, kParamEffect,
};

// The parameter a port drives, or -1 for the audio ports and indices past the last port.
constexpr int32_t parameterOfPort(uint32_t port) {
  if (port < kFirstControlPort || port >= kNumPorts) return -1;
  return kControlParameters[port - kFirstControlPort];
}

// The control port of a parameter, or -1 for index 8 and indices outside 0 to 9.
constexpr int32_t portOfParameter(int32_t parameter) {
  for (uint32_t i = 0; i < kNumControlPorts; ++i)
    if (kControlParameters[i] == parameter) return static_cast<int32_t>(kFirstControlPort + i);
  return -1;
}

// Ranges of the dB ports: the parameter table's, so the port shows what the effect's display
// does (Gain reads 70 v - 50 dB, Input 60 v - 30 dB).
constexpr float kGainMinDb = static_cast<float>(kGainDecibels.low);
constexpr float kGainMaxDb = static_cast<float>(kGainDecibels.high);
constexpr float kInputMinDb = static_cast<float>(kInputDecibels.low);
constexpr float kInputMaxDb = static_cast<float>(kInputDecibels.high);

// Number of scale points of the Pickup port: one per band of the display.
constexpr int32_t kPickupPoints = kPickupBandEdgeCount + 1;

// x limited to lo..hi; NaN gives lo, so no host value can carry a NaN into the effect.
constexpr float clampPortValue(float x, float lo, float hi) {
  return x >= lo ? (x <= hi ? x : hi) : lo;
}

// A switch port: the nearest scale point, limited to 0..last.
constexpr int32_t scalePointOf(float x, int32_t last) {
  const float limited = clampPortValue(x, 0.0f, static_cast<float>(last));
  return static_cast<int32_t>(limited + 0.5f);
}

// The parameter value a port value stands for. Gain and Input are computed in single
// precision, so -8 dB is exactly 0.6f and 0 dB exactly 0.5f; each Pickup scale point gives
// a value inside its band (0, 0.25, 0.5, 0.75, 1: "HB" is 0.5, program 0's own value).
constexpr float parameterFromPort(int32_t parameter, float portValue) {
  switch (parameter) {
  case kParamGain:
    return (clampPortValue(portValue, kGainMinDb, kGainMaxDb) - kGainMinDb) /
           (kGainMaxDb - kGainMinDb);
  case kParamInput:
    return (clampPortValue(portValue, kInputMinDb, kInputMaxDb) - kInputMinDb) /
           (kInputMaxDb - kInputMinDb);
  case kParamPickup:
    return static_cast<float>(scalePointOf(portValue, kPickupPoints - 1)) * 0.25f;
  case kParamTransistor:
  case kParamStereo:
  case kParamEffect:
    return static_cast<float>(scalePointOf(portValue, 1));
  default: // HPF, Grid Current, Treble
    return clampPortValue(portValue, 0.0f, 1.0f);
  }
}

// The port value that shows a parameter value: the inverse of parameterFromPort. A Pickup value
// gives the scale point of its band; the two-way switches give the position the sound takes
// (Transistor and Effect switch on strictly above 0.5, Stereo is "Stereo" strictly below).
inline float portFromParameter(int32_t parameter, float value) {
  switch (parameter) {
  case kParamGain:
    return clampPortValue(value * (kGainMaxDb - kGainMinDb) + kGainMinDb, kGainMinDb, kGainMaxDb);
  case kParamInput:
    return clampPortValue(value * (kInputMaxDb - kInputMinDb) + kInputMinDb, kInputMinDb,
                          kInputMaxDb);
  case kParamPickup:
    return static_cast<float>(static_cast<int32_t>(pickupBandOf(value)));
  case kParamTransistor:
  case kParamEffect:
    return value > 0.5f ? 1.0f : 0.0f;
  case kParamStereo:
    return value < 0.5f ? 0.0f : 1.0f;
  default:
    return clampPortValue(value, 0.0f, 1.0f);
  }
}

} // namespace sparkwell_lv2
