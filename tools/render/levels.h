// Peak and RMS level of rendered audio, in dBFS (0 dBFS = full scale, a sample of 1.0).
#pragma once

#include <cstddef>
#include <string>

class Levels {
public:
  // Adds interleaved samples; every channel counts alike.
  void add(const float* samples, size_t count);
  double peakDbfs() const;
  double rmsDbfs() const;
  // True when a NaN or an infinity went by.
  bool sawNonFinite() const { return nonFinite_; }

private:
  double peak_ = 0.0;
  double sumOfSquares_ = 0.0;
  size_t count_ = 0;
  bool nonFinite_ = false;
};

// "-6.02 dBFS", or "-inf dBFS" for silence.
std::string formatDbfs(double dbfs);
