// Comparison with check values quoted to a number of significant digits.
#pragma once

#include <cmath>
#include <gtest/gtest.h>
#include <iomanip>

// True when `actual` rounds to `expected` at `digits` significant digits (half a unit of the last
// quoted digit either way).
inline ::testing::AssertionResult matchesDigits(double actual, double expected, int digits) {
  if (expected == 0.0) {
    if (actual == 0.0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual << " is not 0";
  }
  const double exponent = std::floor(std::log10(std::fabs(expected)));
  const double halfUnit = 0.5 * std::pow(10.0, exponent - digits + 1);
  if (std::fabs(actual - expected) <= halfUnit * (1.0 + 1e-9)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::setprecision(10) << actual << " differs from "
                                       << expected << " at " << digits << " significant digits";
}
