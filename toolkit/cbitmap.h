// A picture from the library's resources, decoded once at construction into a premultiplied
// 32-bit image. A missing or undecodable picture is 0 x 0 and draws nothing.
#pragma once

#include "cbaseobject.h"
#include "crect.h"
#include "cresourcedescription.h"
#include "pixelimage.h"

class CDrawContext;

class CBitmap : public CBaseObject {
public:
  explicit CBitmap(const CResourceDescription& description);

  CCoord getWidth() const { return image.width; }
  CCoord getHeight() const { return image.height; }
  const CResourceDescription& getResourceDescription() const { return description; }
  const PixelImage& getImage() const { return image; }

  // Draws the bitmap into `destination`, bitmap pixel `offset` at its top left (a filmstrip
  // frame is chosen with the offset).
  void draw(CDrawContext* context, const CRect& destination, const CPoint& offset = CPoint());

private:
  CResourceDescription description;
  PixelImage image;
};
