// lilv's own command-line host renders a stereo file through the bundle: the file it writes
// holds the same samples the VST module gives for the same settings. It runs headless, as on a
// server: no DISPLAY, and the dynamic loader's record shows that no X library came in with the
// DSP binary.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "port_map.h"
#include "render_tool.h"
#include "sound_files.h"

using namespace sparkwell_lv2;

namespace {

TEST(Lv2Apply, RendersAStereoFileAsTheVstModuleDoes) {
#ifdef SPARKWELL_SANITIZED
  GTEST_SKIP() << "lv2apply cannot load a sanitizer build";
#endif
  render_test::ScratchFolder folder;
  const render_test::Sound input = render_test::testSignal(2, 48000, 30000, 14);
  render_test::writeSound(folder.file("in.wav"), input);

  // Port settings away from every default, and what they stand for in the VST module.
  const struct {
    const char* symbol;
    float value;
    int32_t parameter;
  } settings[] = {
      {"gain", 3.5f, kGain},
      {"hpf", 0.3f, kHpf},
      {"input", 7.0f, kInput},
      {"grid_current", 0.4f, kGridCurrent},
      {"treble", 0.6f, kTreble},
      {"pickup", 4.0f, kPickup},
      {"transistor", 1.0f, kTransistor},
      {"stereo", 0.0f, kStereo},
  };
  render_test::ScratchFolder loaderLog; // LD_DEBUG_OUTPUT adds the process id to the name
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY LD_DEBUG=files LD_DEBUG_OUTPUT='" +
                        loaderLog.file("ld") +
                        "' LV2_PATH='" SPARKWELL_LV2_PATH "' " LV2APPLY_PATH " -i '" +
                        folder.file("in.wav") + "' -o '" + folder.file("out.wav") + "'";
  std::vector<render_test::DirectSetting> direct;
  for (const auto& s : settings) {
    command += std::string(" -c ") + s.symbol + " " + std::to_string(s.value);
    direct.push_back({s.parameter, parameterFromPort(s.parameter, s.value)});
  }
  command += " https://quillane.example/lv2/sparkwell 2>'" + folder.file("err.txt") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n"
                                             << render_test::readWholeFile(folder.file("err.txt"));
  ASSERT_TRUE(render_test::fileExists(folder.file("out.wav")));
  std::string loaded;
  for (const std::string& name : loaderLog.entries())
    loaded += render_test::readWholeFile(loaderLog.file(name));
  ASSERT_NE(loaded.find("sparkwell_dsp.so"), std::string::npos)
      << "no loader record of the plug-in";
  for (const char* library : {"file=libxcb", "file=libX"})
    EXPECT_EQ(loaded.find(library), std::string::npos) << library << " was loaded";

  const render_test::Sound output = render_test::readSound(folder.file("out.wav"));
  ASSERT_EQ(output.channels, 2);
  EXPECT_EQ(output.sampleRate, 48000);
  ASSERT_EQ(output.frames(), input.frames());
  const sparkwell_test::StereoBuffer vst = render_test::renderDirectly(input, 512, direct);
  const std::vector<float> left = output.channel(0);
  const std::vector<float> right = output.channel(1);
  float peak = 0.0f;
  for (size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(std::memcmp(&left[i], &vst.left[i], sizeof(float)), 0) << "left, frame " << i;
    ASSERT_EQ(std::memcmp(&right[i], &vst.right[i], sizeof(float)), 0) << "right, frame " << i;
    peak = std::max(peak, std::max(std::fabs(left[i]), std::fabs(right[i])));
  }
  EXPECT_GT(peak, 0.01f) << "the rendered file is silent";
}

} // namespace
