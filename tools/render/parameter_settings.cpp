#include "parameter_settings.h"

#include "display_words.h"
#include "numbers.h"
#include "tool_error.h"

int findParameter(const PluginHost& plugin, const std::string& name) {
  if (std::optional<long> index = parseWholeNumber(name)) {
    if (*index >= 0 && *index < plugin.numParameters() &&
        !plugin.parameterName(static_cast<int>(*index)).empty()) {
      return static_cast<int>(*index);
    }
    throw usageError("unknown parameter '" + name + "': the plug-in has no parameter at index " +
                     name);
  }
  std::string key = parameterNameKey(name);
  for (int index = 0; index < plugin.numParameters() && !key.empty(); ++index) {
    if (parameterNameKey(plugin.parameterName(index)) == key) return index;
  }
  throw usageError("unknown parameter '" + name + "' (run 'sparkwell-render info' for the list)");
}

ParameterSetting parseSetting(const PluginHost& plugin, const std::string& assignment) {
  size_t equals = assignment.find('=');
  if (equals == std::string::npos) {
    throw usageError("--set needs NAME=VALUE, got '" + assignment + "'");
  }
  std::string name = assignment.substr(0, equals);
  std::string valueText = assignment.substr(equals + 1);
  int index = findParameter(plugin, name);
  std::string parameterName = plugin.parameterName(index);
  if (std::optional<float> number = parseFloat(valueText)) return {index, *number};
  if (std::optional<float> worded = valueForDisplayWord(parameterName, valueText)) {
    return {index, *worded};
  }
  std::string message = "value '" + valueText + "' for " + parameterName + " is not a number";
  const std::vector<DisplayWord>& words = displayWordsFor(parameterName);
  for (size_t i = 0; i < words.size(); ++i) {
    message += (i == 0 ? " or one of " : ", ");
    message += std::string("\"") + words[i].word + "\"";
  }
  throw usageError(message);
}

int parseProgram(const PluginHost& plugin, const std::string& text) {
  std::optional<long> program = parseWholeNumber(text);
  if (!program || *program < 0 || *program >= plugin.numPrograms()) {
    if (plugin.numPrograms() < 1) {
      throw usageError("unknown program '" + text + "': the plug-in has no programs");
    }
    throw usageError("unknown program '" + text + "': the plug-in has programs 0 to " +
                     std::to_string(plugin.numPrograms() - 1));
  }
  return static_cast<int>(*program);
}

void applyProgramAndSettings(PluginHost& plugin, const std::optional<std::string>& program,
                             const std::vector<std::string>& assignments) {
  std::optional<int> programNumber;
  if (program) programNumber = parseProgram(plugin, *program);
  std::vector<ParameterSetting> settings;
  for (const std::string& assignment : assignments) {
    settings.push_back(parseSetting(plugin, assignment));
  }
  if (programNumber) plugin.setProgram(*programNumber);
  for (const ParameterSetting& setting : settings)
    plugin.setParameter(setting.index, setting.value);
}
