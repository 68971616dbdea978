#include "canimknob.h"

#include <cmath>

#include "cbitmap.h"

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage), offset(offset) {
  if (background != nullptr && heightOfOneImage > 0)
    this->subPixmaps = static_cast<int32_t>(std::floor(background->getHeight() / heightOfOneImage));
}

int32_t CAnimKnob::frameForValue() const {
  if (subPixmaps <= 1) return 0;
  const float position = getValueNormalized() * static_cast<float>(subPixmaps - 1);
  if (!(position > 0.0f)) return 0;
  const int32_t frameIndex = static_cast<int32_t>(std::floor(position));
  return frameIndex < subPixmaps ? frameIndex : subPixmaps - 1;
}

void CAnimKnob::draw(CDrawContext* context) {
  if (background == nullptr || subPixmaps <= 0) return;
  background->draw(context, size, CPoint(offset.x, offset.y + frameForValue() * heightOfOneImage));
}
