// The compositor views draw with: blits premultiplied pictures with alpha into the frame's
// 32-bit image, limited to a clip rectangle that never leaves the image. The image may be
// larger than the frame by a scale factor: rectangles and the clip are then frame coordinates
// that the context maps to image pixels (deviceRect), while drawImage takes image pixels.
#pragma once

#include "crect.h"
#include "pixelimage.h"

class CDrawContext {
public:
  // `scale` image pixels per frame pixel.
  CDrawContext(PixelImage& target, const CRect& clip, double scale = 1.0);

  // In frame coordinates; the clip is always kept inside the target image.
  void setClipRect(const CRect& clip);
  const CRect& getClipRect() const { return clipRect; }
  double getScale() const { return scale; }

  // Composites `source` over the target, source pixel `sourceOffset` landing on the top left of
  // `destination`, both in image pixels. Only pixels inside destination, the clip and the
  // source are touched.
  void drawImage(const PixelImage& source, const CRect& destination, const CPoint& sourceOffset);
  // Replaces the pixels of `area` (frame coordinates, within the clip) by `pixel`.
  void fillRect(const CRect& area, uint32_t pixel);

private:
  PixelImage& target;
  double scale;
  CRect clipRect;       // frame coordinates
  CRect deviceClipRect; // the same in image pixels
};

// Source-over for premultiplied pixels: source + destination x (255 - source alpha) / 255,
// rounded per channel.
uint32_t blendPremultiplied(uint32_t source, uint32_t destination);
