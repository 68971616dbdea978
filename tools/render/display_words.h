// The display words of Sparkwell's switch-like parameters, each with a value that the plug-in
// shows with that word. The values sit inside the word's band, clear of the edges, so that
// the processing agrees with the display: a Transistor of exactly 0.5 would show "AC128" but
// still run the 2SB175 model, so "AC128" stands for 1.0.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct DisplayWord {
  const char* word;
  float value;
};

// The words of the parameter with this name (compared as parameterNameKey does); empty when
// the parameter has no words and takes numbers only.
const std::vector<DisplayWord>& displayWordsFor(const std::string& parameterName);

// The value for a word of that parameter, the word compared without regard to case.
std::optional<float> valueForDisplayWord(const std::string& parameterName, const std::string& word);

// The form in which parameter names and words are compared: lower case, with spaces, hyphens
// and underscores dropped, so "Grid Current", "grid-current" and "gridcurrent" are one name.
std::string parameterNameKey(const std::string& name);
