// Both faces of the built plug-in's editor, drawn off-screen through its entry point, compared
// with the golden pictures in tests/editor/golden (see golden_image.h for how to renew them), at
// factor 1 and at the host's factor 2; and the same gestures at scaled places doing the same at
// every factor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

  // Draws both faces with `settings` applied, at the host's factor `scale` (none at 1), and
  // compares each with its golden picture.
  void checkFaces(const std::string& name, const std::vector<std::pair<VstInt32, float>>& settings,
                  int scale = 1) {
    PluginInstance plugin(host, library.vstPluginMain());
    ASSERT_TRUE(plugin);
    for (const auto& [index, value] : settings)
      plugin.setParameter(index, value);
    OffscreenEditor editor(plugin, scale == 1 ? 0.0f : static_cast<float>(scale));
    ASSERT_EQ(editor.openAnswer(), 1);
    editor.idle();
    const RgbImage front = editor.image();
    editor.click(kTabX * scale, kTabY * scale);
    editor.idle();
    const RgbImage back = editor.image();
    const std::string suffix = scale == 1 ? "" : "@" + std::to_string(scale) + "x";
    checkGolden(front, "front_" + name + suffix, scale);
    checkGolden(back, "back_" + name + suffix, scale);
  }

  void checkGolden(const RgbImage& image, const std::string& name, int scale) {
    ASSERT_EQ(image.width, kPanelWidth * scale);
    ASSERT_EQ(image.height, kPanelHeight * scale);
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

TEST_F(EditorGoldenTest, FacesAtTheHostsFactor2DrawnFromThePicturesDrawnForIt) {
  checkFaces("program0", {}, 2);
}

// A gesture on the panel: a click, or a drag by (dx, dy), starting at a place given relative to
// a control's rectangle (0 the left or top edge, 1 the right or bottom edge), in frame pixels.
struct PanelGesture {
  const char* name;
  double atX, atY;
  double dx, dy;
};

constexpr PanelGesture kGestures[] = {
    {"click in the middle", 0.5, 0.5, 0, 0},
    {"click just inside the top left corner", 0.02, 0.02, 0, 0},
    {"click just inside the bottom right corner", 0.98, 0.98, 0, 0},
    {"click just beyond the right edge", 1.03, 0.5, 0, 0},
    {"drag up and right from the middle", 0.5, 0.5, 9, -21},
    {"drag down from the top", 0.5, 0.1, 0, 37},
};

// What a gesture did: every automation the host heard and every value the effect holds.
std::vector<std::string> gestureOutcome(TestHost& host, PluginInstance& plugin, float scale,
                                        int tag, const PanelGesture& gesture) {
  for (VstInt32 index = 0; index <= 9; ++index)
    plugin.setParameter(index, index == 5 ? 0.0f : 0.5f);
  OffscreenEditor editor(plugin, scale);
  if (editor.openAnswer() != 1) return {"not opened"};
  const double s = scale;
  if (tag >= 1 && tag <= 7) editor.click(400 * s, 12 * s); // the back face
  editor.idle();
  host.clearCalls();
  const PanelArea area = controlArea(tag);
  const double top = std::max(area.top, 0);
  const double x = area.left + gesture.atX * (area.right - area.left);
  const double y = top + gesture.atY * (area.bottom - top);
  editor.press(x * s, y * s);
  if (gesture.dx != 0 || gesture.dy != 0) {
    for (int step = 1; step <= 4; ++step)
      editor.move((x + gesture.dx * step / 4) * s, (y + gesture.dy * step / 4) * s);
  }
  editor.release((x + gesture.dx) * s, (y + gesture.dy) * s);
  editor.idle();
  std::vector<std::string> outcome;
  for (const HostCall& call : host.calls())
    if (call.opcode == audioMasterAutomate)
      outcome.push_back("a" + std::to_string(call.index) + "=" +
                        std::to_string(static_cast<double>(call.opt)));
  for (VstInt32 index = 0; index <= 9; ++index)
    outcome.push_back(std::to_string(static_cast<double>(plugin.getParameter(index))));
  return outcome;
}

TEST_F(EditorGoldenTest, GesturesAtScaledPlacesMoveTheSameControlsToTheSameValues) {
  PluginInstance plugin(host, library.vstPluginMain());
  ASSERT_TRUE(plugin);
  for (int tag = 0; tag <= 9; ++tag) {
    const std::string automated = "a" + std::to_string(tag) + "=";
    bool moved = false;
    for (const PanelGesture& gesture : kGestures) {
      SCOPED_TRACE("tag " + std::to_string(tag) + ", " + gesture.name);
      const std::vector<std::string> atOne = gestureOutcome(host, plugin, 1.0f, tag, gesture);
      for (const std::string& entry : atOne)
        moved = moved || entry.compare(0, automated.size(), automated) == 0;
      for (float scale : {1.5f, 2.5f}) {
        SCOPED_TRACE("factor " + std::to_string(scale));
        EXPECT_EQ(gestureOutcome(host, plugin, scale, tag, gesture), atOne);
      }
    }
    // Every control answers some of the gestures at factor 1, so the comparisons above are not
    // all between gestures that missed.
    EXPECT_TRUE(moved) << "tag " << tag;
  }
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
