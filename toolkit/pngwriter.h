// Saves a composed image as an RGBA PNG file (tools and tests; the plug-in writes no files).
#pragma once

#include "pixelimage.h"

// Undoes the premultiplication and writes `path`. Answers whether the file was written.
bool savePng(const PixelImage& image, const char* path);
