// `demo DIR`: the synthesised phrase rendered three ways into DIR, with their levels printed.
#include <gtest/gtest.h>

#include <cmath>

#include "render_tool.h"
#include "sound_files.h"

namespace render_test {
namespace {

double peakDbfs(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float sample : samples)
    peak = std::max(peak, std::fabs(sample));
  return 20.0 * static_cast<double>(std::log10(peak));
}

// The strongest period between `shortest` and `longest` samples, by autocorrelation.
double strongestPeriod(const std::vector<float>& samples, size_t from, size_t length,
                       size_t shortest, size_t longest) {
  double best = -1.0;
  size_t bestLag = 0;
  for (size_t lag = shortest; lag <= longest; ++lag) {
    double sum = 0.0;
    for (size_t i = from; i < from + length; ++i)
      sum += static_cast<double>(samples[i] * samples[i + lag]);
    if (sum > best) {
      best = sum;
      bestLag = lag;
    }
  }
  return static_cast<double>(bestLag);
}

TEST(Demo, WritesThreeRendersWithTheirLevels) {
  ScratchFolder folder;
  ToolRun run = runTool({"demo", "out/demo", "--plugin", pluginPath()}, folder.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");

  Sound dry = readSound(folder.file("out/demo/dry.wav"));
  Sound program0 = readSound(folder.file("out/demo/program0.wav"));
  Sound hot = readSound(folder.file("out/demo/hot.wav"));
  for (const Sound* sound : {&dry, &program0, &hot}) {
    EXPECT_EQ(sound->channels, 1);
    EXPECT_EQ(sound->sampleRate, 44100);
    EXPECT_EQ(sound->frames(), 5u * 44100u);
    for (float sample : sound->samples)
      ASSERT_TRUE(std::isfinite(sample));
  }
  // Dry is the plug-in's bypass of a phrase made to peak at -6 dBFS.
  EXPECT_NEAR(peakDbfs(dry.samples), -6.02, 0.01);
  EXPECT_NE(dry.samples, program0.samples);
  EXPECT_NE(program0.samples, hot.samples);

  // One line per file, its printed peak agreeing with the file.
  for (const auto& [name, sound] : {std::pair<std::string, const Sound*>{"dry.wav", &dry},
                                    {"program0.wav", &program0},
                                    {"hot.wav", &hot}}) {
    size_t line = run.out.find("out/demo/" + name);
    ASSERT_NE(line, std::string::npos) << run.out;
    std::string text = run.out.substr(line, run.out.find('\n', line) - line);
    size_t peak = text.find("peak");
    ASSERT_NE(peak, std::string::npos) << text;
    EXPECT_NEAR(std::stod(text.substr(peak + 4)), peakDbfs(sound->samples), 0.006) << text;
    EXPECT_NE(text.find("RMS"), std::string::npos) << text;
    EXPECT_NE(text.find("real-time factor"), std::string::npos) << text;
  }

  // The single note at 2.25 s is an E4 (329.63 Hz): 133.8 samples per period at 44100 Hz.
  double period = strongestPeriod(dry.samples, 110000, 8000, 100, 180);
  EXPECT_NEAR(44100.0 / period, 329.63, 2.5);
}

TEST(Demo, RefusalsLeaveNothingBehind) {
  ScratchFolder folder;
  writeWholeFile(folder.file("taken"), "a file, not a folder");
  ToolRun blocked = runTool({"demo", "taken/demo", "--plugin", pluginPath()}, folder.path());
  EXPECT_EQ(blocked.exitCode, 1);
  ASSERT_EQ(blocked.errorLines().size(), 1u) << blocked.err;
  EXPECT_NE(blocked.err.find("'taken/demo'"), std::string::npos) << blocked.err;
  ToolRun noPlugin = runTool({"demo", "fresh", "--plugin", "absent.so"}, folder.path());
  EXPECT_EQ(noPlugin.exitCode, 1);
  ASSERT_EQ(noPlugin.errorLines().size(), 1u) << noPlugin.err;
  EXPECT_NE(noPlugin.err.find("cannot load plug-in"), std::string::npos) << noPlugin.err;
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"taken"});
}

} // namespace
} // namespace render_test
