#include "cdrawcontext.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixel index range [begin, end) that a coordinate range covers: a pixel belongs to a
// rectangle when its top left corner lies inside.
int32_t pixelEdge(CCoord c) {
  return static_cast<int32_t>(std::ceil(c));
}

// x / 255 rounded to nearest, exact for 0 <= x <= 255 * 255.
uint32_t divide255(uint32_t x) {
  return (x + 128 + ((x + 128) >> 8)) >> 8;
}

} // namespace

uint32_t blendPremultiplied(uint32_t source, uint32_t destination) {
  const uint32_t sourceAlpha = pixelAlpha(source);
  if (sourceAlpha == 255) return source;
  if (source == 0) return destination;
  const uint32_t keep = 255 - sourceAlpha;
  auto channel = [&](uint32_t s, uint32_t d) { return std::min(255u, s + divide255(d * keep)); };
  return makePixel(channel(sourceAlpha, pixelAlpha(destination)),
                   channel(pixelRed(source), pixelRed(destination)),
                   channel(pixelGreen(source), pixelGreen(destination)),
                   channel(pixelBlue(source), pixelBlue(destination)));
}

CDrawContext::CDrawContext(PixelImage& target, const CRect& clip, double scale)
    : target(target), scale(scale) {
  setClipRect(clip);
}

void CDrawContext::setClipRect(const CRect& clip) {
  clipRect = clip;
  clipRect.bound(CRect(0, 0, target.width / scale, target.height / scale));
  deviceClipRect = deviceRect(clipRect, scale);
  deviceClipRect.bound(CRect(0, 0, target.width, target.height));
}

void CDrawContext::drawImage(const PixelImage& source, const CRect& destination,
                             const CPoint& sourceOffset) {
  CRect area = destination;
  area.bound(deviceClipRect);
  // Where the source ends, seen in target coordinates.
  const CCoord originX = destination.left - sourceOffset.x;
  const CCoord originY = destination.top - sourceOffset.y;
  area.bound(CRect(originX, originY, originX + source.width, originY + source.height));
  if (area.isEmpty()) return;

  const int32_t left = pixelEdge(area.left), right = pixelEdge(area.right);
  const int32_t top = pixelEdge(area.top), bottom = pixelEdge(area.bottom);
  const int32_t shiftX = pixelEdge(originX), shiftY = pixelEdge(originY);
  for (int32_t y = top; y < bottom; ++y) {
    const uint32_t* from = &source.pixels[static_cast<size_t>(y - shiftY) * source.width];
    uint32_t* to = &target.pixels[static_cast<size_t>(y) * target.width];
    for (int32_t x = left; x < right; ++x)
      to[x] = blendPremultiplied(from[x - shiftX], to[x]);
  }
}

void CDrawContext::fillRect(const CRect& area, uint32_t pixel) {
  CRect bounded = deviceRect(area, scale);
  bounded.bound(deviceClipRect);
  if (bounded.isEmpty()) return;
  const int32_t left = pixelEdge(bounded.left), right = pixelEdge(bounded.right);
  for (int32_t y = pixelEdge(bounded.top); y < pixelEdge(bounded.bottom); ++y)
    std::fill(&target.at(left, y), &target.at(left, y) + (right - left), pixel);
}
