// `info`: what a host sees of the plug-in, read through the dispatcher the way a DAW's scan
// and parameter list read it.
#include "commands.h"
#include "numbers.h"
#include "parameter_settings.h"
#include "plugin_host.h"
#include "tool_error.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

namespace {

std::string fourCharacterCode(VstInt32 id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
    if (!std::isprint(static_cast<unsigned char>(c))) return "";
    text += c;
  }
  return "'" + text + "' ";
}

std::string flagNames(VstInt32 flags) {
  struct Flag {
    VstInt32 bit;
    const char* name;
  };
  const Flag known[] = {
      {effFlagsHasEditor, "HasEditor"},         {effFlagsCanReplacing, "CanReplacing"},
      {effFlagsProgramChunks, "ProgramChunks"}, {effFlagsIsSynth, "IsSynth"},
      {effFlagsNoSoundInStop, "NoSoundInStop"}, {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
  std::string names;
  VstInt32 rest = flags;
  for (const Flag& flag : known) {
    if (!(flags & flag.bit)) continue;
    names += (names.empty() ? "" : " ") + std::string(flag.name);
    rest &= ~flag.bit;
  }
  if (rest) {
    char unknown[32];
    std::snprintf(unknown, sizeof unknown, "0x%X", static_cast<unsigned>(rest));
    names += (names.empty() ? "" : " ") + std::string(unknown);
  }
  return names.empty() ? "none" : names;
}

const char* categoryName(VstIntPtr category) {
  static const char* const names[] = {"unknown",     "effect",      "synth",   "analysis",
                                      "mastering",   "spatializer", "room fx", "surround fx",
                                      "restoration", "offline",     "shell",   "generator"};
  if (category < 0 || category >= static_cast<VstIntPtr>(sizeof names / sizeof names[0])) {
    return "?";
  }
  return names[category];
}

void printIdentity(const PluginHost& plugin) {
  const AEffect& record = plugin.record();
  std::printf("plug-in          %s\n", plugin.path().c_str());
  std::printf("effect name      %s\n", plugin.effectName().c_str());
  std::printf("product          %s\n", plugin.productString().c_str());
  std::printf("vendor           %s\n", plugin.vendorString().c_str());
  std::printf("vendor version   %ld\n", static_cast<long>(plugin.vendorVersion()));
  std::printf("VST version      %ld\n", static_cast<long>(plugin.vstVersion()));
  std::printf("unique ID        %s(0x%08X)\n", fourCharacterCode(record.uniqueID).c_str(),
              static_cast<unsigned>(record.uniqueID));
  std::printf("category         %ld (%s)\n", static_cast<long>(plugin.category()),
              categoryName(plugin.category()));
  std::printf("inputs           %d\n", record.numInputs);
  std::printf("outputs          %d\n", record.numOutputs);
  std::printf("flags            0x%X (%s)\n", static_cast<unsigned>(record.flags),
              flagNames(record.flags).c_str());
  std::printf("initial delay    %d samples\n", record.initialDelay);
  std::printf("parameters       %d\n", record.numParams);
  std::printf("programs         %d\n", record.numPrograms);
}

// A table row without the blanks that padding leaves after an empty last column.
void printRow(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printRow(const char* format, ...) {
  char line[2048];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  std::string text = line;
  text.erase(text.find_last_not_of(' ') + 1);
  std::puts(text.c_str());
}

void printParameters(const PluginHost& plugin) {
  std::printf("\nparameters\n");
  printRow("  %5s  %-14s %-12s %-10s %s", "index", "name", "value", "display", "label");
  for (int index = 0; index < plugin.numParameters(); ++index) {
    std::string name = plugin.parameterName(index);
    printRow("  %5d  %-14s %-12s %-10s %s", index, name.empty() ? "(no name)" : name.c_str(),
             shortestFloatText(plugin.getParameter(index)).c_str(),
             ("\"" + plugin.parameterDisplay(index) + "\"").c_str(),
             plugin.parameterLabel(index).c_str());
  }
}

// Program names as a host lists them: selected one by one (the name a DAW's program menu
// shows) and through the indexed request (the name a host reads without selecting). The
// current program is selected again at the end, so the parameters are as they were.
void printPrograms(PluginHost& plugin) {
  int current = plugin.currentProgram();
  std::printf("\nprograms (current: %d)\n", current);
  printRow("  %5s  %-24s %s", "index", "name", "indexed name");
  for (int program = 0; program < plugin.numPrograms(); ++program) {
    plugin.setProgram(program);
    std::string indexed;
    bool answered = plugin.programNameIndexed(program, indexed);
    printRow("  %5d  %-24s %s", program, ("\"" + plugin.programName() + "\"").c_str(),
             answered ? ("\"" + indexed + "\"").c_str() : "(no answer)");
  }
  if (plugin.numPrograms() > 0) plugin.setProgram(current);
}

} // namespace

int runInfo(const ParsedArguments& arguments) {
  if (!arguments.positionals.empty()) {
    throw usageError("info takes no file arguments, got '" + arguments.positionals[0] + "'");
  }
  std::unique_ptr<PluginHost> plugin = PluginHost::load(pluginPathFrom(arguments));
  applyProgramAndSettings(*plugin, arguments.option("program"), arguments.all("set"));
  printIdentity(*plugin);
  printParameters(*plugin);
  printPrograms(*plugin);
  return kExitOk;
}
