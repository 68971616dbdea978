// A 32-bit image: premultiplied alpha, one uint32_t per pixel as 0xAARRGGBB, rows top to
// bottom. In memory on a little-endian machine that is B, G, R, A, the layout an X11 ZPixmap of
// depth 24 and a Windows 32-bit DIB both take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PixelImage {
  PixelImage() = default;
  PixelImage(int32_t width, int32_t height, uint32_t fill = 0)
      : width(width), height(height), pixels(static_cast<size_t>(width) * height, fill) {}

  uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }

  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// Channel helpers for 0xAARRGGBB pixels.
constexpr uint32_t pixelAlpha(uint32_t p) {
  return p >> 24;
}
constexpr uint32_t pixelRed(uint32_t p) {
  return (p >> 16) & 0xff;
}
constexpr uint32_t pixelGreen(uint32_t p) {
  return (p >> 8) & 0xff;
}
constexpr uint32_t pixelBlue(uint32_t p) {
  return p & 0xff;
}
constexpr uint32_t makePixel(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}
