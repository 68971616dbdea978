// Streams audio from a source through one plug-in instance into a sink, block by block, as a
// host's audio thread would. A mono source feeds both plug-in inputs and takes the left output.
#pragma once

#include "levels.h"
#include "plugin_host.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Interleaved audio of one or two channels.
class AudioSource {
public:
  virtual ~AudioSource() = default;
  virtual int channels() const = 0;
  // Reads up to `frames` frames; fewer only at the end. Throws a ToolError on a read error.
  virtual size_t read(float* interleaved, size_t frames) = 0;
};

class AudioSink {
public:
  virtual ~AudioSink() = default;
  // Writes all `frames` frames or throws a ToolError.
  virtual void write(const float* interleaved, size_t frames) = 0;
};

struct RenderOptions {
  int blockFrames = 512;
  int64_t tailFrames = 0; // silence rendered after the source ends, so filters ring out
  // Called every few thousand frames with the frames done so far; may be empty.
  std::function<void(int64_t framesDone)> progress;
};

struct RenderResult {
  int64_t frames = 0;
  double processingSeconds = 0.0; // wall time spent rendering, reading and writing included
  Levels levels;
};

// The plug-in must already have its rate, block size and settings and be switched on.
RenderResult renderThrough(PluginHost& plugin, AudioSource& source, AudioSink& sink,
                           const RenderOptions& options);
