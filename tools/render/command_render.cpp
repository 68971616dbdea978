// `render IN OUT`: an audio file through the plug-in into a new file.
#include "audio_formats.h"
#include "audio_input.h"
#include "audio_output.h"
#include "commands.h"
#include "numbers.h"
#include "parameter_settings.h"
#include "progress_bar.h"
#include "render_engine.h"
#include "render_setup.h"
#include "tool_error.h"

#include <cmath>
#include <cstdio>

namespace {

// Hosts use blocks from a single frame up to a few thousand; a megaframe is far beyond any.
constexpr long kLargestBlock = 1 << 20;
constexpr double kLongestTail = 3600.0;

int blockFramesFrom(const ParsedArguments& arguments) {
  std::optional<std::string> text = arguments.option("block");
  if (!text) return 512;
  std::optional<long> frames = parseWholeNumber(*text);
  if (!frames || *frames < 1 || *frames > kLargestBlock) {
    throw usageError("--block needs a whole number of frames from 1 to " +
                     std::to_string(kLargestBlock) + ", got '" + *text + "'");
  }
  return static_cast<int>(*frames);
}

double tailSecondsFrom(const ParsedArguments& arguments) {
  std::optional<std::string> text = arguments.option("tail");
  if (!text) return 0.0;
  std::optional<double> seconds = parseDouble(*text);
  if (!seconds || *seconds < 0.0 || *seconds > kLongestTail) {
    throw usageError("--tail needs a number of seconds from 0 to 3600, got '" + *text + "'");
  }
  return *seconds;
}

// A render that would write over its own input would lose the recording: a file is read and
// written block by block, so the result would not even be the effect of the plug-in on it.
void refuseOverwritingInput(const InputFile& input, const std::string& inPath,
                            const std::string& outPath) {
  if (input.isSameFileAs(outPath)) {
    throw failure("'" + outPath + "' is the input file '" + inPath +
                  "': choose another output, the recording would be lost");
  }
}

// NaN or infinity is no sound: integer formats turn it into full-scale square waves and
// other programs fail on it, so such a render is not kept.
void refuseNonFinite(const Levels& levels, int channels, int sampleRate) {
  const uint64_t count = levels.nonFiniteCount();
  if (count == 0) return;
  const uint64_t frame = levels.firstNonFinite() / static_cast<uint64_t>(channels);
  const int channel = static_cast<int>(levels.firstNonFinite() % static_cast<uint64_t>(channels));
  const char* channelName = channels == 1 ? "the mono channel" : channel == 0 ? "left" : "right";
  char text[256];
  std::snprintf(text, sizeof text,
                "the plug-in's output holds %llu samples that are not numbers (NaN or infinite), "
                "the first at frame %llu (%.3f s), %s; nothing was written",
                static_cast<unsigned long long>(count), static_cast<unsigned long long>(frame),
                static_cast<double>(frame) / sampleRate, channelName);
  throw failure(text);
}

} // namespace

int runRender(const ParsedArguments& arguments) {
  if (arguments.positionals.size() != 2) {
    throw usageError("render needs an input and an output file: render IN OUT [options]");
  }
  const std::string& inPath = arguments.positionals[0];
  const std::string& outPath = arguments.positionals[1];
  int blockFrames = blockFramesFrom(arguments);
  double tailSeconds = tailSecondsFrom(arguments);

  // Everything that can be refused is checked before the output file is created.
  InputFile input(inPath);
  refuseOverwritingInput(input, inPath, outPath);
  int outputFormat = outputFormatFor(outPath, input.format());
  RenderOptions options;
  options.blockFrames = blockFrames;
  options.tailFrames = static_cast<int64_t>(std::llround(tailSeconds * input.sampleRate()));
  outputFormat =
      formatForLength(outputFormat, input.channels(), input.frames() + options.tailFrames, outPath);
  std::unique_ptr<PluginHost> plugin = PluginHost::load(pluginPathFrom(arguments));
  applyProgramAndSettings(*plugin, arguments.option("program"), arguments.all("set"));
  noteRateIfNotDesignRate(input.sampleRate());
  prepareForRendering(*plugin, input.sampleRate(), blockFrames);

  OutputFile output(outPath, outputFormat, input.channels(), input.sampleRate());
  RenderResult result;
  {
    ProgressBar progress("rendering " + outPath, input.frames() + options.tailFrames);
    options.progress = [&progress](int64_t done) { progress.update(done); };
    result = renderThrough(*plugin, input, output, options);
  }
  // The output's destructor removes the temporary file; the destination stays as it was.
  refuseNonFinite(result.levels, input.channels(), input.sampleRate());
  output.commit();

  std::printf(
      "wrote %s: %s, %d Hz, %d channel%s, %.3f s; peak %s, RMS %s\n", outPath.c_str(),
      describeFormat(outputFormat).c_str(), input.sampleRate(), input.channels(),
      input.channels() == 1 ? "" : "s", static_cast<double>(result.frames) / input.sampleRate(),
      formatDbfs(result.levels.peakDbfs()).c_str(), formatDbfs(result.levels.rmsDbfs()).c_str());
  return kExitOk;
}
