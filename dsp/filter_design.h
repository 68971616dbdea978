// Coefficient design for the chain's filters: the resonant peaking and broad notch biquads of the
// pickup model and the one-pole low-pass pairs. Every step keeps the precision it is defined in
// (single, or double where noted and then rounded back), because the output is reproduced bit for
// bit. The functions are pure and cheap enough for a parameter change, never for the sample loop.
#pragma once

// Peaking-equaliser biquad (Audio EQ Cookbook), divided through by a0: what the chain runs.
struct PeakCoeffs {
  float b0, b1, b2;
  float a1, a2;
};

// Notch biquad (Audio EQ Cookbook): zero gain at its centre, unity far away.
struct NotchCoeffs {
  float b0, b1, b2;
  float a1, a2;
};

// One-pole low-pass y = coefB * x - coefA * yPrevious with pole p: coefB = 1 - p, coefA = -p,
// unity gain at DC.
struct OnePolePair {
  float coefB;
  float coefA;
};

// What a resonance is made from: its centre omega in rad/s at the internal rate (Hz), q = 2Q,
// and the amplitude A, whose square is the gain at the centre.
struct PeakDesign {
  float omega;
  double q;
  float amplitude;
};

// A notch's centre in rad/s and q = 2Q.
struct NotchDesign {
  float omega;
  double q;
};

PeakCoeffs designPeak(const PeakDesign& design, float internalRate);
NotchCoeffs designNotch(const NotchDesign& design, float internalRate);

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
