// A number's bits and back: the one way every layer compares floats bit for bit, keeps them in
// integer atomics or builds them from their fields.
#pragma once

#include <cstdint>
#include <cstring>

inline uint32_t bitsOf(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline uint64_t bitsOf(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The width of `bits` picks the type: 32 bits make a float, 64 a double.
inline float fromBits(uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

inline double fromBits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}
