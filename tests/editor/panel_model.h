// What the editor must show, worked out from the pictures alone: the background of a face with
// every control of that face drawn at the filmstrip frame its value selects. Tests compare the
// plug-in's window with it, so a control in the wrong place, on the wrong face, at the wrong
// frame or missing shows as differing pixels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sparkwell_test {

constexpr int kPanelWidth = 450;
constexpr int kPanelHeight = 306;
constexpr int kPanelTabTag = 8;

// An RGB image, 0x00RRGGBB per pixel, rows top to bottom.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The values the ten controls hold (tag order, the tab at 8) and the face on show.
struct PanelState {
  std::array<float, 10> values{};
  bool backFace = false;
};

// A control's rectangle in frame pixels.
struct PanelArea {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};
PanelArea controlArea(int tag);
// The frame a control shows for `value`, as the toolkit's control classes choose it.
int frameForValue(int tag, float value);

class PanelArtwork {
public:
  // Reads the eight pictures from `folder` (the resources folder of the source tree).
  explicit PanelArtwork(const std::string& folder);
  bool loaded() const { return complete; }

  // The window as the editor must draw it in `state`.
  RgbImage compose(const PanelState& state) const;

private:
  struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
  };
  // Source-over of `picture`, rows from `sourceTop`, onto `image` at (left, top), clipped to
  // the image.
  static void drawOver(RgbImage& image, const Picture& picture, int sourceTop, int left, int top,
                       int width, int height);

  std::array<Picture, 9> pictures; // by resource id, 1 to 8
  bool complete = false;
};

// How two images differ: pixels whose largest channel difference exceeds `tolerance`.
struct ImageDifference {
  size_t differing = 0;
  int largest = 0;
  int firstX = -1, firstY = -1; // the first differing pixel, for the failure message
};
ImageDifference compareImages(const RgbImage& actual, const RgbImage& expected, int tolerance);

// The same, only inside `area`.
ImageDifference compareArea(const RgbImage& actual, const RgbImage& expected, const PanelArea& area,
                            int tolerance);

} // namespace sparkwell_test
