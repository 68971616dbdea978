// The clock and the sleep the editor binding uses: the system's. They are the only definitions
// in this file, so that a test program can put a clock of its own in their place at link time
// (tests/support/test_seams.h); the plug-in has these and nothing else.
#include "platform.h"

namespace platform {

uint32_t tickCount() {
  return systemTickCount();
}

void sleepMilliseconds(uint32_t milliseconds) {
  systemSleep(milliseconds);
}

} // namespace platform
