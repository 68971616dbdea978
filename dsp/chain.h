// The processing chain for one host frame of one channel (or of both at once in "Stereo"):
// input scaling, 2x upsampling by linear interpolation, HPF, pickup resonance and notch,
// pickup/plain crossfade with the inverting drive, transistor curve, DC blocker, grid current,
// treble low-pass, the 1/4, 1/2, 1/4 decimator and the output gain. Every step is in the
// precision it is defined in; the chain is header-only so that the effect's frame loop inlines
// it.
#pragma once

#include "channel_state.h"
#include "curves.h"
#include "pickup_sets.h"

// Added after the biquad inputs and the treble output so that silence settles on tiny normal
// numbers instead of decaying into subnormals.
constexpr float kDenormGuard = 1e-25f;

// The drive gains (inverting) in front of the two transistor models.
constexpr double kDrive2SB175 = -50.0;
constexpr double kDriveAC128 = -31.66667;

// Everything the chain reads besides its own state, taken once per frame from the effect's
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

// One Direct Form I update, summed left to right: b0 u + b1 x1 + b2 x2 - a1 y1 - a2 y2.
template <class Coeffs> inline float biquadStep(BiquadState& s, const Coeffs& c, float u) {
  const float y = c.b0 * u + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2;
  s.x2 = s.x1;
  s.x1 = u;
  s.y2 = s.y1;
  s.y1 = y;
  return y;
}

// The chain runs stage by stage over the frame's two oversampled samples (and, in "Stereo", over
// both channels), which equals running sample by sample: every filter still sees its own
// samples in order. Grouping the stages keeps the library calls of the curves together, so the
// filter memories are saved around them once per frame rather than once per call.

// Upsampling, HPF, pickup resonance and notch, crossfade and drive: the two drive samples.
inline void driveStage(ChannelState& s, float x, const ChainSettings& c, float (&drive)[2]) {
  const float mid =
      static_cast<float>(0.5 * static_cast<double>(s.prevIn) + 0.5 * static_cast<double>(x));
  s.prevIn = x;
  const float oversampled[2] = {mid, x};
  const double driveGain = c.ac128Model ? kDriveAC128 : kDrive2SB175;
  for (int k = 0; k < 2; ++k) {
    const float hpLow = c.hpfCoefB * oversampled[k] - c.hpfCoefA * s.hpfZ;
    s.hpfZ = hpLow;
    const float hpOut = oversampled[k] - hpLow;

    // "None" passes the high-passed signal on both paths of the mix.
    float peakOut = hpOut;
    float notchOut = hpOut;
    if (c.pickup.resonance) {
      peakOut = biquadStep(s.peak, *c.pickup.resonance, hpOut + kDenormGuard);
      notchOut = biquadStep(s.notch, *c.pickup.notch, peakOut + kDenormGuard);
    }

    const double mix = (static_cast<double>(peakOut) * 0.2 + static_cast<double>(notchOut) * 0.8) *
                       static_cast<double>(c.hpf);
    drive[k] = static_cast<float>((mix + static_cast<double>(c.hpfComplement * hpOut)) * driveGain);
  }
}

// Transistor curve, then the DC blocker: the two DC-free samples.
inline void boosterStage(ChannelState& s, const float (&drive)[2], const ChainSettings& c,
                         float (&dcOut)[2]) {
  for (int k = 0; k < 2; ++k) {
    const float shaped = c.ac128Model ? shapeAC128(drive[k]) : shape2SB175(drive[k]);
    const float dcLow = c.dcCoefB * shaped - c.dcCoefA * s.dcZ;
    s.dcZ = dcLow;
    dcOut[k] = shaped - dcLow;
  }
}

// Grid current, skipped while gridCurrent is exactly 0. Memoryless.
inline float gridStage(float dcOut, const ChainSettings& c) {
  return c.gridCurrent == 0.0f ? dcOut : c.gridAmountInv * gridShape(c.gridAmount * dcOut);
}

// Treble low-pass, decimation and output gain: the frame's output sample.
inline float outputStage(ChannelState& s, const float (&gridOut)[2], const ChainSettings& c) {
  float trebleOut[2];
  for (int k = 0; k < 2; ++k) {
    trebleOut[k] = (c.trebleCoefB * gridOut[k] - c.trebleCoefA * s.trebleZ) + kDenormGuard;
    s.trebleZ = trebleOut[k];
  }
  // Taps over previous first, previous second and current first sample; the current second
  // sample enters the next frame's output.
  const float decimOut = static_cast<float>(0.25 * static_cast<double>(trebleOut[0]) +
                                            0.5 * static_cast<double>(s.decimMem1) +
                                            0.25 * static_cast<double>(s.decimMem0));
  s.decimMem0 = trebleOut[0];
  s.decimMem1 = trebleOut[1];
  return decimOut * c.outputGain;
}

// One host frame of one channel from its scaled input x; returns the output sample.
inline float runChain(ChannelState& s, float x, const ChainSettings& c) {
  float drive[2], dcOut[2];
  driveStage(s, x, c, drive);
  boosterStage(s, drive, c, dcOut);
  const float gridOut[2] = {gridStage(dcOut[0], c), gridStage(dcOut[1], c)};
  return outputStage(s, gridOut, c);
}

// One host frame of two independent channels, stage by stage across both.
inline void runChainPair(ChannelState& left, ChannelState& right, float xLeft, float xRight,
                         const ChainSettings& c, float& outLeft, float& outRight) {
  float driveLeft[2], driveRight[2], dcLeft[2], dcRight[2];
  driveStage(left, xLeft, c, driveLeft);
  driveStage(right, xRight, c, driveRight);
  boosterStage(left, driveLeft, c, dcLeft);
  boosterStage(right, driveRight, c, dcRight);
  const float gridLeft[2] = {gridStage(dcLeft[0], c), gridStage(dcLeft[1], c)};
  const float gridRight[2] = {gridStage(dcRight[0], c), gridStage(dcRight[1], c)};
  outLeft = outputStage(left, gridLeft, c);
  outRight = outputStage(right, gridRight, c);
}
