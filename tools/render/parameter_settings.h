// Turns "--program N" and "--set NAME=VALUE" into calls on a loaded plug-in. Names come from
// the plug-in itself (effGetParamName), as a DAW's parameter list does.
#pragma once

#include "plugin_host.h"

#include <optional>
#include <string>
#include <vector>

struct ParameterSetting {
  int index;
  float value;
};

// The parameter index named by `name`: a name the plug-in reports (compared without regard to
// case, spaces, hyphens and underscores) or a decimal index of a parameter that has a name.
// Throws a usage ToolError for anything else.
int findParameter(const PluginHost& plugin, const std::string& name);

// "NAME=VALUE" resolved against the plug-in: VALUE is a number, stored as given, or one of the
// parameter's display words. Throws a usage ToolError naming what is wrong.
ParameterSetting parseSetting(const PluginHost& plugin, const std::string& assignment);

// A program number from the command line, checked against the plug-in's program count.
int parseProgram(const PluginHost& plugin, const std::string& text);

// Selects the program (if any), then applies each setting in order, so a setting overrides the
// program's value for that parameter. Everything is checked before anything is changed.
void applyProgramAndSettings(PluginHost& plugin, const std::optional<std::string>& program,
                             const std::vector<std::string>& assignments);
