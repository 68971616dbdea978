// Both faces of the built plug-in's editor, drawn off-screen through its entry point, compared
// with the golden pictures in tests/editor/golden (see golden_image.h for how to renew them).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "golden_image.h"
#include "offscreen_editor.h"

namespace sparkwell_test {
namespace {

// Per channel: room for a compositor that rounds differently, none for a visible change.
constexpr int kTolerance = 2;
constexpr double kTabX = 400, kTabY = 12;

class EditorGoldenTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(library.isLoaded()) << library.loadError(); }

  // Draws both faces with `settings` applied and compares each with its golden picture.
  void checkFaces(const std::string& name,
                  const std::vector<std::pair<VstInt32, float>>& settings) {
    PluginInstance plugin(host, library.vstPluginMain());
    ASSERT_TRUE(plugin);
    for (const auto& [index, value] : settings)
      plugin.setParameter(index, value);
    OffscreenEditor editor(plugin);
    ASSERT_EQ(editor.openAnswer(), 1);
    editor.idle();
    const RgbImage front = editor.image();
    editor.click(kTabX, kTabY);
    editor.idle();
    const RgbImage back = editor.image();
    checkGolden(front, "front_" + name);
    checkGolden(back, "back_" + name);
  }

  void checkGolden(const RgbImage& image, const std::string& name) {
    ASSERT_EQ(image.width, kPanelWidth);
    ASSERT_EQ(image.height, kPanelHeight);
    const std::string path = std::string(SPARKWELL_GOLDEN_DIR) + "/" + name + ".png";
    if (regenerationRequested()) {
      ASSERT_TRUE(writePng(path, image)) << path;
      GTEST_SKIP() << "regenerated " << path << ": look at it before committing";
    }
    RgbImage golden;
    ASSERT_TRUE(readPng(path, golden))
        << "no golden picture " << path
        << "; make it with SPARKWELL_REGENERATE_GOLDEN=1 and look at it before committing";
    const ImageDifference difference = compareImages(image, golden, kTolerance);
    if (difference.differing != 0) writePng(name + ".actual.png", image);
    EXPECT_EQ(difference.differing, 0u)
        << name << ": first differing pixel at " << difference.firstX << ", " << difference.firstY
        << ", largest channel difference " << difference.largest << "; the plug-in's drawing is in "
        << name << ".actual.png in the test's folder";
  }

  TestHost host;
  PluginLibrary library{pluginPath()};
};

TEST_F(EditorGoldenTest, FacesOfANewInstance) {
  checkFaces("program0", {});
}

TEST_F(EditorGoldenTest, FacesWithEveryControlAwayFromItsDefault) {
  checkFaces("moved", {{0, 0.25f},
                       {1, 0.1f},
                       {2, 0.9f},
                       {3, 0.65f},
                       {4, 0.35f},
                       {5, 1.0f},
                       {6, 1.0f},
                       {7, 0.0f},
                       {9, 0.0f}});
}

} // namespace
} // namespace sparkwell_test
