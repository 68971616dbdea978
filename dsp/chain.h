// The pieces of the processing chain shared by its block-wise form (block_chain.h) and its
// users: input scaling, the bypass, the constants and the settings the chain reads (the biquad
// update is biquad.h's). The chain itself: 2x upsampling by linear interpolation, HPF, pickup
// resonance and notch, pickup/plain crossfade with the inverting drive, transistor curve, DC
// blocker, grid current, treble low-pass, the 1/4, 1/2, 1/4 decimator and the output gain, every
// step in the precision it is defined in.
#pragma once

#include "channel_state.h"
#include "pickup_sets.h"

// Added after the biquad inputs and the treble output so that silence settles on tiny normal
// numbers instead of decaying into subnormals.
constexpr float kDenormGuard = 1e-25f;

// The drive gains (inverting) in front of the two transistor models.
constexpr double kDrive2SB175 = -50.0;
constexpr double kDriveAC128 = -31.66667;

// Everything the chain reads besides its own state, taken once per block from the effect's
// parameter-derived fields.
struct ChainSettings {
  float hpfCoefB, hpfCoefA;
  PickupFilters pickup;
  float hpf;           // weight of the pickup-coloured signal
  float hpfComplement; // weight of the plain high-passed signal, 1 - hpf
  bool ac128Model;
  float gridCurrent; // exactly 0 skips the grid stage
  float gridAmount, gridAmountInv;
  float dcCoefB, dcCoefA;
  float trebleCoefB, trebleCoefA;
  float outputGain;
};

// "Mono": the sum of both inputs, scaled (0.09 x sum equals 0.18 x one input of two equal ones).
inline float scaleMonoInput(float left, float right, float inputGain) {
  return static_cast<float>(static_cast<double>(left + right) * 0.09 *
                            static_cast<double>(inputGain));
}

// "Stereo": one channel's input, scaled.
inline float scaleStereoInput(float in, float inputGain) {
  return static_cast<float>(static_cast<double>(in * inputGain) * 0.18);
}

// Bypass in "Mono": both outputs carry the average of the inputs.
inline float monoBypass(float left, float right) {
  return (left + right) * 0.5f;
}
