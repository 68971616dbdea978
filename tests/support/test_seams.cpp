#include "test_seams.h"

#include <map>

#include "platform.h"
#include "pngresources.h"

namespace {

std::map<int32_t, std::vector<unsigned char>>& replacedPictures() {
  static std::map<int32_t, std::vector<unsigned char>> table;
  return table;
}

platform::Clock replacedClock{nullptr, nullptr};

} // namespace

PngResource findPngResource(int32_t id) {
  const auto& table = replacedPictures();
  const auto found = table.find(id);
  if (found == table.end()) return findSystemPngResource(id);
  if (found->second.empty()) return {nullptr, 0};
  return {found->second.data(), found->second.size()};
}

void replacePngResource(int32_t id, std::vector<unsigned char> bytes) {
  replacedPictures()[id] = std::move(bytes);
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
