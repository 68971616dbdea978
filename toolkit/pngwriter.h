// PNG files from images (tools and tests; the plug-in itself writes no files).
#pragma once

#include <vector>

#include "pixelimage.h"

// The PNG file bytes of straight (not premultiplied) RGBA rows, 4 bytes a pixel, top to
// bottom; empty when encoding fails.
std::vector<unsigned char> encodePng(const unsigned char* rgba, int32_t width, int32_t height);
// Undoes the premultiplication of `image` and writes it to `path`. Answers whether the file
// was written.
bool savePng(const PixelImage& image, const char* path);
