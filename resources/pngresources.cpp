#include "pngresources.h"

#include <map>

namespace {

// Replacements made by tests; empty in a host.
std::map<int32_t, std::vector<unsigned char>>& replacements() {
  static std::map<int32_t, std::vector<unsigned char>> table;
  return table;
}

} // namespace

PngResource findPngResource(int32_t id) {
  const auto& table = replacements();
  const auto found = table.find(id);
  if (found == table.end()) return findSystemPngResource(id);
  if (found->second.empty()) return {nullptr, 0};
  return {found->second.data(), found->second.size()};
}

void replacePngResource(int32_t id, std::vector<unsigned char> bytes) {
  replacements()[id] = std::move(bytes);
}

void restorePngResources() {
  replacements().clear();
}
