#include "pngresources.h"

#include <map>

namespace {

struct Replacement {
  std::vector<unsigned char> bytes;
  uint64_t revision;
};

// Replacements made by tests; empty in a host.
std::map<int32_t, Replacement>& replacements() {
  static std::map<int32_t, Replacement> table;
  return table;
}

uint64_t lastRevision = 0;

} // namespace

PngResource findPngResource(int32_t id) {
  const auto& table = replacements();
  const auto found = table.find(id);
  if (found == table.end()) return findSystemPngResource(id);
  const Replacement& replacement = found->second;
  if (replacement.bytes.empty()) return {nullptr, 0};
  return {replacement.bytes.data(), replacement.bytes.size(), replacement.revision};
}

void replacePngResource(int32_t id, std::vector<unsigned char> bytes) {
  replacements()[id] = Replacement{std::move(bytes), ++lastRevision};
}

void restorePngResources() {
  replacements().clear();
}
