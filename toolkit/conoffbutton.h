// A two-state button drawn from two frames stacked vertically: the lower frame only at the
// maximum. A click (released inside) or Return flips it between min and max.
#pragma once

#include "ccontrol.h"

enum COnOffButtonStyle {
  kPreListenerUpdate = 0, // the value changes before the listener hears of it
};

class COnOffButton : public CControl {
public:
  COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
               int32_t style = kPreListenerUpdate);

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;

  int32_t getStyle() const { return style; }
  // 1 exactly at the maximum, else 0.
  int32_t frameForValue() const { return getValue() == vmax ? 1 : 0; }

private:
  void flip();

  int32_t style;
};
