// The compositor views draw with: blits premultiplied pictures with alpha into the frame's
// 32-bit image, limited to a clip rectangle that never leaves the image.
#pragma once

#include "crect.h"
#include "pixelimage.h"

class CDrawContext {
public:
  CDrawContext(PixelImage& target, const CRect& clip);

  // The clip is always kept inside the target image.
  void setClipRect(const CRect& clip);
  const CRect& getClipRect() const { return clipRect; }

  // Composites `source` over the target, source pixel `sourceOffset` landing on the top left of
  // `destination`. Only pixels inside destination, the clip and the source are touched.
  void drawImage(const PixelImage& source, const CRect& destination, const CPoint& sourceOffset);
  // Replaces the pixels of `area` (within the clip) by `pixel`.
  void fillRect(const CRect& area, uint32_t pixel);

private:
  PixelImage& target;
  CRect clipRect;
};

// Source-over for premultiplied pixels: source + destination x (255 - source alpha) / 255,
// rounded per channel.
uint32_t blendPremultiplied(uint32_t source, uint32_t destination);
