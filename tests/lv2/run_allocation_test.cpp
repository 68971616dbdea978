// The LV2 run is real-time safe: with every port moving every block (the HPF and Treble pairs
// redesigned each time) and in every mode, it calls no allocator. The C allocator of this
// program counts its calls; the DSP binary, loaded by lilv, allocates through it.
#include <gtest/gtest.h>
#include <lilv/lilv.h>

#include <atomic>
#include <cstdlib>
#include <vector>

#include "counting_allocator.h"
#include "port_map.h"

using namespace sparkwell_lv2;

namespace {

TEST(Lv2Run, AllocatesNothingWhileEveryPortMoves) {
  if (!sparkwell_test::kCountsCAllocator) GTEST_SKIP() << "the sanitizer owns the allocator";
  setenv("LV2_PATH", "/usr/lib/lv2", 1);
  LilvWorld* world = lilv_world_new();
  lilv_world_load_all(world);
  LilvNode* bundle = lilv_new_file_uri(world, nullptr, SPARKWELL_LV2_BUNDLE "/");
  lilv_world_load_bundle(world, bundle);
  LilvNode* uri = lilv_new_uri(world, kPluginUri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  ASSERT_NE(plugin, nullptr);
  LilvInstance* instance = lilv_plugin_instantiate(plugin, 48000.0, nullptr);
  ASSERT_NE(instance, nullptr);

  constexpr uint32_t kFrames = 64;
  std::vector<float> left(kFrames, 0.25f), right(kFrames, -0.25f);
  float controls[kNumControlPorts] = {};
  lilv_instance_connect_port(instance, kPortInL, left.data());
  lilv_instance_connect_port(instance, kPortInR, right.data());
  lilv_instance_connect_port(instance, kPortOutL, left.data());
  lilv_instance_connect_port(instance, kPortOutR, right.data());
  for (uint32_t i = 0; i < kNumControlPorts; ++i)
    lilv_instance_connect_port(instance, kFirstControlPort + i, &controls[i]);
  lilv_instance_activate(instance);

  sparkwell_test::countedAllocations = 0;
  sparkwell_test::allocationCounting = true;
  for (int block = 0; block < 64; ++block) {
    // Every mode: Stereo and Mono, each transistor, each pickup band, effect on and off.
    for (uint32_t i = 0; i < kNumControlPorts; ++i) {
      const int32_t parameter = kControlParameters[i];
      const float step = static_cast<float>(block % 8) / 7.0f;
      controls[i] = portFromParameter(parameter, parameter == kEffect && block % 16 == 15
                                                     ? 0.0f
                                                     : (parameter == kPickup ? step : 1.0f - step));
    }
    lilv_instance_run(instance, kFrames);
  }
  sparkwell_test::allocationCounting = false;
  EXPECT_EQ(sparkwell_test::countedAllocations.load(), 0);

  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
  lilv_node_free(uri);
  lilv_node_free(bundle);
  lilv_world_free(world);
}

} // namespace
