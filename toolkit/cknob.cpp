#include "cknob.h"

#include <cmath>

#include "cframe.h"
#include "vstguieditorinterface.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// The knob's arc: from 7:30 (225 degrees counter-clockwise from 3 o'clock) clockwise over 270
// degrees to 4:30.
constexpr double kArcStart = 1.25 * kPi;
constexpr double kArcLength = 1.5 * kPi;

} // namespace

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

float CKnob::valueFromPoint(const CPoint& where) const {
  const double dx = where.x - (size.left + size.right) * 0.5;
  const double dy = (size.top + size.bottom) * 0.5 - where.y; // upward positive
  double angle = std::atan2(dy, dx);                          // -pi .. pi from 3 o'clock
  if (angle < -0.5 * kPi) angle += 2.0 * kPi; // the gap at 6 o'clock splits the two ends
  const double normalized = (kArcStart - angle) / kArcLength;
  return limited(vmin + static_cast<float>(normalized) * (vmax - vmin));
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  if (!isEditing()) return kMouseEventNotHandled; // the host closed the editor at the begin
  if (checkDefaultValue(buttons)) {
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  const int32_t mode = frame != nullptr ? frame->getKnobMode() : kCircularMode;
  const bool alt = (buttons & kAlt) != 0;
  dragLinear = mode == kLinearMode ? !alt : alt;
  firstPoint = where;
  lastPoint = where;
  dragButtons = buttons;
  entryValue = getValue();
  const CCoord range = (buttons & kShift) ? kLinearRange * kZoomFactor : kLinearRange;
  coefficient = static_cast<CCoord>(vmax - vmin) / range;
  if (dragLinear) return kMouseEventHandled;
  return onMouseMoved(where, buttons) == kMouseEventHandled ? kMouseEventHandled
                                                            : kMouseEventNotHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!isEditing()) return kMouseEventNotHandled;
  if (!buttons.isLeftButton() || (dragLinear && where == lastPoint && buttons == dragButtons))
    return kMouseEventHandled;
  lastPoint = where;
  const float before = getValue();
  float candidate;
  if (dragLinear) {
    const CCoord distance = (firstPoint.y - where.y) + (where.x - firstPoint.x);
    if (!(buttons == dragButtons)) {
      // Shift pressed or let go mid-drag: change the scale around the current position so
      // the value does not jump.
      const CCoord range = (buttons & kShift) ? kLinearRange * kZoomFactor : kLinearRange;
      const double newCoefficient = static_cast<CCoord>(vmax - vmin) / range;
      entryValue += distance * (coefficient - newCoefficient);
      coefficient = newCoefficient;
      dragButtons = buttons;
    }
    candidate = static_cast<float>(entryValue + distance * coefficient);
  } else {
    candidate = valueFromPoint(where);
    // Crossing the gap at 6 o'clock would jump from one end to the other: stay at the end
    // the pointer left from.
    const float half = (vmax - vmin) * 0.5f;
    if (candidate - before > half)
      candidate = vmin;
    else if (before - candidate > half)
      candidate = vmax;
  }
  setValue(candidate);
  if (getValue() != before) {
    valueChanged();
    setDirty(true);
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
  if (!isEditing()) return kMouseEventNotHandled;
  endEdit();
  return kMouseEventHandled;
}

void CKnob::step(float distance, bool fine) {
  const float before = getValue();
  const float increment = fine ? 0.1f * wheelInc : wheelInc;
  setValueNormalized(getValueNormalized() + distance * increment);
  if (getValue() == before) return;
  setDirty(true);
  invalid();
  beginEdit();
  if (!isEditing()) return; // the host closed the editor at the begin
  valueChanged();
  endEdit();
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  step(distance, (buttons & kShift) != 0);
  return true;
}

int32_t CKnob::onKeyDown(CKeyCode& keyCode) {
  const bool fine = (keyCode.modifier & kModifierShift) != 0;
  switch (keyCode.virt) {
  case kVKeyUp:
  case kVKeyRight:
    step(1.0f, fine);
    return 1;
  case kVKeyDown:
  case kVKeyLeft:
    step(-1.0f, fine);
    return 1;
  default:
    return -1;
  }
}
