// Outcome of one validator check. A check records every fault it sees (the first few are
// printed) and may declare itself skipped when the plug-in lacks what the check needs.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct CheckContext {
  // `runSeed` is the seed given on the command line (printed with every fault, so that
  // `--seed N --only CHECK` repeats the run); `checkSeed` seeds this check's randomness.
  CheckContext(const char* checkName, uint64_t runSeed, uint64_t checkSeed)
      : name(checkName), seed(runSeed), rng(checkSeed) {}

  // Records a fault: `call` names the host call that exposed it, `what` says what was seen
  // against what was expected (printf-style).
  void fail(const std::string& call, const char* what, ...)
      __attribute__((format(gnu_printf, 3, 4)));
  // Marks the check as not run; `why` is printed instead of a result.
  void skip(const std::string& why) { skipReason = why; }
  // Adds a short remark to the check's line (what was measured, what was covered).
  void note(const char* what, ...) __attribute__((format(gnu_printf, 2, 3)));

  bool failed() const { return !faults.empty(); }
  bool skipped() const { return !skipReason.empty(); }

  const char* name;
  uint64_t seed;
  std::mt19937_64 rng;
  std::vector<std::string> faults;
  std::string skipReason;
  std::string notes;
};

// printf into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string vformat(const char* fmt, va_list args);
