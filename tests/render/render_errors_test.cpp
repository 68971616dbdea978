// Refused renders: one line on stderr naming the problem, a non-zero exit, nothing on stdout,
// and no output file or temporary file left behind; an existing output stays as it was.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "render_tool.h"
#include "sound_files.h"

namespace render_test {
namespace {

constexpr const char* kPrecious = "an earlier render that must survive";

struct Refusal {
  const char* what;
  std::vector<std::string> arguments; // after "render"; the built plug-in unless --plugin
  int exitCode;
  const char* message; // a part of the one line on stderr
};

class RenderRefusal : public ::testing::Test {
protected:
  void SetUp() override {
    writeSound(folder.file("in.wav"), testSignal(2, 44100, 3000, 11));
    writeSound(folder.file("mono.wav"), testSignal(1, 44100, 3000, 12));
    Sound threeChannels = testSignal(1, 44100, 300, 13);
    threeChannels.channels = 3; // the same samples read as 100 three-channel frames
    writeSound(folder.file("three.wav"), threeChannels);
    Sound sunAudio = testSignal(1, 44100, 300, 14);
    sunAudio.format = SF_FORMAT_AU | SF_FORMAT_PCM_16;
    writeSound(folder.file("sun.au"), sunAudio);
    writeWholeFile(folder.file("notes.wav"), "these are notes, not audio");
    mkdir(folder.file("folder.wav").c_str(), 0755);
    mkfifo(folder.file("pipe.wav").c_str(), 0644);
    symlink("in.wav", folder.file("link-to-in.wav").c_str());
    writeWholeFile(folder.file("kept.wav"), kPrecious);
    chmod(folder.file("kept.wav").c_str(), 0444);
    Sound hiRes = testSignal(2, 192000, 3000, 17);
    hiRes.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    writeSound(folder.file("hires.wav"), hiRes);
  }

