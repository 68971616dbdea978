#include "test_seams.h"

#include <map>

#include "platform.h"
#include "pngresources.h"

namespace {

struct Replacement {
  std::vector<unsigned char> bytes;
  uint64_t revision;
};

std::map<int32_t, Replacement>& replacedPictures() {
  static std::map<int32_t, Replacement> table;
  return table;
}

uint64_t lastRevision = 0;

platform::Clock replacedClock{nullptr, nullptr};

} // namespace

PngResource findPngResource(int32_t id) {
  const auto& table = replacedPictures();
  const auto found = table.find(id);
  if (found == table.end()) return findSystemPngResource(id);
  const Replacement& replacement = found->second;
  if (replacement.bytes.empty()) return {nullptr, 0};
  return {replacement.bytes.data(), replacement.bytes.size(), replacement.revision};
}

void replacePngResource(int32_t id, std::vector<unsigned char> bytes) {
  // A new revision each time, so that a picture decoded from earlier bytes is never reused.
  replacedPictures()[id] = Replacement{std::move(bytes), ++lastRevision};
}

void restorePngResources() {
  replacedPictures().clear();
}

namespace platform {

uint32_t tickCount() {
  return replacedClock.tickCount != nullptr ? replacedClock.tickCount() : systemTickCount();
}

void sleepMilliseconds(uint32_t milliseconds) {
  if (replacedClock.sleep != nullptr)
    replacedClock.sleep(milliseconds);
  else
    systemSleep(milliseconds);
}

void replaceClock(const Clock& clock) {
  replacedClock = clock;
}

void restoreClock() {
  replacedClock = Clock{nullptr, nullptr};
}

} // namespace platform
