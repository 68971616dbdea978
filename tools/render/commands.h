// The subcommands of sparkwell-render. Each is one entry in the table that main() dispatches
// on: a new subcommand is a new file with its run function plus one line in command_table.cpp.
#pragma once

#include "arguments.h"

#include <string>
#include <vector>

struct Command {
  const char* name;
  const char* synopsis;    // the arguments, for the usage text
  const char* description; // one line
  std::vector<OptionSpec> options;
  int (*run)(const ParsedArguments& arguments);
};

const std::vector<Command>& commandTable();

// The usage text listing every command.
std::string usageText();

int runInfo(const ParsedArguments& arguments);
int runRender(const ParsedArguments& arguments);
int runDemo(const ParsedArguments& arguments);
int runSnapshot(const ParsedArguments& arguments);

// The plug-in module a command loads: --plugin PATH, else sparkwell.so beside this program.
std::string pluginPathFrom(const ParsedArguments& arguments);
