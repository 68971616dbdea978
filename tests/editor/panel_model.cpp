#include "panel_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

namespace sparkwell_test {

namespace {

enum class Kind { knob, selector, button };
enum class Face { front, back, both };

struct ControlLayout {
  int tag;
  PanelArea area;
  int picture;     // resource id
  int frameHeight; // pixels of one filmstrip frame
  Kind kind;
  Face face;
};

// The window's layout, in the order the controls lie on top of each other (the tab last).
const ControlLayout kLayout[] = {
    {0, {192, 154, 256, 218}, 8, 64, Kind::knob, Face::front},
    {1, {26, 128, 96, 198}, 2, 70, Kind::knob, Face::back},
    {2, {26, 32, 96, 102}, 2, 70, Kind::knob, Face::back},
    {3, {138, 224, 208, 294}, 2, 70, Kind::knob, Face::back},
    {4, {26, 224, 96, 294}, 2, 70, Kind::knob, Face::back},
    {5, {231, 76, 311, 156}, 3, 80, Kind::selector, Face::back},
    {6, {144, 46, 200, 102}, 4, 56, Kind::button, Face::back},
    {7, {144, 133, 200, 189}, 4, 56, Kind::button, Face::back},
    {9, {87, 159, 121, 214}, 7, 55, Kind::button, Face::front},
    {8, {357, -4, 457, 26}, 6, 30, Kind::button, Face::both},
};

const char* const kPictureFiles[] = {nullptr,      "front.png",  "knob.png",
                                     "pickup.png", "toggle.png", "back.png",
                                     "tab.png",    "boost.png",  "setknob.png"};

constexpr int kKnobFrames = 31;
constexpr int kSelectorPositions = 5;

const ControlLayout& layoutOf(int tag) {
  for (const ControlLayout& control : kLayout)
    if (control.tag == tag) return control;
  std::abort(); // a tag the panel does not have is a fault in the test itself
}

float limited(float value) {
  if (std::isnan(value) || value < 0.0f) return 0.0f;
  return value > 1.0f ? 1.0f : value;
}

int channel(uint32_t pixel, int shift) {
  return static_cast<int>((pixel >> shift) & 0xff);
}

int largestChannelDifference(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift : {0, 8, 16})
    largest = std::max(largest, std::abs(channel(a, shift) - channel(b, shift)));
  return largest;
}

void noteDifference(ImageDifference& difference, int x, int y, int amount, int tolerance) {
  difference.largest = std::max(difference.largest, amount);
  if (amount <= tolerance) return;
  if (difference.differing++ == 0) {
    difference.firstX = x;
    difference.firstY = y;
  }
}

} // namespace

PanelArea controlArea(int tag) {
  return layoutOf(tag).area;
}

int frameForValue(int tag, float value) {
  const float v = limited(value);
  switch (layoutOf(tag).kind) {
  case Kind::knob:
    return static_cast<int>(std::floor(v * static_cast<float>(kKnobFrames - 1)));
  case Kind::selector:
    return static_cast<int>(v * static_cast<float>(kSelectorPositions - 1) + 0.5f);
  case Kind::button:
    return v == 1.0f ? 1 : 0;
  }
  return 0;
}

PanelArtwork::PanelArtwork(const std::string& folder) {
  complete = true;
  for (int id = 1; id <= 8; ++id) {
    const std::string path = folder + "/" + kPictureFiles[id];
    int channels = 0;
    Picture& picture = pictures[static_cast<size_t>(id)];
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 4);
    if (data == nullptr) {
      complete = false;
      continue;
    }
    picture.rgba.assign(data, data + static_cast<size_t>(picture.width) * picture.height * 4);
    stbi_image_free(data);
  }
}

void PanelArtwork::drawOver(RgbImage& image, const Picture& picture, int sourceTop, int left,
                            int top, int width, int height) {
  for (int row = 0; row < height; ++row) {
    const int y = top + row;
    if (y < 0 || y >= image.height || sourceTop + row >= picture.height) continue;
    for (int column = 0; column < width; ++column) {
      const int x = left + column;
      if (x < 0 || x >= image.width || column >= picture.width) continue;
      const unsigned char* source =
          &picture.rgba[(static_cast<size_t>(sourceTop + row) * picture.width + column) * 4];
      uint32_t& target = image.pixels[static_cast<size_t>(y) * image.width + x];
      const double alpha = source[3] / 255.0;
      uint32_t blended = 0;
      for (int c = 0; c < 3; ++c) {
        const int shift = 16 - 8 * c;
        const double value = source[c] * alpha + channel(target, shift) * (1.0 - alpha);
        blended |= static_cast<uint32_t>(std::lround(value)) << shift;
      }
      target = blended;
    }
  }
}

RgbImage PanelArtwork::compose(const PanelState& state) const {
  RgbImage image;
  image.width = kPanelWidth;
  image.height = kPanelHeight;
  image.pixels.assign(static_cast<size_t>(kPanelWidth) * kPanelHeight, 0);
  const Picture& background = pictures[state.backFace ? 5 : 1];
  drawOver(image, background, 0, 0, 0, background.width, background.height);
  for (const ControlLayout& control : kLayout) {
    const bool shown = control.face == Face::both || (control.face == Face::back) == state.backFace;
    if (!shown) continue;
    const int frameIndex = frameForValue(control.tag, state.values[control.tag]);
    drawOver(image, pictures[static_cast<size_t>(control.picture)],
             frameIndex * control.frameHeight, control.area.left, control.area.top,
             control.area.right - control.area.left, control.area.bottom - control.area.top);
  }
  return image;
}

ImageDifference compareImages(const RgbImage& actual, const RgbImage& expected, int tolerance) {
  return compareArea(actual, expected, {0, 0, expected.width, expected.height}, tolerance);
}

ImageDifference compareArea(const RgbImage& actual, const RgbImage& expected, const PanelArea& area,
                            int tolerance) {
  ImageDifference difference;
  if (actual.width != expected.width || actual.height != expected.height) {
    difference.differing = static_cast<size_t>(expected.width) * expected.height;
    difference.largest = 255;
    return difference;
  }
  for (int y = std::max(0, area.top); y < std::min(expected.height, area.bottom); ++y)
    for (int x = std::max(0, area.left); x < std::min(expected.width, area.right); ++x)
      noteDifference(difference, x, y, largestChannelDifference(actual.at(x, y), expected.at(x, y)),
                     tolerance);
  return difference;
}

} // namespace sparkwell_test
