#include "sound_files.h"

#include <cmath>
#include <random>
#include <stdexcept>

namespace render_test {

std::vector<float> Sound::channel(int index) const {
  std::vector<float> one;
  for (size_t frame = 0; frame < frames(); ++frame) {
    one.push_back(samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(index)]);
  }
  return one;
}

Sound testSignal(int channels, int sampleRate, size_t frames, unsigned seed) {
  Sound sound;
  sound.channels = channels;
  sound.sampleRate = sampleRate;
  sound.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  sound.samples.resize(frames * static_cast<size_t>(channels));
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  const double notes[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
  for (int c = 0; c < channels; ++c) {
    double fundamental = notes[(seed + static_cast<unsigned>(c) * 2) % 6];
    for (size_t frame = 0; frame < frames; ++frame) {
      double t = static_cast<double>(frame) / sampleRate;
      double value = 0.0;
      for (int partial = 1; partial <= 12; ++partial) {
        value +=
            std::sin(2.0 * M_PI * fundamental * partial * t) * std::exp(-t * partial) / partial;
      }
      sound.samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
          static_cast<float>(0.35 * value) + 0.02f * noise(random);
    }
  }
  return sound;
}

void writeSound(const std::string& path, const Sound& sound) {
  SF_INFO info = {};
  info.channels = sound.channels;
  info.samplerate = sound.sampleRate;
  info.format = sound.format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
    throw std::runtime_error("cannot write test sound " + path + ": " + sf_strerror(nullptr));
  sf_writef_float(file, sound.samples.data(), static_cast<sf_count_t>(sound.frames()));
  sf_close(file);
}

Sound readSound(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
  Sound sound;
  sound.channels = info.channels;
  sound.sampleRate = info.samplerate;
  sound.format = info.format;
  sound.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  sf_count_t got = sf_readf_float(file, sound.samples.data(), info.frames);
  sound.samples.resize(static_cast<size_t>(got) * static_cast<size_t>(info.channels));
  sf_close(file);
  return sound;
}

sparkwell_test::StereoBuffer renderDirectly(const Sound& input, int blockFrames,
                                            const std::vector<DirectSetting>& settings,
                                            size_t tailFrames, int program) {
  sparkwell_test::PluginLibrary library(SPARKWELL_PLUGIN_PATH);
  sparkwell_test::TestHost host;
  sparkwell_test::PluginInstance instance(host, library.vstPluginMain());
  if (!instance) throw std::runtime_error("the plug-in made no instance");
  instance.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(input.sampleRate));
  instance.dispatch(effSetBlockSize, 0, blockFrames);
  if (program >= 0) instance.dispatch(effSetProgram, 0, program);
  for (const DirectSetting& setting : settings)
    instance.setParameter(setting.index, setting.value);
  instance.dispatch(effMainsChanged, 0, 1);

  sparkwell_test::StereoBuffer in;
  in.left = input.channel(0);
  in.right = input.channel(input.channels == 2 ? 1 : 0);
  sparkwell_test::StereoBuffer out = instance.processInBlocks(in, static_cast<size_t>(blockFrames));
  if (tailFrames > 0) {
    sparkwell_test::StereoBuffer silence;
    silence.left.assign(tailFrames, 0.0f);
    silence.right.assign(tailFrames, 0.0f);
    sparkwell_test::StereoBuffer tail =
        instance.processInBlocks(silence, static_cast<size_t>(blockFrames));
    out.left.insert(out.left.end(), tail.left.begin(), tail.left.end());
    out.right.insert(out.right.end(), tail.right.begin(), tail.right.end());
  }
  return out;
}

} // namespace render_test
