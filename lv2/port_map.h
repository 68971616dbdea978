// The LV2 ports of Sparkwell and the parameter values behind them. The plug-in and its UI both
// map through these functions, so a port value means the same sound on either side and the same
// sound as the VST parameter it stands for.
//
// Ports: 0 in_l, 1 in_r, 2 out_l, 3 out_r (audio), then one control input per parameter in
// parameter order: 4 gain, 5 hpf, 6 input, 7 grid_current, 8 treble, 9 pickup, 10 transistor,
// 11 stereo, 12 effect (parameter 9). Parameter 8, the editor's tab, has no port.
#pragma once

#include <cstdint>

#include "pickup_sets.h"

namespace sparkwell_lv2 {

enum PortIndex : uint32_t {
  kPortInLeft = 0,
  kPortInRight = 1,
  kPortOutLeft = 2,
  kPortOutRight = 3,
  kPortGain = 4,
  kPortHpf = 5,
  kPortInput = 6,
  kPortGridCurrent = 7,
  kPortTreble = 8,
  kPortPickup = 9,
  kPortTransistor = 10,
  kPortStereo = 11,
  kPortEffect = 12,
  kNumPorts = 13,
};

// The parameter index a control port drives; -1 for the audio ports and beyond the last port.
constexpr int32_t parameterOfPort(uint32_t port) {
  if (port < kPortGain || port >= kNumPorts) return -1;
  return port == kPortEffect ? 9 : static_cast<int32_t>(port - kPortGain);
}

// The control port of a parameter index; -1 for index 8 (no parameter) and outside 0 to 9.
constexpr int32_t portOfParameter(int32_t index) {
  if (index < 0 || index > 9 || index == 8) return -1;
  return index == 9 ? static_cast<int32_t>(kPortEffect) : static_cast<int32_t>(kPortGain) + index;
}

// Scale point of an enumeration or toggle port: the port value rounded to the nearest integer
// and clamped to 0..last (NaN gives 0).
inline int32_t scalePointOf(float portValue, int32_t last) {
  if (!(portValue >= 0.5f)) return 0;
  if (portValue >= static_cast<float>(last)) return last;
  return static_cast<int32_t>(portValue + 0.5f);
}

// Pickup scale points 0..4 ("None", "Hot HB", "HB", "P90", "SC") sit at the values the editor's
// selector sends for its five positions, each inside its band of pickupBandOf. Program 0's 0.5
// is scale point 2 and back again.
constexpr float kPickupStep = 0.25f;
constexpr int32_t kLastPickupPoint = 4;

// The parameter value a port value stands for. Gain: dB -50..+20, (dB + 50) / 70. Input: dB
// -30..+30, (dB + 30) / 60. HPF, Grid Current, Treble: as they are. Pickup: scale point x 0.25.
// Transistor ("2SB175", "AC128"), Stereo ("Stereo", "Mono"), Effect ("Off", "On"): 0 or 1.
// All in single precision. Audio ports and ports beyond the last answer 0.
inline float parameterFromPort(uint32_t port, float portValue) {
  switch (port) {
  case kPortGain:
    return (portValue + 50.0f) / 70.0f;
  case kPortInput:
    return (portValue + 30.0f) / 60.0f;
  case kPortHpf:
  case kPortGridCurrent:
  case kPortTreble:
    return portValue;
  case kPortPickup:
    return static_cast<float>(scalePointOf(portValue, kLastPickupPoint)) * kPickupStep;
  case kPortTransistor:
  case kPortStereo:
  case kPortEffect:
    return static_cast<float>(scalePointOf(portValue, 1));
  default:
    return 0.0f;
  }
}

// The port value for a parameter value: the inverse, with every value of a band going to that
// band's scale point as the processing hears it (Transistor and Effect switch on strictly above
// 0.5, Stereo stays stereo strictly below 0.5).
inline float portFromParameter(uint32_t port, float value) {
  switch (port) {
  case kPortGain:
    return 70.0f * value - 50.0f;
  case kPortInput:
    return 60.0f * value - 30.0f;
  case kPortHpf:
  case kPortGridCurrent:
  case kPortTreble:
    return value;
  case kPortPickup:
    return static_cast<float>(static_cast<int32_t>(pickupBandOf(value)));
  case kPortTransistor:
  case kPortEffect:
    return value > 0.5f ? 1.0f : 0.0f;
  case kPortStereo:
    return value < 0.5f ? 0.0f : 1.0f;
  default:
    return 0.0f;
  }
}

} // namespace sparkwell_lv2
