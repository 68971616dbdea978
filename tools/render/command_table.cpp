#include "commands.h"

#include "tool_error.h"

#include <climits>
#include <unistd.h>

const std::vector<Command>& commandTable() {
  static const std::vector<Command> commands = {
      {"info",
       "[--program N] [--set NAME=VALUE ...]",
       "show what a host sees: identity, flags, every parameter and program",
       {{"plugin", false}, {"program", false}, {"set", true}},
       runInfo},
      {"render",
       "IN OUT [--program N] [--set NAME=VALUE ...] [--block FRAMES] [--tail SECONDS]",
       "render an audio file (WAV, FLAC, AIFF, Ogg) through the plug-in",
       {{"plugin", false}, {"program", false}, {"set", true}, {"block", false}, {"tail", false}},
       runRender},
      {"demo",
       "[DIR]",
       "render a synthesised guitar phrase dry, through program 0 and hotter into DIR "
       "(default demo-out)",
       {{"plugin", false}},
       runDemo},
      {"snapshot",
       "FRONT.png BACK.png [--program N] [--set NAME=VALUE ...] [--scale S]",
       "draw the editor's front and back faces off-screen with the values set, at the scale\n"
       "      factor S (1 to 3; 2 draws them at 900 x 612)",
       {{"plugin", false}, {"program", false}, {"set", true}, {"scale", false}},
       runSnapshot},
  };
  return commands;
}

std::string usageText() {
  std::string text = "usage: sparkwell-render COMMAND [ARGUMENTS] [--plugin PATH]\n\ncommands:\n";
  for (const Command& command : commandTable()) {
    text += std::string("  ") + command.name + " " + command.synopsis + "\n      " +
            command.description + "\n";
  }
  text += "\n--plugin PATH loads another module than the sparkwell.so beside this program.\n"
          "--set takes a parameter by name (any case) or index, and a number or, for the\n"
          "switches, a word the plug-in shows: Pickup=None|\"Hot HB\"|HB|P90|SC,\n"
          "Transistor=2SB175|AC128, Stereo=Stereo|Mono, Effect=Off|On, \"Grid Current\"=Off.\n";
  return text;
}

std::string pluginPathFrom(const ParsedArguments& arguments) {
  if (std::optional<std::string> path = arguments.option("plugin")) return *path;
  char self[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", self, PATH_MAX);
  if (length <= 0) throw failure("cannot find the folder of this program; use --plugin PATH");
  std::string program(self, static_cast<size_t>(length));
  return program.substr(0, program.find_last_of('/') + 1) + "sparkwell.so";
}
