// Parameters set from a host's engine thread while its user-interface thread opens, idles and
// closes the editor: meaningful under ThreadSanitizer, which reports any unguarded access the
// two threads share (the tsan build runs it).
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "offscreen_editor.h"
#include "parameters.h"

namespace sparkwell_test {
namespace {

TEST(EditorThreadsTest, ParametersFromAnotherThreadWhileTheEditorOpensIdlesAndCloses) {
  PluginLibrary library(pluginPath());
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  TestHost host;
  PluginInstance plugin(host, library.vstPluginMain());
  ASSERT_TRUE(plugin);

  std::atomic<bool> done{false};
  std::thread engine([&] {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<VstInt32> index(-1, 10);
    std::uniform_real_distribution<float> value(-0.5f, 1.5f);
    while (!done.load(std::memory_order_relaxed))
      plugin.setParameter(index(random), value(random));
  });
  for (int cycle = 0; cycle < 100; ++cycle) {
    OffscreenEditor editor(plugin);
    ASSERT_EQ(editor.openAnswer(), 1);
    for (int i = 0; i < 3; ++i)
      editor.idle();
    if (cycle % 3 == 0) editor.click(400, 12); // the tab: the user-interface thread's own edit
    editor.idle();
  }
  done.store(true, std::memory_order_relaxed);
  engine.join();

  // What the other thread sets does reach the window, at the next idle.
  OffscreenEditor editor(plugin);
  ASSERT_EQ(editor.openAnswer(), 1);
  std::thread([&] { plugin.setParameter(kGain, 1.0f); }).join();
  std::thread([&] { plugin.setParameter(kGain, 0.0f); }).join();
  editor.idle();
  const RgbImage atZero = editor.image();
  std::thread([&] { plugin.setParameter(kGain, 1.0f); }).join();
  editor.idle();
  const RgbImage atOne = editor.image();
  const ImageDifference knobMoved = compareArea(atOne, atZero, controlArea(kGain), 0);
  EXPECT_GT(knobMoved.differing, 100u);
  const ImageDifference restUnchanged = compareImages(atOne, atZero, 0);
  EXPECT_EQ(restUnchanged.differing, knobMoved.differing);
}

// Hosts that give each plug-in window its own user-interface thread open several instances'
// editors at once; what the editors of one process share must stand that.
TEST(EditorThreadsTest, EditorsOfTwoInstancesOnTheirOwnThreads) {
  PluginLibrary library(pluginPath());
  ASSERT_TRUE(library.isLoaded()) << library.loadError();
  TestHost host;
  PluginInstance first(host, library.vstPluginMain());
  PluginInstance second(host, library.vstPluginMain());
  ASSERT_TRUE(first && second);

  auto openIdleClose = [](PluginInstance& plugin, std::atomic<int>& opened) {
    for (int cycle = 0; cycle < 20; ++cycle) {
      OffscreenEditor editor(plugin);
      if (editor.openAnswer() == 1) opened.fetch_add(1, std::memory_order_relaxed);
      editor.idle();
    }
  };
  std::atomic<int> opened{0};
  std::thread one([&] { openIdleClose(first, opened); });
  std::thread two([&] { openIdleClose(second, opened); });
  one.join();
  two.join();
  EXPECT_EQ(opened.load(), 40);
}

} // namespace
} // namespace sparkwell_test
