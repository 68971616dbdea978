#include "render_engine.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// Frames read from the source and written to the sink at a time (rounded to whole blocks).
constexpr size_t kChunkFrames = 8192;

// Planar buffers for the plug-in, sized once for the largest block before the loop starts.
struct PlanarBuffers {
  PlanarBuffers(int channels, int frames)
      : storage(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames))) {
    for (std::vector<float>& channel : storage)
      pointers.push_back(channel.data());
  }
  std::vector<std::vector<float>> storage;
  std::vector<float*> pointers;
};

// Spreads interleaved frames over the plug-in's inputs: a mono source feeds both, a stereo one
// left and right. Inputs beyond two (a plug-in asking for more) stay silent.
void fillInputs(const float* interleaved, int sourceChannels, size_t frames,
                PlanarBuffers& inputs) {
  for (size_t frame = 0; frame < frames; ++frame) {
    float left = interleaved[frame * static_cast<size_t>(sourceChannels)];
    float right = sourceChannels == 2 ? interleaved[frame * 2 + 1] : left;
    inputs.storage[0][frame] = left;
    inputs.storage[1][frame] = right;
  }
}

// Collects the outputs into interleaved frames of the source's channel count. A mono source
// takes the left output: with both inputs equal, the two outputs are equal as well.
void collectOutputs(const PlanarBuffers& outputs, int sinkChannels, size_t frames,
                    float* interleaved) {
  for (size_t frame = 0; frame < frames; ++frame) {
    if (sinkChannels == 2) {
      interleaved[frame * 2] = outputs.storage[0][frame];
      interleaved[frame * 2 + 1] = outputs.storage[1][frame];
    } else {
      interleaved[frame] = outputs.storage[0][frame];
    }
  }
}

} // namespace

RenderResult renderThrough(PluginHost& plugin, AudioSource& source, AudioSink& sink,
                           const RenderOptions& options) {
  const int channels = source.channels();
  const size_t block = static_cast<size_t>(options.blockFrames);
  // Files are read and written in chunks of whole blocks, so that small blocks do not turn
  // into one system call per frame; the plug-in still sees exactly the blocks asked for.
  const size_t chunk = block * std::max<size_t>(1, kChunkFrames / block);
  PlanarBuffers inputs(plugin.inputChannels(), options.blockFrames);
  PlanarBuffers outputs(plugin.outputChannels(), options.blockFrames);
  std::vector<float> sourceFrames(chunk * static_cast<size_t>(channels));
  std::vector<float> sinkFrames(chunk * static_cast<size_t>(channels));

  RenderResult result;
  auto start = std::chrono::steady_clock::now();
  bool sourceEnded = false;
  int64_t tailLeft = options.tailFrames;
  while (true) {
    size_t frames = 0;
    if (!sourceEnded) {
      frames = source.read(sourceFrames.data(), chunk);
      if (frames < chunk) sourceEnded = true;
    }
    if (frames == 0) {
      // The source is done: the tail is silence, cut into blocks from its own start.
      if (tailLeft <= 0) break;
      frames = static_cast<size_t>(std::min<int64_t>(tailLeft, static_cast<int64_t>(chunk)));
      std::fill(sourceFrames.begin(), sourceFrames.end(), 0.0f);
      tailLeft -= static_cast<int64_t>(frames);
    }
    const size_t stride = static_cast<size_t>(channels);
    for (size_t done = 0; done < frames; done += block) {
      size_t length = std::min(block, frames - done);
      fillInputs(sourceFrames.data() + done * stride, channels, length, inputs);
      plugin.process(inputs.pointers.data(), outputs.pointers.data(), static_cast<int>(length));
      collectOutputs(outputs, channels, length, sinkFrames.data() + done * stride);
    }
    sink.write(sinkFrames.data(), frames);
    result.levels.add(sinkFrames.data(), frames * stride);
    result.frames += static_cast<int64_t>(frames);
    if (options.progress) options.progress(result.frames);
  }
  result.processingSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}
