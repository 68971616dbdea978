// A switch with n positions stacked top to bottom, drawn from a vertical filmstrip. Clicking
// or dragging over the switch picks the position of the horizontal band under the pointer.
#pragma once

#include "ccontrol.h"

class CVerticalSwitch : public CControl {
public:
  // iMaxPositions is kept for the caller's information; the positions are subPixmaps.
  CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                  CCoord heightOfOneImage, int32_t iMaxPositions, CBitmap* background,
                  const CPoint& offset = CPoint());

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  int32_t getMaxPositions() const { return maxPositions; }
  // The position nearest to the value: (int)(normalised value x (n - 1) + 0.5).
  int32_t frameForValue() const;

private:
  // min + position / (n - 1) x (max - min)
  float valueForPosition(int32_t position) const;

  int32_t subPixmaps;
  CCoord heightOfOneImage;
  int32_t maxPositions;
  CPoint offset;
};
