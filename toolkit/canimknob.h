// A knob drawn from a vertical filmstrip: frame 0 at the top for the minimum, the last frame
// only for the maximum.
#pragma once

#include "cknob.h"

class CAnimKnob : public CKnob {
public:
  // The number of frames is recomputed from the bitmap as floor(height / heightOfOneImage)
  // when a bitmap is given (0 for a picture that failed to load).
  CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());

  void draw(CDrawContext* context) override;

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  // floor(normalised value x (frames - 1)), within the filmstrip.
  int32_t frameForValue() const;

private:
  int32_t subPixmaps;
  CCoord heightOfOneImage;
  CPoint offset;
};
