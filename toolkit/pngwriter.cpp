#include "pngwriter.h"

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

unsigned char unpremultiply(uint32_t channel, uint32_t alpha) {
  if (alpha == 0) return 0;
  const uint32_t straight = (channel * 255 + alpha / 2) / alpha;
  return static_cast<unsigned char>(straight > 255 ? 255 : straight);
}

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<unsigned char>*>(context);
  const auto* bytes = static_cast<const unsigned char*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<unsigned char> encodePng(const unsigned char* rgba, int32_t width, int32_t height) {
  std::vector<unsigned char> png;
  if (rgba == nullptr || width <= 0 || height <= 0) return png;
  if (stbi_write_png_to_func(appendBytes, &png, width, height, 4, rgba, width * 4) == 0)
    png.clear();
  return png;
}

bool savePng(const PixelImage& image, const char* path) {
  if (image.width <= 0 || image.height <= 0 || path == nullptr) return false;
  std::vector<unsigned char> rgba(image.pixels.size() * 4);
  unsigned char* out = rgba.data();
  for (uint32_t pixel : image.pixels) {
    const uint32_t alpha = pixelAlpha(pixel);
    *out++ = unpremultiply(pixelRed(pixel), alpha);
    *out++ = unpremultiply(pixelGreen(pixel), alpha);
    *out++ = unpremultiply(pixelBlue(pixel), alpha);
    *out++ = static_cast<unsigned char>(alpha);
  }
  const std::vector<unsigned char> png = encodePng(rgba.data(), image.width, image.height);
  if (png.empty()) return false;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && written;
}
