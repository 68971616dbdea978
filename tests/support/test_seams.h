// What test programs put in place of two pieces of the product libraries at link time: the
// picture lookup (resources/pngresources.cpp) and the clock (platform/clock.cpp). A program that
// links the sparkwell_test_seams object library gets these definitions instead of the product's,
// which then never enter it; the plug-in module never contains them.
#pragma once

#include <cstdint>
#include <vector>

// Pictures made by the test, served for `id` in place of the library's until
// restorePngResources(). Empty bytes make the id missing.
void replacePngResource(int32_t id, std::vector<unsigned char> bytes);
void restorePngResources();

namespace platform {

// A clock and a sleep of the test's own; a null function stands for the system's.
struct Clock {
  uint32_t (*tickCount)();
  void (*sleep)(uint32_t milliseconds);
};
void replaceClock(const Clock& clock);
void restoreClock();

} // namespace platform
