// The audio that `render` writes: the same samples the plug-in gives when a host drives it
// directly, whatever the block size, the channel count or the way a setting is written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "render_tool.h"
#include "sound_files.h"

namespace render_test {
namespace {

constexpr int kRate = 44100;

// Compares every sample; reports the first difference only, not thousands of lines.
void expectSameSamples(const std::vector<float>& expected, const std::vector<float>& actual,
                       const std::string& what) {
  ASSERT_EQ(expected.size(), actual.size()) << what;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] != actual[i]) {
      FAIL() << what << ": first difference at sample " << i << ": expected " << expected[i]
             << ", got " << actual[i];
    }
  }
}

class RenderOutput : public ::testing::Test {
protected:
  // Renders `input` (written as in.wav) to `outName` with extra arguments; the run must succeed.
  Sound render(const Sound& input, const std::string& outName,
               const std::vector<std::string>& extra = {}) {
    writeSound(folder.file("in.wav"), input);
    std::vector<std::string> arguments = {"render", "in.wav", outName, "--plugin", pluginPath()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    ToolRun run = runTool(arguments, folder.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return readSound(folder.file(outName));
  }

  ScratchFolder folder;
};

TEST_F(RenderOutput, StereoFileMatchesThePluginDrivenDirectlyWithTheSameBlocks) {
  Sound input = testSignal(2, kRate, 20000, 1);
  Sound output = render(input, "out.wav", {"--set", "Gain=0.45", "--set", "Input=0.7"});
  EXPECT_EQ(output.channels, 2);
  EXPECT_EQ(output.sampleRate, kRate);
  EXPECT_EQ(output.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  sparkwell_test::StereoBuffer direct = renderDirectly(input, 512, {{0, 0.45f}, {2, 0.7f}});
  expectSameSamples(direct.left, output.channel(0), "left");
  expectSameSamples(direct.right, output.channel(1), "right");
}

TEST_F(RenderOutput, SettingsByNameIndexAndDisplayWordGiveTheSameAudioAsNumbers) {
  Sound input = testSignal(2, kRate, 12000, 2);
  std::vector<float> byNumber =
      render(input, "numbers.wav",
             {"--set", "5=1", "--set", "6=1", "--set", "3=0.6", "--set", "7=0", "--set", "4=0.3"})
          .samples;
  Sound byName = render(input, "names.wav",
                        {"--set", "pickup=sc", "--set", "TRANSISTOR=AC128", "--set",
                         "grid current=0.6", "--set", "Stereo=Stereo", "--set", "Treble=0.3"});
  expectSameSamples(byNumber, byName.samples, "names and words against indices and numbers");
  sparkwell_test::StereoBuffer direct =
      renderDirectly(input, 512, {{5, 1.0f}, {6, 1.0f}, {3, 0.6f}, {7, 0.0f}, {4, 0.3f}});
  expectSameSamples(direct.left, byName.channel(0), "left against the direct render");
  expectSameSamples(direct.right, byName.channel(1), "right against the direct render");
}

TEST_F(RenderOutput, ProgramIsSelectedFirstAndTheLastSettingOfAParameterWins) {
  Sound input = testSignal(1, kRate, 6000, 3);
  Sound withProgram =
      render(input, "a.wav", {"--program", "2", "--set", "Gain=0.9", "--set", "Gain=0.2"});
  sparkwell_test::StereoBuffer direct = renderDirectly(input, 512, {{0, 0.2f}}, 0, 2);
  expectSameSamples(direct.left, withProgram.samples, "program 2, then Gain 0.2");
  Sound twice = render(input, "b.wav", {"--set", "Gain=0.9", "--set", "Gain=0.2"});
  Sound once = render(input, "c.wav", {"--set", "0=0.2"});
  expectSameSamples(once.samples, twice.samples, "the last --set wins");
}

TEST_F(RenderOutput, BlockSizesOneSevenAnd4096GiveIdenticalOutput) {
  Sound input = testSignal(2, kRate, 9000, 4);
  std::vector<float> reference = render(input, "b4096.wav", {"--block", "4096"}).samples;
  for (const char* block : {"1", "7"}) {
    Sound output = render(input, std::string("b") + block + ".wav", {"--block", block});
    expectSameSamples(reference, output.samples, std::string("block ") + block);
  }
  sparkwell_test::StereoBuffer direct = renderDirectly(input, 7, {});
  Sound sevens = readSound(folder.file("b7.wav"));
  expectSameSamples(direct.left, sevens.channel(0), "block 7 against the direct render");
}

TEST_F(RenderOutput, MonoFileFeedsBothInputsAndStaysMono) {
  Sound mono = testSignal(1, kRate, 10000, 5);
  Sound output = render(mono, "mono.wav", {"--set", "Stereo=Stereo"});
  EXPECT_EQ(output.channels, 1);
  sparkwell_test::StereoBuffer direct = renderDirectly(mono, 512, {{7, 0.0f}});
  expectSameSamples(direct.left, output.samples, "mono output against the left output");
  expectSameSamples(direct.right, output.samples, "the right output is the same");
}

TEST_F(RenderOutput, TailAddsRingingSilenceAfterTheInput) {
  Sound input = testSignal(2, kRate, 5000, 6);
  Sound output = render(input, "tail.wav", {"--tail", "0.25"});
  const size_t tailFrames = kRate / 4;
  ASSERT_EQ(output.frames(), input.frames() + tailFrames);
  sparkwell_test::StereoBuffer direct = renderDirectly(input, 512, {}, tailFrames);
  expectSameSamples(direct.left, output.channel(0), "left with tail");
  expectSameSamples(direct.right, output.channel(1), "right with tail");
}

TEST_F(RenderOutput, OutputTypeFollowsTheExtensionOrElseTheInput) {
  Sound input = testSignal(2, kRate, 4000, 7);
  input.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  struct Case {
    const char* name;
    int format;
  };
  for (const Case& c : {Case{"out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                        Case{"out.AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
                        Case{"out.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                        Case{"out", SF_FORMAT_WAV | SF_FORMAT_PCM_16}}) {
    Sound output = render(input, c.name);
    EXPECT_EQ(output.format, c.format) << c.name;
    EXPECT_EQ(output.channels, 2) << c.name;
    EXPECT_EQ(output.sampleRate, kRate) << c.name;
    EXPECT_EQ(output.frames(), input.frames()) << c.name;
  }
  // A float input keeps its encoding in WAV and falls back to 24-bit where the type has no
  // float samples.
  input.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  EXPECT_EQ(render(input, "float.flac").format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
}

TEST_F(RenderOutput, AnExistingOutputIsReplacedByACompleteRender) {
  writeWholeFile(folder.file("out.wav"), "an older render");
  Sound input = testSignal(2, kRate, 3000, 8);
  Sound output = render(input, "out.wav");
  EXPECT_EQ(output.frames(), input.frames());
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

TEST_F(RenderOutput, ALinkedOutputIsWrittenThroughTheLink) {
  writeWholeFile(folder.file("target.wav"), "an older render");
  ASSERT_EQ(symlink("target.wav", folder.file("link.wav").c_str()), 0);
  Sound input = testSignal(2, kRate, 3000, 10);
  render(input, "link.wav");
  struct stat status;
  ASSERT_EQ(lstat(folder.file("link.wav").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(readSound(folder.file("target.wav")).frames(), input.frames());
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"in.wav", "link.wav", "target.wav"}));

  // A link to a file not made yet stays a link too, and the file is made where it points.
  ASSERT_EQ(symlink("new.wav", folder.file("dangling.wav").c_str()), 0);
  render(input, "dangling.wav");
  ASSERT_EQ(lstat(folder.file("dangling.wav").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  EXPECT_EQ(readSound(folder.file("new.wav")).frames(), input.frames());
}

TEST_F(RenderOutput, OtherRatesAreRenderedAtThatRateWithOneNote) {
  Sound input = testSignal(2, 48000, 4000, 9);
  writeSound(folder.file("in.wav"), input);
  ToolRun run = runTool({"render", "in.wav", "out.wav", "--plugin", pluginPath()}, folder.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.errorLines().size(), 1u) << run.err;
  EXPECT_NE(run.err.find("48000 Hz"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("44100 Hz"), std::string::npos) << run.err;
  Sound output = readSound(folder.file("out.wav"));
  EXPECT_EQ(output.sampleRate, 48000);
  sparkwell_test::StereoBuffer direct = renderDirectly(input, 512, {});
  expectSameSamples(direct.left, output.channel(0), "left at 48000 Hz");
}

} // namespace
} // namespace render_test
