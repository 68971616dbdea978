#include "conoffbutton.h"

#include "cbitmap.h"

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                           CBitmap* background, int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

void COnOffButton::draw(CDrawContext* context) {
  if (background == nullptr) return;
  background->draw(context, size, CPoint(0, frameForValue() * size.getHeight()));
}

void COnOffButton::flip() {
  setValue(getValue() == vmax ? vmin : vmax);
  setDirty(true);
  invalid();
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  // The host may have closed the editor at the begin, which ended the edit.
  return isEditing() ? kMouseEventHandled : kMouseEventNotHandled;
}

CMouseEventResult COnOffButton::onMouseMoved(CPoint&, const CButtonState&) {
  return isEditing() ? kMouseEventHandled : kMouseEventNotHandled;
}

CMouseEventResult COnOffButton::onMouseUp(CPoint& where, const CButtonState&) {
  if (!isEditing()) return kMouseEventNotHandled;
  if (size.pointInside(where)) {
    flip();
    valueChanged();
  }
  endEdit();
  return kMouseEventHandled;
}

int32_t COnOffButton::onKeyDown(CKeyCode& keyCode) {
  if (keyCode.virt != kVKeyReturn || keyCode.modifier != 0) return -1;
  flip();
  beginEdit();
  if (!isEditing()) return 1; // the host closed the editor at the begin
  valueChanged();
  endEdit();
  return 1;
}
