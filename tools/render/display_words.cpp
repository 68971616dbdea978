#include "display_words.h"

#include <cctype>

#include "parameters.h"

namespace {

struct ParameterWords {
  const char* parameter;
  std::vector<DisplayWord> words;
};

// From the parameter table: each switch word takes a value inside its band, the bands' words
// spread evenly from 0 to 1 (Pickup's bands start at 0.2, 0.4, 0.6 and 0.8, its words take 0,
// 0.25, 0.5, 0.75 and 1; the two-way switches take their end points). Grid Current shows its
// word only at 0 and below, and numbers above.
const std::vector<ParameterWords>& table() {
  static const std::vector<ParameterWords> words = [] {
    std::vector<ParameterWords> all;
    for (const ParameterInfo& row : kParameters) {
      if (row.display == DisplayKind::GridCurrent)
        all.push_back({row.name, {{kGridCurrentOffWord, 0.0f}}});
      if (row.display != DisplayKind::Switch) continue;
      const int last = row.switchWords.edgeCount;
      ParameterWords entry{row.name, {}};
      for (int band = 0; band <= last; ++band)
        entry.words.push_back(
            {row.switchWords.words[band], static_cast<float>(band) / static_cast<float>(last)});
      all.push_back(entry);
    }
    return all;
  }();
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
