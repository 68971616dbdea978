// A knob's event logic: linear or circular drags, the wheel and the arrow keys. It draws
// nothing itself; CAnimKnob shows the value as a filmstrip frame.
#pragma once

#include "ccontrol.h"

class CKnob : public CControl {
public:
  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;

  // The value a circular drag gives for a point in frame coordinates: the pointer's angle
  // around the centre over the arc from 7:30 (min) clockwise to 4:30 (max).
  float valueFromPoint(const CPoint& where) const;

  // Pixels of linear drag that cover the whole range, and the stretch Shift applies to them.
  static constexpr CCoord kLinearRange = 200.0;
  static constexpr CCoord kZoomFactor = 1.5;

private:
  // One step of the wheel or the arrow keys: one wheel increment, a tenth of it with Shift.
  void step(float distance, bool fine);

  bool dragLinear = false;
  CPoint firstPoint;
  CPoint lastPoint;
  CButtonState dragButtons;
  // The value the linear drag counts from and the value per pixel, in double so that a drag
  // back to the click gives exactly the value the drag started from.
  double entryValue = 0.0;
  double coefficient = 0.0;
};
