#include "panel_faces.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

namespace sparkwell_test {

namespace {

struct Area {
  int left, top, right, bottom;
};

// The control rectangles of each face, and the tab, which lies on both.
const std::vector<Area> kFrontControls = {{192, 154, 256, 218}, {87, 159, 121, 214}};
const std::vector<Area> kBackControls = {
    {26, 128, 96, 198},  {26, 32, 96, 102},   {138, 224, 208, 294}, {26, 224, 96, 294},
    {231, 76, 311, 156}, {144, 46, 200, 102}, {144, 133, 200, 189}};
const Area kTab = {357, -4, 457, 26};

bool inside(const Area& area, int x, int y) {
  return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

} // namespace

FaceMatch matchFace(const std::vector<uint32_t>& window, Face face,
                    const std::string& resourcesFolder) {
  FaceMatch match;
  const std::string path = resourcesFolder + (face == Face::front ? "/front.png" : "/back.png");
  int width = 0, height = 0, channels = 0;
  unsigned char* picture = stbi_load(path.c_str(), &width, &height, &channels, 4);
  if (!picture) return match;
  const auto& controls = face == Face::front ? kFrontControls : kBackControls;
  for (int y = 0; y < kPanelHeight && y < height; ++y) {
    for (int x = 0; x < kPanelWidth && x < width; ++x) {
      bool covered = inside(kTab, x, y);
      for (const Area& area : controls)
        covered = covered || inside(area, x, y);
      const unsigned char* p = picture + (static_cast<size_t>(y) * width + x) * 4;
      if (covered || p[3] != 255) continue;
      const uint32_t expected = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
      ++match.compared;
      if (window[static_cast<size_t>(y) * kPanelWidth + x] == expected) ++match.matching;
    }
  }
  stbi_image_free(picture);
  return match;
}

} // namespace sparkwell_test
