// Peak and RMS level of rendered audio, in dBFS (0 dBFS = full scale, a sample of 1.0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Levels {
public:
  // Adds interleaved samples; every channel counts alike.
  void add(const float* samples, size_t count);
  double peakDbfs() const;
  double rmsDbfs() const;
  // How many NaN or infinite samples went by, and the position of the first among all samples
  // added (interleaved: frame times channels plus channel).
  uint64_t nonFiniteCount() const { return nonFinite_; }
  uint64_t firstNonFinite() const { return firstNonFinite_; }

private:
  double peak_ = 0.0;
  double sumOfSquares_ = 0.0;
  uint64_t count_ = 0;
  uint64_t nonFinite_ = 0;
  uint64_t firstNonFinite_ = 0;
};

// "-6.02 dBFS", or "-inf dBFS" for silence.
std::string formatDbfs(double dbfs);
