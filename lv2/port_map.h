// The LV2 ports of Sparkwell and the one mapping between port values and the effect's
// parameter values. The plug-in (which feeds port values to the sound core's setter) and the
// editor (which writes port values for the controls it moves) both use it, so the two sides
// cannot disagree.
//
// Ports 0 to 3 are the audio inputs and outputs; ports 4 to 12 are one control input per
// parameter in parameter order, index 8 (the editor's panel tab) having no port. Port values
// are what a host shows: Gain and Input in dB, HPF, Grid Current and Treble as their 0..1
// values, Pickup, Transistor, Stereo and Effect as the indices of their scale points. Each
// parameter's row (params/parameters.h) says which, with its symbol and its range.
#pragma once

#include <cstdint>

#include "parameters.h"

namespace sparkwell_lv2 {

// The stable URIs of the plug-in and of its editor.
constexpr const char* kPluginUri = "https://quillane.example/lv2/sparkwell";
constexpr const char* kUiUri = "https://quillane.example/lv2/sparkwell#ui";

// The number of parameters with a port: the rows that name one.
constexpr uint32_t countControlPorts() {
  uint32_t count = 0;
  for (const ParameterInfo& row : kParameters)
    if (row.port.kind != PortKind::None) ++count;
  return count;
}

enum Port : uint32_t {
  kPortInL = 0,
  kPortInR = 1,
  kPortOutL = 2,
  kPortOutR = 3,
  kFirstControlPort = 4,
  kNumPorts = kFirstControlPort + countControlPorts(),
};
constexpr uint32_t kNumControlPorts = kNumPorts - kFirstControlPort;

// The parameter of each control port, in port order: the rows with a port, in index order.
struct ControlParameters {
  int32_t parameter[kNumControlPorts];
  constexpr int32_t operator[](uint32_t i) const { return parameter[i]; }
};
constexpr ControlParameters controlParameters() {
  ControlParameters list{};
  uint32_t i = 0;
  for (int32_t index = 0; index < kNumParams; ++index)
    if (kParameters[index].port.kind != PortKind::None) list.parameter[i++] = index;
  return list;
}
constexpr ControlParameters kControlParameters = controlParameters();

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

// How a parameter's port reads: its row's.
constexpr PortKind portKindOf(int32_t parameter) {
  return kParameters[parameter].port.kind;
}

// The last scale point of a switch port: one point per band of the display.
constexpr int32_t lastScalePointOf(int32_t parameter) {
  return kParameters[parameter].switchWords.edgeCount;
}

// The ends of a port's range: the dB range of a dB port (so the port shows what the effect's
// display does: Gain reads 70 v - 50 dB, Input 60 v - 30 dB), 0 to the last point of a switch,
// 0 to 1 otherwise.
constexpr float portMinimum(int32_t parameter) {
  return portKindOf(parameter) == PortKind::Decibels
             ? static_cast<float>(kParameters[parameter].decibels.low)
             : 0.0f;
}
constexpr float portMaximum(int32_t parameter) {
  switch (portKindOf(parameter)) {
  case PortKind::Decibels:
    return static_cast<float>(kParameters[parameter].decibels.high);
  case PortKind::Choice:
  case PortKind::Toggle:
    return static_cast<float>(lastScalePointOf(parameter));
  default:
    return 1.0f;
  }
}

// x limited to lo..hi; NaN gives lo, so no host value can carry a NaN into the effect.
constexpr float clampPortValue(float x, float lo, float hi) {
  return x >= lo ? (x <= hi ? x : hi) : lo;
}

// A switch port: the nearest scale point, limited to 0..last.
constexpr int32_t scalePointOf(float x, int32_t last) {
  const float limited = clampPortValue(x, 0.0f, static_cast<float>(last));
  return static_cast<int32_t>(limited + 0.5f);
}

// The parameter value a port value stands for. dB ports are computed in single precision, so
// -8 dB is exactly 0.6f and 0 dB exactly 0.5f; each scale point gives a value inside its band,
// evenly spread from 0 to 1 (Pickup: 0, 0.25, 0.5, 0.75, 1, "HB" being 0.5, program 0's own).
constexpr float parameterFromPort(int32_t parameter, float portValue) {
  const float lo = portMinimum(parameter);
  const float hi = portMaximum(parameter);
  switch (portKindOf(parameter)) {
  case PortKind::Decibels:
    return (clampPortValue(portValue, lo, hi) - lo) / (hi - lo);
  case PortKind::Choice:
  case PortKind::Toggle: {
    const int32_t last = lastScalePointOf(parameter);
    return static_cast<float>(scalePointOf(portValue, last)) / static_cast<float>(last);
  }
  default:
    return clampPortValue(portValue, 0.0f, 1.0f);
  }
}

// The port value that shows a parameter value: the inverse of parameterFromPort. A switch gives
// the scale point of the position the sound takes: its band, or for Transistor and Effect the
// upper point only strictly above the edge.
inline float portFromParameter(int32_t parameter, float value) {
  const float lo = portMinimum(parameter);
  const float hi = portMaximum(parameter);
  switch (portKindOf(parameter)) {
  case PortKind::Decibels:
    return clampPortValue(value * (hi - lo) + lo, lo, hi);
  case PortKind::Choice:
  case PortKind::Toggle: {
    const SwitchWords& sw = kParameters[parameter].switchWords;
    if (sw.soundStrictlyAbove) return static_cast<double>(value) > sw.edges[0] ? 1.0f : 0.0f;
    return static_cast<float>(switchBandOf(sw, value));
  }
  default:
    return clampPortValue(value, 0.0f, 1.0f);
  }
}

} // namespace sparkwell_lv2