  // Runs the refused command twice: with no output file, and with an output file already
  // there, which must come through untouched.
  void expectRefused(const Refusal& refusal) {
    SCOPED_TRACE(refusal.what);
    std::vector<std::string> before = folder.entries();
    std::vector<std::string> arguments = {"render"};
    const std::vector<std::string>& own = refusal.arguments;
    if (std::find(own.begin(), own.end(), "--plugin") == own.end()) {
      arguments.push_back("--plugin");
      arguments.push_back(pluginPath());
    }
    arguments.insert(arguments.end(), own.begin(), own.end());
    ToolRun run = runTool(arguments, folder.path());
    EXPECT_EQ(run.exitCode, refusal.exitCode) << run.err;
    EXPECT_EQ(run.out, "");
    ASSERT_EQ(run.errorLines().size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("sparkwell-render: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    EXPECT_EQ(folder.entries(), before) << "a file was left behind";

    if (!fileExists(folder.file("out.wav")) && own.size() > 1 && own[1] == "out.wav") {
      writeWholeFile(folder.file("out.wav"), kPrecious);
      ToolRun again = runTool(arguments, folder.path());
      EXPECT_EQ(again.exitCode, refusal.exitCode);
      EXPECT_EQ(readWholeFile(folder.file("out.wav")), kPrecious);
      std::vector<std::string> withOutput = before;
      withOutput.push_back("out.wav");
      std::sort(withOutput.begin(), withOutput.end());
      EXPECT_EQ(folder.entries(), withOutput) << "a file was left behind";
      remove(folder.file("out.wav").c_str());
    }
  }

  ScratchFolder folder;
};

TEST_F(RenderRefusal, InputsThatCannotBeRendered) {
  const std::vector<Refusal> refusals = {
      {"missing input", {"absent.wav", "out.wav"}, 1, "cannot read 'absent.wav'"},
      {"not audio", {"notes.wav", "out.wav"}, 1, "'notes.wav'"},
      {"a folder", {"folder.wav", "out.wav"}, 1, "cannot read 'folder.wav'"},
      {"a pipe nobody writes to", {"pipe.wav", "out.wav"}, 1, "cannot read 'pipe.wav'"},
      {"unsupported type", {"sun.au", "out.wav"}, 1, "unsupported format"},
      {"three channels", {"three.wav", "out.wav"}, 1, "3 channels"},
  };
  for (const Refusal& refusal : refusals)
    expectRefused(refusal);
}

TEST_F(RenderRefusal, SettingsThatNameNothingOrAreNoNumber) {
  const std::vector<Refusal> refusals = {
      {"unknown name", {"in.wav", "out.wav", "--set", "Volume=1"}, 2, "unknown parameter 'Volume'"},
      {"the empty slot", {"in.wav", "out.wav", "--set", "8=1"}, 2, "unknown parameter '8'"},
      {"index past the end", {"in.wav", "out.wav", "--set", "10=1"}, 2, "unknown parameter '10'"},
      {"negative index", {"in.wav", "out.wav", "--set", "-1=1"}, 2, "unknown parameter '-1'"},
      {"no value", {"in.wav", "out.wav", "--set", "Gain="}, 2, "is not a number"},
      {"a word", {"in.wav", "out.wav", "--set", "Gain=loud"}, 2, "value 'loud' for Gain"},
      {"not a number", {"in.wav", "out.wav", "--set", "Gain=nan"}, 2, "is not a number"},
      {"infinite", {"in.wav", "out.wav", "--set", "Gain=1e99"}, 2, "is not a number"},
      {"number with junk", {"in.wav", "out.wav", "--set", "Gain=0.5dB"}, 2, "is not a number"},
      {"another switch's word",
       {"in.wav", "out.wav", "--set", "Pickup=AC128"},
       2,
       "one of \"None\""},
      {"no assignment", {"in.wav", "out.wav", "--set", "Gain"}, 2, "NAME=VALUE"},
      {"program too high", {"in.wav", "out.wav", "--program", "8"}, 2, "unknown program '8'"},
      {"negative program", {"in.wav", "out.wav", "--program", "-1"}, 2, "unknown program '-1'"},
      {"program by word", {"in.wav", "out.wav", "--program", "two"}, 2, "unknown program 'two'"},
  };
  for (const Refusal& refusal : refusals)
    expectRefused(refusal);
}

TEST_F(RenderRefusal, CommandLinesThatCannotBeCarriedOut) {
  const std::vector<Refusal> refusals = {
      {"no output", {"in.wav"}, 2, "render needs an input and an output"},
      {"unknown option", {"in.wav", "out.wav", "--gain", "1"}, 2, "unknown option '--gain'"},
      {"option without value", {"in.wav", "out.wav", "--block"}, 2, "'--block' needs a value"},
      {"zero block", {"in.wav", "out.wav", "--block", "0"}, 2, "--block needs"},
      {"block in words", {"in.wav", "out.wav", "--block", "big"}, 2, "--block needs"},
      {"negative tail", {"in.wav", "out.wav", "--tail", "-1"}, 2, "--tail needs"},
      {"program twice",
       {"in.wav", "out.wav", "--program", "1", "--program", "2"},
       2,
       "more than once"},
      {"unknown output type", {"in.wav", "out.mp3"}, 2, "unsupported output format '.mp3'"},
  };
  for (const Refusal& refusal : refusals)
    expectRefused(refusal);
}

TEST_F(RenderRefusal, OutputsThatCannotBeWritten) {
  const std::vector<Refusal> refusals = {
      {"missing folder", {"in.wav", "no/such/folder/out.wav"}, 1, "cannot write"},
      {"output is a folder", {"in.wav", "folder.wav"}, 1, "cannot write 'folder.wav'"},
      {"output is the input", {"in.wav", "in.wav"}, 1, "is the input file"},
      {"output links to the input", {"in.wav", "link-to-in.wav"}, 1, "is the input file"},
      {"read-only output",
       {"in.wav", "kept.wav"},
       1,
       "cannot write 'kept.wav': the file is read-only"},
      // An hour of 192 kHz stereo float is 5.5 GB, and AIFF's sizes stop at 2 GiB.
      {"longer than AIFF holds", {"hires.wav", "out.aiff", "--tail", "3600"}, 1, "more than AIFF"},
  };
  for (const Refusal& refusal : refusals)
    expectRefused(refusal);
}

TEST_F(RenderRefusal, PlugInsThatFailToLoad) {
  const std::vector<Refusal> refusals = {
      {"missing module",
       {"in.wav", "out.wav", "--plugin", "absent.so"},
       1,
       "cannot load plug-in 'absent.so'"},
      {"not a library",
       {"in.wav", "out.wav", "--plugin", "notes.wav"},
       1,
       "cannot load plug-in 'notes.wav'"},
      {"no entry point",
       {"in.wav", "out.wav", "--plugin", NO_ENTRY_MODULE_PATH},
       1,
       "exports no VSTPluginMain"},
      {"no instance",
       {"in.wav", "out.wav", "--plugin", NULL_INSTANCE_MODULE_PATH},
       1,
       "made no instance"},
  };
  for (const Refusal& refusal : refusals)
    expectRefused(refusal);
}

// A setting the tool passes on as given that drives the plug-in's arithmetic past any float:
// the render fails with where it went wrong, and an earlier output stays.
TEST_F(RenderRefusal, OutputThatIsNoNumbersIsNotKept) {
  expectRefused({"non-finite output",
                 {"in.wav", "out.wav", "--set", "Gain=100"},
                 1,
                 "6000 samples that are not numbers (NaN or infinite), the first at frame 0 "
                 "(0.000 s), left"});
}

// An hour of 192 kHz stereo float is 5.5 GB, more than WAV's 32-bit sizes hold: the tool says
// before writing that the file becomes RF64. The file-size limit stops the run after the first
// megabyte (the tool must clean up after the limit itself: SIGXFSZ is not ignored for it).
TEST_F(RenderRefusal, AnOutputLongerThanWavHoldsIsWrittenAsRf64) {
  writeWholeFile(folder.file("out.wav"), kPrecious);
  std::vector<std::string> before = folder.entries();
  RunLimits limits;
  limits.fileSizeLimit = 1 << 20;
  ToolRun run =
      runTool({"render", "hires.wav", "out.wav", "--tail", "3600", "--plugin", pluginPath()},
              folder.path(), limits);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  std::vector<std::string> lines = run.errorLines();
  ASSERT_EQ(lines.size(), 3u) << run.err; // the format's note, the rate's note, the failure
  EXPECT_NE(lines[0].find("'out.wav' will hold 5.53 GB of audio, more than WAV can hold (4 GiB): "
                          "it is written as RF64"),
            std::string::npos)
      << run.err;
  EXPECT_NE(lines[2].find("cannot write 'out.wav'"), std::string::npos) << run.err;
  EXPECT_EQ(readWholeFile(folder.file("out.wav")), kPrecious);
  EXPECT_EQ(folder.entries(), before);
}

// A disk that fills up halfway through: the render fails after the temporary file was made.
TEST_F(RenderRefusal, AWriteFailureMidwayLeavesTheOldOutputAndNoTemporaryFile) {
  writeSound(folder.file("long.wav"), testSignal(2, 44100, 200000, 15));
  writeWholeFile(folder.file("out.wav"), kPrecious);
  std::vector<std::string> before = folder.entries();
  RunLimits limits;
  limits.fileSizeLimit = 100000; // the input is 1.6 MB; its render cannot fit
  ToolRun run =
      runTool({"render", "long.wav", "out.wav", "--plugin", pluginPath()}, folder.path(), limits);
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_EQ(run.errorLines().size(), 1u) << run.err;
  EXPECT_NE(run.err.find("cannot write 'out.wav'"), std::string::npos) << run.err;
  EXPECT_EQ(readWholeFile(folder.file("out.wav")), kPrecious);
  EXPECT_EQ(folder.entries(), before);
}

// Ctrl-C or a kill in the middle of a render: the temporary file goes, the old output stays.
TEST_F(RenderRefusal, AnInterruptedRenderLeavesTheOldOutputAndNoTemporaryFile) {
  Sound longInput = testSignal(1, 44100, 44100 * 120, 16);
  longInput.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  writeSound(folder.file("long.wav"), longInput);
  writeWholeFile(folder.file("out.wav"), kPrecious);
  std::vector<std::string> before = folder.entries();
  for (int signalNumber : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signalNumber);
    // Blocks of one frame make the render last long enough to be caught in the middle.
    RunningTool tool({"render", "long.wav", "out.wav", "--block", "1", "--plugin", pluginPath()},
                     folder.path());
    bool temporarySeen = false;
    for (int attempt = 0; attempt < 20000 && !temporarySeen; ++attempt) {
      temporarySeen = folder.entries().size() > before.size();
      if (!temporarySeen) usleep(500);
    }
    ASSERT_TRUE(temporarySeen) << "the render never started writing";
    tool.sendSignal(signalNumber);
    bool signalled = false;
    tool.wait(&signalled);
    EXPECT_TRUE(signalled);
    EXPECT_EQ(readWholeFile(folder.file("out.wav")), kPrecious);
    EXPECT_EQ(folder.entries(), before);
  }
}

TEST(RenderCommandLine, UnknownCommandsAndMissingCommandsAreRefused) {
  ScratchFolder folder;
  ToolRun none = runTool({}, folder.path());
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_EQ(none.errorLines().size(), 1u);
  ToolRun unknown = runTool({"mix", "a.wav"}, folder.path());
  EXPECT_EQ(unknown.exitCode, 2);
  ASSERT_EQ(unknown.errorLines().size(), 1u);
  EXPECT_NE(unknown.err.find("unknown command 'mix'"), std::string::npos);
  ToolRun help = runTool({"help"}, folder.path());
  EXPECT_EQ(help.exitCode, 0);
  for (const char* command : {"info", "render", "demo"}) {
    EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
  }
}

} // namespace
} // namespace render_test
