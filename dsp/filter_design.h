// Coefficient design for the chain's filters: the resonant peaking and broad notch biquads of the
// pickup model and the one-pole low-pass pairs. Every step keeps the precision it is defined in
// (single, or double where noted and then rounded back), because the output is reproduced bit for
// bit. The functions are pure and cheap enough for a parameter change, never for the sample loop.
#pragma once

// Peaking-equaliser biquad (Audio EQ Cookbook) divided through by a0. The chain reads only b0,
// b1, b2, a1, a2; a0, w0, alpha and gainA document how the set was made.
struct PeakCoeffs {
  float b0, b1, b2;
  float a0; // undivided
  float a1, a2;
  float w0;    // radians per internal sample
  float alpha; // bandwidth term sin(w0) / q
  float gainA; // amplitude A: the peak gain is A squared
};

// Notch biquad (Audio EQ Cookbook): zero gain at w0, unity far away.
struct NotchCoeffs {
  float b0, b1, b2;
  float a0; // undivided
  float a1, a2;
  float w0;
  float alpha;
};

// One-pole low-pass y = coefB * x - coefA * yPrevious with pole p: coefB = 1 - p, coefA = -p,
// unity gain at DC.
struct OnePolePair {
  float coefB;
  float coefA;
};

// omega in rad/s at the internal rate (Hz); q is 2Q; amplitude is A.
PeakCoeffs designPeak(float omega, double q, float amplitude, float internalRate);
NotchCoeffs designNotch(float omega, double q, float internalRate);

// A pair whose corner a parameter value (nominally 0..1) sweeps: the pole of a one-pole
// low-pass at 10^(value * exponentScale) * -negativeBaseOmega rad/s, in double precision,
// rounded to float only at the end. The HPF and Treble rows of the parameter table hold their
// constants.
OnePolePair designSweptPair(float value, double exponentScale, double negativeBaseOmega,
                            float internalRate);
// A pair at a fixed corner, designed in single precision; negativeOmega is minus the corner in
// rad/s.
OnePolePair designFixedOnePole(float negativeOmega, float internalRate);

// Fixed corners of the construction designs (rad/s, negative as the design takes them).
constexpr float kFixedHpfOmega = -6660.0f;      // about 1060 Hz at a host rate of 44100
constexpr float kDcBlockerOmega = -200.0f;      // about 31.8 Hz
constexpr float kFixedTrebleOmega = -125663.0f; // about 20 kHz
