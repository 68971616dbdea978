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
  int outputFormat = outputFormatFor(outPath, input.format());
  std::unique_ptr<PluginHost> plugin = PluginHost::load(pluginPathFrom(arguments));
  applyProgramAndSettings(*plugin, arguments.option("program"), arguments.all("set"));
  noteRateIfNotDesignRate(input.sampleRate());
  prepareForRendering(*plugin, input.sampleRate(), blockFrames);

  OutputFile output(outPath, outputFormat, input.channels(), input.sampleRate());
  RenderOptions options;
  options.blockFrames = blockFrames;
  options.tailFrames = static_cast<int64_t>(std::llround(tailSeconds * input.sampleRate()));
  RenderResult result;
  {
    ProgressBar progress("rendering " + outPath, input.frames() + options.tailFrames);
    options.progress = [&progress](int64_t done) { progress.update(done); };
    result = renderThrough(*plugin, input, output, options);
  }
  output.commit();

  std::printf(
      "wrote %s: %s, %d Hz, %d channel%s, %.3f s; peak %s, RMS %s\n", outPath.c_str(),
      describeFormat(outputFormat).c_str(), input.sampleRate(), input.channels(),
      input.channels() == 1 ? "" : "s", static_cast<double>(result.frames) / input.sampleRate(),
      formatDbfs(result.levels.peakDbfs()).c_str(), formatDbfs(result.levels.rmsDbfs()).c_str());
  return kExitOk;
}
