#include "display_words.h"

#include <cctype>

namespace {

struct ParameterWords {
  const char* parameter;
  std::vector<DisplayWord> words;
};

// Pickup bands start at 0.2, 0.4, 0.6 and 0.8; each word takes a value in the middle of its
// band. The two-way switches take their end points. Grid Current shows "Off" only at 0 and
// below, and shows numbers above.
const std::vector<ParameterWords>& table() {
  static const std::vector<ParameterWords> words = {
      {"Pickup", {{"None", 0.0f}, {"Hot HB", 0.25f}, {"HB", 0.5f}, {"P90", 0.75f}, {"SC", 1.0f}}},
      {"Transistor", {{"2SB175", 0.0f}, {"AC128", 1.0f}}},
      {"Stereo", {{"Stereo", 0.0f}, {"Mono", 1.0f}}},
      {"Grid Current", {{"Off", 0.0f}}},
      {"Effect", {{"Off", 0.0f}, {"On", 1.0f}}},
  };
  return words;
}

} // namespace

std::string parameterNameKey(const std::string& name) {
  std::string key;
  for (char c : name) {
    if (c == ' ' || c == '-' || c == '_') continue;
    key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

const std::vector<DisplayWord>& displayWordsFor(const std::string& parameterName) {
  static const std::vector<DisplayWord> none;
  std::string key = parameterNameKey(parameterName);
  for (const ParameterWords& entry : table()) {
    if (parameterNameKey(entry.parameter) == key) return entry.words;
  }
  return none;
}

std::optional<float> valueForDisplayWord(const std::string& parameterName,
                                         const std::string& word) {
  std::string key = parameterNameKey(word);
  for (const DisplayWord& candidate : displayWordsFor(parameterName)) {
    if (parameterNameKey(candidate.word) == key) return candidate.value;
  }
  return std::nullopt;
}
