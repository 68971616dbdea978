// `info` shows what a host reads through the dispatcher: compared with the test host's own
// reading of a fresh instance, and used to read back what --program and --set did.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "render_tool.h"
#include "sound_files.h"

namespace render_test {
namespace {

struct ParameterRow {
  std::string name;
  std::string value;
  std::string display;
  std::string label;
};

// The rows of the parameter table, by index: "  index  name  value  "display"  label".
std::map<int, ParameterRow> parameterRows(const std::string& out) {
  std::map<int, ParameterRow> rows;
  std::istringstream lines(out.substr(out.find("\nparameters\n")));
  const std::regex row(R"re(^\s+(\d+)  (.+?)\s+(\S+)\s+"([^"]*)"\s*(.*)$)re");
  for (std::string line; std::getline(lines, line) && line.rfind("programs", 0) != 0;) {
    std::smatch match;
    if (std::regex_match(line, match, row)) {
      rows[std::stoi(match[1])] = {match[2], match[3], match[4], match[5]};
    }
  }
  return rows;
}

std::string field(const std::string& out, const std::string& name) {
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(name + " ", 0) == 0) {
      return line.substr(line.find_first_not_of(' ', name.size()));
    }
  }
  return "(missing)";
}

ToolRun info(const std::vector<std::string>& extra = {}) {
  ScratchFolder folder;
  std::vector<std::string> arguments = {"info", "--plugin", pluginPath()};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  ToolRun run = runTool(arguments, folder.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  return run;
}

TEST(Info, ShowsWhatAHostReadsFromAFreshInstance) {
  ToolRun run = info();
  sparkwell_test::PluginLibrary library(pluginPath());
  sparkwell_test::TestHost host;
  sparkwell_test::PluginInstance instance(host, library.vstPluginMain());
  ASSERT_TRUE(instance);
  const AEffect& record = *instance.effect();

  EXPECT_EQ(field(run.out, "effect name"), "Sparkwell x64");
  EXPECT_EQ(field(run.out, "product"), "Sparkwell x64");
  EXPECT_EQ(field(run.out, "vendor"), "Quillane");
  EXPECT_EQ(field(run.out, "unique ID"), "'SKWL' (0x534B574C)");
  EXPECT_EQ(field(run.out, "VST version"), "2400");
  EXPECT_EQ(field(run.out, "inputs"), std::to_string(record.numInputs));
  EXPECT_EQ(field(run.out, "outputs"), std::to_string(record.numOutputs));
  EXPECT_EQ(field(run.out, "parameters"), std::to_string(record.numParams));
  EXPECT_EQ(field(run.out, "programs"), std::to_string(record.numPrograms));
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%X ", static_cast<unsigned>(record.flags));
  EXPECT_EQ(field(run.out, "flags").rfind(flags, 0), 0u) << field(run.out, "flags");

  std::map<int, ParameterRow> rows = parameterRows(run.out);
  ASSERT_EQ(rows.size(), static_cast<size_t>(record.numParams)) << run.out;
  for (int index = 0; index < record.numParams; ++index) {
    SCOPED_TRACE("parameter " + std::to_string(index));
    std::string name = instance.dispatchText(effGetParamName, index).text;
    EXPECT_EQ(rows[index].name, name.empty() ? "(no name)" : name);
    EXPECT_EQ(rows[index].display, instance.dispatchText(effGetParamDisplay, index).text);
    EXPECT_EQ(rows[index].label, instance.dispatchText(effGetParamLabel, index).text);
    EXPECT_EQ(std::stof(rows[index].value), instance.getParameter(index));
  }
  for (int program = 0; program < record.numPrograms; ++program) {
    instance.dispatch(effSetProgram, 0, program);
    std::string name = instance.dispatchText(effGetProgramName).text;
    EXPECT_NE(run.out.find("  " + std::to_string(program) + "  \"" + name + "\""),
              std::string::npos)
        << "program " << program << " named " << name;
  }
}

// Each display word stands for a value the plug-in shows with that very word, and the value
// column shows the number that was stored.
TEST(Info, DisplayWordsReadBackAsTheSameWord) {
  struct Word {
    const char* parameter;
    int index;
    const char* word;
    const char* stored;
  };
  const Word words[] = {
      {"Pickup", 5, "None", "0"},      {"pickup", 5, "Hot HB", "0.25"},
      {"PICKUP", 5, "hb", "0.5"},      {"Pickup", 5, "P90", "0.75"},
      {"Pickup", 5, "SC", "1"},        {"Transistor", 6, "2SB175", "0"},
      {"Transistor", 6, "ac128", "1"}, {"Stereo", 7, "Stereo", "0"},
      {"Stereo", 7, "Mono", "1"},      {"Grid Current", 3, "Off", "0"},
      {"grid-current", 3, "OFF", "0"}, {"Effect", 9, "Off", "0"},
      {"Effect", 9, "On", "1"},
  };
  for (const Word& word : words) {
    SCOPED_TRACE(std::string(word.parameter) + "=" + word.word);
    // Start from the opposite end, so a word that is ignored cannot pass by the default.
    std::string opposite = std::string(word.stored) == "0" ? "1" : "0";
    ToolRun run = info({"--set", std::to_string(word.index) + "=" + opposite, "--set",
                        std::string(word.parameter) + "=" + word.word});
    ParameterRow row = parameterRows(run.out)[word.index];
    std::string expected = word.word;
    std::string shown = row.display;
    for (char& c : expected)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : shown)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(row.value, word.stored);
  }
}

TEST(Info, LoadsTheSparkwellModuleBesideTheProgramByDefault) {
  ScratchFolder folder;
  ToolRun run = runTool({"info"}, folder.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::string tool = SPARKWELL_RENDER_PATH;
  EXPECT_EQ(field(run.out, "plug-in"), tool.substr(0, tool.rfind('/') + 1) + "sparkwell.so");
  EXPECT_EQ(field(run.out, "effect name"), "Sparkwell x64");
}

TEST(Info, NumbersAreStoredAsGivenAndTheProgramIsSelected) {
  ToolRun run = info({"--program", "5", "--set", "Gain=0.123", "--set", "HPF=1.5"});
  std::map<int, ParameterRow> rows = parameterRows(run.out);
  EXPECT_EQ(rows[0].value, "0.123");
  EXPECT_EQ(rows[1].value, "1.5");
  EXPECT_NE(run.out.find("programs (current: 5)"), std::string::npos) << run.out;
}

} // namespace
} // namespace render_test
