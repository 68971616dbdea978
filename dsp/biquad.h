// One Direct Form I biquad update, the only one the chain has: the block-wise kernels run it on
// one channel's floats ("Mono") or on vectors holding both channels side by side ("Stereo"), and
// the filter tests run it on floats. A vector lane computes exactly what a float computes.
#pragma once

// The memories of one biquad: the two previous inputs and outputs (1 is the newer), of one
// channel (float) or of several channels in the lanes of a vector.
template <class Value> struct BiquadMemory {
  Value x1{};
  Value x2{};
  Value y1{};
  Value y2{};
};

using BiquadState = BiquadMemory<float>;

// b0 u + b1 x1 + b2 x2 - a1 y1 - a2 y2, summed left to right in single precision. The order is
// part of the sound: the feedback from y1 passes a product and two subtractions, which is the
// longest chain of waiting in the whole effect.
template <class Value, class Coeffs>
inline Value biquadStep(BiquadMemory<Value>& s, const Coeffs& c, Value u) {
  const Value y = c.b0 * u + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2;
  s.x2 = s.x1;
  s.x1 = u;
  s.y2 = s.y1;
  s.y1 = y;
  return y;
}
