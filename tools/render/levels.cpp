#include "levels.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

double toDbfs(double amplitude) {
  if (amplitude <= 0.0) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(amplitude);
}

} // namespace

void Levels::add(const float* samples, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    double sample = samples[i];
    if (!std::isfinite(sample)) {
      if (nonFinite_++ == 0) firstNonFinite_ = count_ + i;
      continue;
    }
    peak_ = std::fmax(peak_, std::fabs(sample));
    sumOfSquares_ += sample * sample;
  }
  count_ += count;
}

double Levels::peakDbfs() const {
  return toDbfs(peak_);
}

double Levels::rmsDbfs() const {
  return toDbfs(count_ == 0 ? 0.0 : std::sqrt(sumOfSquares_ / static_cast<double>(count_)));
}

std::string formatDbfs(double dbfs) {
  if (std::isinf(dbfs)) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBFS", dbfs);
  return text;
}
