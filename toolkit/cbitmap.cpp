#include "cbitmap.h"

#include "cdrawcontext.h"
#include "pngdecoder.h"
#include "pngresources.h"

CBitmap::CBitmap(const CResourceDescription& description) : description(description) {
  const PngResource png = findPngResource(description.id);
  decodePng(png.data, png.size, image);
}

void CBitmap::draw(CDrawContext* context, const CRect& destination, const CPoint& offset) {
  if (context == nullptr || image.pixels.empty()) return;
  context->drawImage(image, destination, offset);
}
