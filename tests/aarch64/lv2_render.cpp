// Renders a mono float WAV through an LV2 DSP binary loaded by its lv2_descriptor entry, as an
// LV2 host on a board does: the input on both audio inputs, the left output into a mono float
// WAV, blocks of 512 frames at the file's rate. Each control port is given its value on the
// command line; an LV2 host connects every port, so the caller names them all.
//
//   sparkwell-lv2-render <DSP binary> <bundle folder> <in.wav> <out.wav> [PORT=VALUE...]
//
// The same program built for each processor renders the same input through that processor's
// binary, so the two outputs can be compared sample for sample.
#include <lv2/core/lv2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sndfile.h>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr uint32_t kAudioPorts = 4; // in L, in R, out L, out R
constexpr uint32_t kMostPorts = 64;

struct Sound {
  int rate = 0;
  std::vector<float> samples;
};

bool readMono(const char* path, Sound& sound) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (!file) return false;
  sound.rate = info.samplerate;
  sound.samples.resize(static_cast<size_t>(info.frames));
  const bool mono = info.channels == 1;
  const bool read = mono && sf_readf_float(file, sound.samples.data(), info.frames) == info.frames;
  sf_close(file);
  return read;
}

bool writeMono(const char* path, const Sound& sound) {
  SF_INFO info{};
  info.samplerate = sound.rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path, SFM_WRITE, &info);
  if (!file) return false;
  const sf_count_t frames = static_cast<sf_count_t>(sound.samples.size());
  const bool written = sf_writef_float(file, sound.samples.data(), frames) == frames;
  return sf_close(file) == 0 && written;
}

int fail(const std::string& message) {
  std::fprintf(stderr, "sparkwell-lv2-render: %s\n", message.c_str());
  return 1;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 5)
    return fail("usage: sparkwell-lv2-render <DSP binary> <bundle> <in.wav> <out.wav> "
                "[PORT=VALUE...]");
  float controls[kMostPorts] = {};
  bool given[kMostPorts] = {};
  for (int i = 5; i < argc; ++i) {
    char* end = nullptr;
    const unsigned long port = std::strtoul(argv[i], &end, 10);
    if (*end != '=' || port < kAudioPorts || port >= kMostPorts)
      return fail(std::string("not a control port setting: ") + argv[i]);
    controls[port] = std::strtof(end + 1, nullptr);
    given[port] = true;
  }
  Sound input;
  if (!readMono(argv[3], input)) return fail(std::string("cannot read a mono file ") + argv[3]);

  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!library) return fail(dlerror());
  using Entry = const LV2_Descriptor* (*)(uint32_t);
  const auto entry = reinterpret_cast<Entry>(dlsym(library, "lv2_descriptor"));
  const LV2_Descriptor* descriptor = entry ? entry(0) : nullptr;
  if (!descriptor) return fail("no lv2_descriptor(0)");
  const LV2_Feature* const features[] = {nullptr};
  LV2_Handle instance = descriptor->instantiate(descriptor, input.rate, argv[2], features);
  if (!instance) return fail("instantiate gave no instance");

  std::vector<float> in(kBlock), outLeft(kBlock), outRight(kBlock), inRight(kBlock);
  float* audio[kAudioPorts] = {in.data(), inRight.data(), outLeft.data(), outRight.data()};
  for (uint32_t port = 0; port < kAudioPorts; ++port)
    descriptor->connect_port(instance, port, audio[port]);
  for (uint32_t port = kAudioPorts; port < kMostPorts; ++port)
    if (given[port]) descriptor->connect_port(instance, port, &controls[port]);
  if (descriptor->activate) descriptor->activate(instance);

  Sound output{input.rate, std::vector<float>(input.samples.size())};
  for (size_t done = 0; done < input.samples.size(); done += kBlock) {
    const size_t frames = std::min<size_t>(kBlock, input.samples.size() - done);
    std::copy_n(input.samples.begin() + static_cast<std::ptrdiff_t>(done), frames, in.begin());
    std::copy_n(in.begin(), frames, inRight.begin());
    descriptor->run(instance, static_cast<uint32_t>(frames));
    std::copy_n(outLeft.begin(), frames,
                output.samples.begin() + static_cast<std::ptrdiff_t>(done));
  }
  if (descriptor->deactivate) descriptor->deactivate(instance);
  descriptor->cleanup(instance);
  dlclose(library);
  if (!writeMono(argv[4], output)) return fail(std::string("cannot write ") + argv[4]);
  return 0;
}
