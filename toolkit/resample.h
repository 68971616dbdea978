// Resizes a filmstrip of premultiplied pictures frame by frame, each output pixel the average of
// the source area it covers (fractional pixels weighted by their share), so a frame never takes
// colour from its neighbour and a downsized picture keeps its edges smooth rather than jagged.
#pragma once

#include "pixelimage.h"

// `source` holds `frames` frames stacked vertically (its height a multiple of `frames`). The
// result holds as many frames, each `width` x `frameHeight`; empty when any size is not positive.
PixelImage resampleFrames(const PixelImage& source, int32_t frames, int32_t width,
                          int32_t frameHeight);
