// The replaceable clock: the system's unless a test put its own in place.
#include "platform.h"

namespace platform {

namespace {

Clock replacement{nullptr, nullptr};

} // namespace

uint32_t tickCount() {
  return replacement.tickCount != nullptr ? replacement.tickCount() : systemTickCount();
}

void sleepMilliseconds(uint32_t milliseconds) {
  if (replacement.sleep != nullptr)
    replacement.sleep(milliseconds);
  else
    systemSleep(milliseconds);
}

void replaceClock(const Clock& clock) {
  replacement = clock;
}

void restoreClock() {
  replacement = Clock{nullptr, nullptr};
}

} // namespace platform
