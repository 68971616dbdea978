// Loads build/sparkwell.so through its exported entry point and makes instances of it, and the
// signals the effect tests feed them. Parameter indices are the rows' (parameters.h).
#pragma once

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

#include "parameters.h"
#include "plugin_host.h"

namespace sparkwell_test {

// The index without a parameter, which the editor's panel tab uses as its tag.
constexpr int32_t kPanelTab = 8;

// One Pickup value inside each band, "None" to "SC".
constexpr float kPickupBands[] = {0.1f, 0.3f, 0.5f, 0.7f, 0.9f};

class SparkwellTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(library.isLoaded()) << library.loadError(); }

  std::unique_ptr<PluginInstance> makeInstance() {
    auto instance = std::make_unique<PluginInstance>(host, library.vstPluginMain());
    EXPECT_TRUE(*instance);
    return instance;
  }

  TestHost host;
  PluginLibrary library{pluginPath()};
};

inline StereoBuffer constantSignal(size_t frames, float left, float right) {
  return {std::vector<float>(frames, left), std::vector<float>(frames, right)};
}

// Seeded uniform noise in [-amplitude, amplitude] on each channel.
inline StereoBuffer noise(size_t frames, float amplitude, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> sample(-amplitude, amplitude);
  StereoBuffer buffer;
  for (size_t i = 0; i < frames; ++i) {
    buffer.left.push_back(sample(random));
    buffer.right.push_back(sample(random));
  }
  return buffer;
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace sparkwell_test
