// `sparkwell-render snapshot` as a user runs it: the two pictures it writes must show the faces
// worked out from the artwork for the values given on the command line.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "golden_image.h"
#include "panel_model.h"

namespace sparkwell_test {
namespace {

constexpr int kTolerance = 2;

class SnapshotToolTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/sparkwell-snapshot-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  // The tool's exit code; its messages go to the test's log.
  int runSnapshot(const std::string& arguments) {
    const std::string command = std::string("'") + SPARKWELL_RENDER_PATH + "' snapshot " +
                                arguments + " --plugin '" + SPARKWELL_PLUGIN_PATH + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string file(const char* name) const { return folder + "/" + name; }
  bool exists(const char* name) const { return access(file(name).c_str(), F_OK) == 0; }

  std::string folder;
};

TEST_F(SnapshotToolTest, WritesBothFacesWithTheValuesSet) {
  ASSERT_EQ(runSnapshot(file("front.png") + " " + file("back.png") +
                        " --set Gain=0.8 --set Effect=Off --set Pickup=SC --set Input=0.1"
                        " --set Transistor=AC128 --set Stereo=Stereo --set Treble=0.5"),
            0);
  PanelState state;
  // Program 0 for the rest: HPF 1, Grid Current 0.
  state.values = {0.8f, 1.0f, 0.1f, 0.0f, 0.5f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f};
  const PanelArtwork artwork(SPARKWELL_RESOURCES_DIR);
  ASSERT_TRUE(artwork.loaded());

  RgbImage front, back;
  ASSERT_TRUE(readPng(file("front.png"), front));
  ImageDifference difference = compareImages(front, artwork.compose(state), kTolerance);
  EXPECT_EQ(difference.differing, 0u)
      << "front, first at " << difference.firstX << ", " << difference.firstY;
  ASSERT_TRUE(readPng(file("back.png"), back));
  state.backFace = true;
  state.values[kPanelTabTag] = 1.0f; // the tab was clicked to show the back
  difference = compareImages(back, artwork.compose(state), kTolerance);
  EXPECT_EQ(difference.differing, 0u)
      << "back, first at " << difference.firstX << ", " << difference.firstY;
}

TEST_F(SnapshotToolTest, RefusesAWrongCommandLineWithoutWritingAnything) {
  EXPECT_EQ(runSnapshot(file("front.png")), 2);
  EXPECT_EQ(runSnapshot(file("front.png") + " " + file("back.png") + " --set Nothing=1"), 2);
  EXPECT_FALSE(exists("front.png"));
  EXPECT_FALSE(exists("back.png"));
  // A folder that does not exist cannot take the pictures.
  EXPECT_EQ(runSnapshot(file("missing/front.png") + " " + file("missing/back.png")), 1);
  // Both pictures or neither.
  EXPECT_EQ(runSnapshot(file("front.png") + " " + file("missing/back.png")), 1);
  EXPECT_FALSE(exists("front.png"));
}

} // namespace
} // namespace sparkwell_test
