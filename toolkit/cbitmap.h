// A picture from the library's resources as a premultiplied 32-bit image. A missing or
// undecodable picture is 0 x 0 and draws nothing.
//
// Bitmaps made from the same resource share one decoded image: it is decoded by the first of
// them, never changed afterwards, and freed with the last bitmap that uses it. Bitmaps may be
// made and released on several threads at once (hosts create instances wherever they like).
//
// A bitmap's size is that of the picture at size 1, in frame pixels. Drawn into a context with a
// scale factor, it uses the picture drawn for that factor: the larger set when the factor is its
// density, else the next larger set (the largest above it) resized once per process and factor
// with an area average, frame by frame; the result is shared like the decoded pictures.
#pragma once

#include <memory>

#include "cbaseobject.h"
#include "crect.h"
#include "cresourcedescription.h"
#include "pixelimage.h"

class CDrawContext;

class CBitmap : public CBaseObject {
public:
  explicit CBitmap(const CResourceDescription& description);

  CCoord getWidth() const { return getImage().width; }
  CCoord getHeight() const { return getImage().height; }
  const CResourceDescription& getResourceDescription() const { return description; }
  const PixelImage& getImage() const;

  // Draws the bitmap into `destination`, bitmap pixel `offset` at its top left (a filmstrip
  // frame is chosen with the offset), both in frame coordinates.
  void draw(CDrawContext* context, const CRect& destination, const CPoint& offset = CPoint());

  // The picture for `scale` image pixels per frame pixel (the bitmap's own at 1); empty when
  // there is none. It is made at the first call for a factor and kept while the bitmap lives.
  const PixelImage& getImageForScale(double scale);

private:
  CResourceDescription description;
  std::shared_ptr<const PixelImage> image;       // null when the picture could not be decoded
  std::shared_ptr<const PixelImage> scaledImage; // the last factor's picture
  double scaledFor = 1.0;
};
