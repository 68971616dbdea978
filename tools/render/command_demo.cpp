// `demo [DIR]`: the synthesised guitar phrase rendered three ways, with levels and speed.
#include "audio_output.h"
#include "commands.h"
#include "guitar_synth.h"
#include "parameter_settings.h"
#include "render_engine.h"
#include "render_setup.h"
#include "tool_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sndfile.h>
#include <sys/stat.h>

namespace {

constexpr int kDemoRate = kDesignRate;

// The phrase, read back like a mono file.
class PhraseSource : public AudioSource {
public:
  explicit PhraseSource(const std::vector<float>& samples) : samples_(samples) {}
  int channels() const override { return 1; }
  size_t read(float* interleaved, size_t frames) override {
    size_t count = std::min(frames, samples_.size() - position_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(position_), count, interleaved);
    position_ += count;
    return count;
  }

private:
  const std::vector<float>& samples_;
  size_t position_ = 0;
};

struct DemoRender {
  const char* fileName;
  const char* description;
  std::vector<std::string> settings; // --set assignments on top of program 0
};

// Dry is the plug-in's own bypass (Effect Off), which passes the input through untouched. The
// hot setting swaps in the germanium AC128, lets the amplifier's first valve draw grid current
// and takes the brighter single-coil pickup loading.
const std::vector<DemoRender>& demoRenders() {
  static const std::vector<DemoRender> renders = {
      {"dry.wav", "dry (Effect Off)", {"Effect=Off"}},
      {"program0.wav", "program 0", {}},
      {"hot.wav",
       "hot (AC128, Grid Current 0.6, SC)",
       {"Transistor=AC128", "Grid Current=0.6", "Pickup=SC"}},
  };
  return renders;
}

void makeFolder(const std::string& folder) {
  std::string partial;
  size_t from = 0;
  while (from <= folder.size()) {
    size_t slash = folder.find('/', from);
    if (slash == std::string::npos) slash = folder.size();
    partial = folder.substr(0, slash);
    from = slash + 1;
    if (partial.empty()) continue;
    if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) {
      throw failure("cannot create folder '" + partial + "': " + std::strerror(errno));
    }
  }
  struct stat status;
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    throw failure("cannot write into '" + folder + "': not a folder");
  }
}

} // namespace

int runDemo(const ParsedArguments& arguments) {
  if (arguments.positionals.size() > 1) {
    throw usageError("demo takes at most one folder, got '" + arguments.positionals[1] + "'");
  }
  std::string folder = arguments.positionals.empty() ? "demo-out" : arguments.positionals[0];
  std::string pluginPath = pluginPathFrom(arguments);
  // A fresh instance for each render, as a DAW inserting the effect on a new track. All are
  // made before the folder, so a plug-in that fails to load leaves nothing behind.
  std::vector<std::unique_ptr<PluginHost>> instances;
  for (size_t i = 0; i < demoRenders().size(); ++i) {
    instances.push_back(PluginHost::load(pluginPath));
  }
  makeFolder(folder);

  std::vector<float> phrase = synthesiseGuitarPhrase(kDemoRate);
  double seconds = static_cast<double>(phrase.size()) / kDemoRate;
  std::printf("Rendering a %.1f s synthesised guitar phrase at %d Hz through %s\n", seconds,
              kDemoRate, pluginPath.c_str());
  for (size_t i = 0; i < demoRenders().size(); ++i) {
    const DemoRender& render = demoRenders()[i];
    PluginHost& plugin = *instances[i];
    applyProgramAndSettings(plugin, std::string("0"), render.settings);
    prepareForRendering(plugin, kDemoRate, 512);
    std::string path = folder + "/" + render.fileName;
    // 32-bit float keeps the levels exact, above full scale included.
    OutputFile output(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kDemoRate);
    PhraseSource source(phrase);
    RenderResult result = renderThrough(plugin, source, output, RenderOptions());
    output.commit();
    std::printf("  %-24s %-36s peak %10s  RMS %10s  real-time factor %.4f\n", path.c_str(),
                render.description, formatDbfs(result.levels.peakDbfs()).c_str(),
                formatDbfs(result.levels.rmsDbfs()).c_str(), result.processingSeconds / seconds);
  }
  return kExitOk;
}
