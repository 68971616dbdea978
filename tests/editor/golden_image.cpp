#include "golden_image.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace sparkwell_test {

bool regenerationRequested() {
  const char* flag = std::getenv("SPARKWELL_REGENERATE_GOLDEN");
  return flag != nullptr && std::strcmp(flag, "1") == 0;
}

bool readPng(const std::string& path, RgbImage& image) {
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
  if (data == nullptr) return false;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (size_t i = 0; i < image.pixels.size(); ++i)
    image.pixels[i] = (uint32_t(data[3 * i]) << 16) | (uint32_t(data[3 * i + 1]) << 8) |
                      uint32_t(data[3 * i + 2]);
  stbi_image_free(data);
  return true;
}

bool writePng(const std::string& path, const RgbImage& image) {
  std::vector<unsigned char> rgb;
  rgb.reserve(image.pixels.size() * 3);
  for (uint32_t pixel : image.pixels) {
    rgb.push_back(static_cast<unsigned char>(pixel >> 16));
    rgb.push_back(static_cast<unsigned char>(pixel >> 8));
    rgb.push_back(static_cast<unsigned char>(pixel));
  }
  return stbi_write_png(path.c_str(), image.width, image.height, 3, rgb.data(), image.width * 3) !=
         0;
}

} // namespace sparkwell_test
