#include "arguments.h"

#include "tool_error.h"

std::optional<std::string> ParsedArguments::option(const std::string& name) const {
  auto found = options.find(name);
  if (found == options.end() || found->second.empty()) return std::nullopt;
  return found->second.back();
}

std::vector<std::string> ParsedArguments::all(const std::string& name) const {
  auto found = options.find(name);
  return found == options.end() ? std::vector<std::string>{} : found->second;
}

ParsedArguments parseArguments(const std::vector<std::string>& words,
                               const std::vector<OptionSpec>& accepted) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
      if (word == "--") {
        optionsEnded = true;
        continue;
      }
      parsed.positionals.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    std::optional<std::string> value;
    size_t equals = name.find('=');
    if (equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionSpec* known = nullptr;
    for (const OptionSpec& candidate : accepted) {
      if (name == candidate.name) known = &candidate;
    }
    if (!known) throw usageError("unknown option '--" + name + "'");
    if (!value) {
      if (i + 1 >= words.size()) throw usageError("option '--" + name + "' needs a value");
      value = words[++i];
    }
    std::vector<std::string>& values = parsed.options[name];
    if (!known->repeatable && !values.empty()) {
      throw usageError("option '--" + name + "' is given more than once");
    }
    values.push_back(*value);
  }
  return parsed;
}
