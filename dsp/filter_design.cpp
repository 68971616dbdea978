#include "filter_design.h"

#include "portable_math.h"

PeakCoeffs designPeak(const PeakDesign& design, float internalRate) {
  const float w0 = design.omega / internalRate;
  const float alpha = static_cast<float>(static_cast<double>(portable::sinf(w0)) / design.q);
  const float h = alpha / design.amplitude;
  const float a0 = h + 1.0f;
  PeakCoeffs c;
  c.a1 = (portable::cosf(w0) * -2.0f) / a0;
  c.a2 = (1.0f - h) / a0;
  const float g = alpha * design.amplitude;
  c.b0 = (g + 1.0f) / a0;
  c.b1 = (portable::cosf(w0) * -2.0f) / a0;
  c.b2 = (1.0f - g) / a0;
  return c;
}

NotchCoeffs designNotch(const NotchDesign& design, float internalRate) {
  const float w0 = design.omega / internalRate;
  const float alpha = static_cast<float>(static_cast<double>(portable::sinf(w0)) / design.q);
  const float a0 = alpha + 1.0f;
  NotchCoeffs c;
  c.a1 = (portable::cosf(w0) * -2.0f) / a0;
  c.a2 = (1.0f - alpha) / a0;
  c.b0 = 1.0f / a0;
  c.b1 = (portable::cosf(w0) * -2.0f) / a0;
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
