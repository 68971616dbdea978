// The two static nonlinearities, one sample at a time: the transistor booster curve (two
// transistor models) and the valve grid-current curve. Memoryless, one float in, one float out;
// each segment keeps the precision of its definition. The plug-in computes them in vector lanes
// (dsp/block_chain_kernels.h); these plain forms are what the tests hold the lanes and the
// per-sample model to.
#pragma once

#include "portable_math.h"

// 1.8f to the power x, the exponential knee of both transistor curves.
float kneePower(float x);

// 2SB175 booster: an exponential knee below, linear in the middle, slope 0.4 from 4.5 and 1/40
// from 8.4. Tends to -2.2 for large negative drive. NaN stays NaN.
inline float shape2SB175(float x) {
  const double wide = x;
  if (wide < -0.91567) return static_cast<float>(static_cast<double>(kneePower(x) - 1.0f) * 2.2);
  if (x < 4.5f) return x;
  if (wide < 8.4) return static_cast<float>(wide / 2.5 + 2.7);
  return static_cast<float>(static_cast<double>(x / 40.0f) + 5.85);
}

// AC128 booster: a wider linear range and a small downward step at 6.0904 into the 1/40 slope.
// Tends to -2.5 for large negative drive.
inline float shapeAC128(float x) {
  const double wide = x;
  if (wide < -1.40594) return static_cast<float>(static_cast<double>(kneePower(x) - 1.0f) * 2.5);
  if (wide < 6.0904) return x;
  return static_cast<float>(static_cast<double>(x / 40.0f) + 5.85);
}

// Grid current: logarithmic compression of positive swings above -0.55, identity below. It does
// not pass through zero: gridShape(0) = ln 1.55 - 0.55.
inline float gridShape(float u) {
  const double wide = u;
  if (wide > -0.55) return static_cast<float>(portable::log(wide + 1.55) - 0.55);
  return u;
}
