#include "resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One output pixel's share of the source pixels along an axis: first source pixel, weights.
struct Span {
  int32_t first;
  std::vector<float> weights; // sum to 1
};

// Output pixel i covers [i, i + 1) x (from / to) of the source axis. When the output is larger,
// that is less than one source pixel and the weights pick the one or two it overlaps.
std::vector<Span> spans(int32_t from, int32_t to) {
  std::vector<Span> result(static_cast<size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int32_t i = 0; i < to; ++i) {
    const double begin = i * step, end = (i + 1) * step;
    const int32_t first = static_cast<int32_t>(std::floor(begin));
    const int32_t last = std::min(from - 1, static_cast<int32_t>(std::ceil(end)) - 1);
    Span& span = result[static_cast<size_t>(i)];
    span.first = first;
    for (int32_t k = first; k <= last; ++k) {
      const double overlap = std::min(end, k + 1.0) - std::max(begin, static_cast<double>(k));
      span.weights.push_back(static_cast<float>(std::max(0.0, overlap) / step));
    }
  }
  return result;
}

uint32_t channelOf(float value) {
  return static_cast<uint32_t>(std::min(255.0f, std::max(0.0f, value + 0.5f)));
}

} // namespace

PixelImage resampleFrames(const PixelImage& source, int32_t frames, int32_t width,
                          int32_t frameHeight) {
  if (frames <= 0 || width <= 0 || frameHeight <= 0 || source.width <= 0 ||
      source.height < frames || source.height % frames != 0)
    return PixelImage();
  const int32_t sourceFrameHeight = source.height / frames;
  const std::vector<Span> across = spans(source.width, width);
  const std::vector<Span> down = spans(sourceFrameHeight, frameHeight);
  PixelImage result(width, frameHeight * frames);
  // One frame's rows resized across, four channels per pixel (alpha, red, green, blue).
  std::vector<float> rows(static_cast<size_t>(sourceFrameHeight) * width * 4);
  for (int32_t frame = 0; frame < frames; ++frame) {
    for (int32_t y = 0; y < sourceFrameHeight; ++y) {
      const uint32_t* from =
          &source.pixels[static_cast<size_t>(frame * sourceFrameHeight + y) * source.width];
      float* to = &rows[static_cast<size_t>(y) * width * 4];
      for (int32_t x = 0; x < width; ++x) {
        const Span& span = across[static_cast<size_t>(x)];
        float sum[4] = {0, 0, 0, 0};
        for (size_t k = 0; k < span.weights.size(); ++k) {
          const uint32_t p = from[span.first + static_cast<int32_t>(k)];
          const float w = span.weights[k];
          sum[0] += w * static_cast<float>(pixelAlpha(p));
          sum[1] += w * static_cast<float>(pixelRed(p));
          sum[2] += w * static_cast<float>(pixelGreen(p));
          sum[3] += w * static_cast<float>(pixelBlue(p));
        }
        std::copy(sum, sum + 4, to + x * 4);
      }
    }
    for (int32_t y = 0; y < frameHeight; ++y) {
      const Span& span = down[static_cast<size_t>(y)];
      uint32_t* to = &result.pixels[static_cast<size_t>(frame * frameHeight + y) * width];
      for (int32_t x = 0; x < width; ++x) {
        float sum[4] = {0, 0, 0, 0};
        for (size_t k = 0; k < span.weights.size(); ++k) {
          const float* p = &rows[(static_cast<size_t>(span.first) + k) * width * 4 + x * 4];
          for (int c = 0; c < 4; ++c)
            sum[c] += span.weights[k] * p[c];
        }
        // Averages of premultiplied pixels stay premultiplied: no channel above the alpha.
        const uint32_t alpha = channelOf(sum[0]);
        to[x] = makePixel(alpha, std::min(alpha, channelOf(sum[1])),
                          std::min(alpha, channelOf(sum[2])), std::min(alpha, channelOf(sum[3])));
      }
    }
  }
  return result;
}
