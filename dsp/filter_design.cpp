#include "filter_design.h"

#include "portable_math.h"

PeakCoeffs designPeak(float omega, double q, float amplitude, float internalRate) {
  PeakCoeffs c;
  c.w0 = omega / internalRate;
  c.alpha = static_cast<float>(static_cast<double>(portable::sinf(c.w0)) / q);
  c.gainA = amplitude;
  const float h = c.alpha / amplitude;
  c.a0 = h + 1.0f;
  c.a1 = (portable::cosf(c.w0) * -2.0f) / c.a0;
  c.a2 = (1.0f - h) / c.a0;
  const float g = c.alpha * amplitude;
  c.b0 = (g + 1.0f) / c.a0;
  c.b1 = (portable::cosf(c.w0) * -2.0f) / c.a0;
  c.b2 = (1.0f - g) / c.a0;
  return c;
}

NotchCoeffs designNotch(float omega, double q, float internalRate) {
  NotchCoeffs c;
  c.w0 = omega / internalRate;
  c.alpha = static_cast<float>(static_cast<double>(portable::sinf(c.w0)) / q);
  c.a0 = c.alpha + 1.0f;
  c.a1 = (portable::cosf(c.w0) * -2.0f) / c.a0;
  c.a2 = (1.0f - c.alpha) / c.a0;
  c.b0 = 1.0f / c.a0;
  c.b1 = (portable::cosf(c.w0) * -2.0f) / c.a0;
  c.b2 = c.b0;
  return c;
}

OnePolePair designSweptPair(float value, double exponentScale, double negativeBaseOmega,
                            float internalRate) {
  const double d = portable::pow(10.0, static_cast<double>(value) * exponentScale);
  const double p = portable::exp(d * negativeBaseOmega / static_cast<double>(internalRate));
  OnePolePair pair;
  pair.coefA = static_cast<float>(-p);
  pair.coefB = pair.coefA + 1.0f;
  return pair;
}

OnePolePair designFixedOnePole(float negativeOmega, float internalRate) {
  const float p = portable::expf(negativeOmega / internalRate);
  OnePolePair pair;
  pair.coefB = 1.0f - p;
  pair.coefA = -p;
  return pair;
}
