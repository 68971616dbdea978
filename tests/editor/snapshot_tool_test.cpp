// `sparkwell-render snapshot` as a user runs it: the two pictures it writes must show the faces
// worked out from the artwork for the values given on the command line.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

  // The tool's exit code; what it says on stderr is kept in `said`. `limit` is a shell's file
  // size limit in 512-byte blocks, 0 for none.
  int runSnapshot(const std::string& arguments, int limit = 0) {
    const std::string saidPath = folder + ".said";
    const std::string command = (limit > 0 ? "ulimit -f " + std::to_string(limit) + "; " : "") +
                                "'" + SPARKWELL_RENDER_PATH + "' snapshot " + arguments +
                                " --plugin '" + SPARKWELL_PLUGIN_PATH + "' 2>'" + saidPath + "'";
    const int status = std::system(command.c_str());
    said = readText(saidPath);
    std::remove(saidPath.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string readText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  // Names in the folder, hidden ones (temporary files) included.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    if (DIR* opened = opendir(folder.c_str())) {
      while (dirent* entry = readdir(opened))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
          names.push_back(entry->d_name);
      closedir(opened);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string file(const char* name) const { return folder + "/" + name; }
  bool exists(const char* name) const { return access(file(name).c_str(), F_OK) == 0; }

  std::string folder;
  std::string said;
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
  // A device is no picture file: nothing is written anywhere.
  EXPECT_EQ(runSnapshot(file("front.png") + " /dev/full"), 1);
  EXPECT_NE(said.find("cannot write '/dev/full'"), std::string::npos) << said;
  EXPECT_FALSE(exists("front.png"));
  // One file cannot hold both faces, by the same name or through a link.
  EXPECT_EQ(runSnapshot(file("same.png") + " " + file("same.png")), 2);
  ASSERT_EQ(symlink("same.png", file("link.png").c_str()), 0);
  EXPECT_EQ(runSnapshot(file("same.png") + " " + file("link.png")), 2);
  EXPECT_NE(said.find("are the same file"), std::string::npos) << said;
  EXPECT_FALSE(exists("same.png"));
}

// Writes that fail (here at the file-size limit, as on a full disk): the reason is told, the
// pictures from an earlier run stay as they were, and no temporary file is left.
TEST_F(SnapshotToolTest, AFailedWriteKeepsTheEarlierPicturesAndSaysWhy) {
  for (const char* name : {"front.png", "back.png"}) {
    std::ofstream earlier(file(name));
    earlier << "an earlier picture";
  }
  const std::vector<std::string> before = entries();
  EXPECT_EQ(runSnapshot(file("front.png") + " " + file("back.png"), 8), 1); // 4 KiB
  EXPECT_NE(said.find("File too large"), std::string::npos) << said;
  EXPECT_EQ(readText(file("front.png")), "an earlier picture");
  EXPECT_EQ(readText(file("back.png")), "an earlier picture");
  EXPECT_EQ(entries(), before);
}

} // namespace
} // namespace sparkwell_test
