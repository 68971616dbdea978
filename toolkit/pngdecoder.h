// PNG bytes to a premultiplied 32-bit image.
#pragma once

#include <cstddef>

#include "pixelimage.h"

// Decodes `size` bytes of a PNG file. Answers false, leaving `image` empty, when the bytes are
// not a PNG it can read.
bool decodePng(const unsigned char* data, size_t size, PixelImage& image);
