// Splits a command's words into positional arguments and "--name VALUE" options. Every option
// of this tool takes a value; "--name=VALUE" is accepted too. Each command says which options
// it knows, so a misspelt option is an error instead of a silently ignored word.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct OptionSpec {
  const char* name; // without the leading dashes
  bool repeatable;  // may be given more than once (--set); otherwise the last one is an error
};

class ParsedArguments {
public:
  std::vector<std::string> positionals;
  std::map<std::string, std::vector<std::string>> options;

  // The value of a single-use option, if it was given.
  std::optional<std::string> option(const std::string& name) const;
  // Every value of a repeatable option, in command-line order.
  std::vector<std::string> all(const std::string& name) const;
};

// Throws a usage ToolError for an unknown option, a missing value or a repeated single option.
ParsedArguments parseArguments(const std::vector<std::string>& words,
                               const std::vector<OptionSpec>& accepted);
