#include "cverticalswitch.h"

#include "cbitmap.h"

CVerticalSwitch::CVerticalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                 int32_t subPixmaps, CCoord heightOfOneImage, int32_t iMaxPositions,
                                 CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background), subPixmaps(subPixmaps),
      heightOfOneImage(heightOfOneImage), maxPositions(iMaxPositions), offset(offset) {
  defaultValue = 0.0f;
}

int32_t CVerticalSwitch::frameForValue() const {
  if (subPixmaps <= 1) return 0;
  const int32_t position =
      static_cast<int32_t>(getValueNormalized() * static_cast<float>(subPixmaps - 1) + 0.5f);
  return position < 0 ? 0 : (position >= subPixmaps ? subPixmaps - 1 : position);
}

float CVerticalSwitch::valueForPosition(int32_t position) const {
  if (subPixmaps <= 1) return vmin;
  return vmin + static_cast<float>(position) / static_cast<float>(subPixmaps - 1) * (vmax - vmin);
}

void CVerticalSwitch::draw(CDrawContext* context) {
  if (background == nullptr) return;
  background->draw(context, size, CPoint(offset.x, offset.y + frameForValue() * heightOfOneImage));
}

CMouseEventResult CVerticalSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CVerticalSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!isEditing()) return kMouseEventNotHandled;
  if (!buttons.isLeftButton() || subPixmaps <= 0 || heightOfOneImage <= 0)
    return kMouseEventHandled;
  // Bands of heightOfOneImage / n pixels from the top; past either end the value is limited.
  const CCoord bandHeight = heightOfOneImage / subPixmaps;
  const int32_t band = static_cast<int32_t>((where.y - size.top) / bandHeight);
  const float before = getValue();
  setValue(valueForPosition(band));
  if (getValue() != before) {
    valueChanged();
    setDirty(true);
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CVerticalSwitch::onMouseUp(CPoint&, const CButtonState&) {
  if (!isEditing()) return kMouseEventNotHandled;
  endEdit();
  return kMouseEventHandled;
}

int32_t CVerticalSwitch::onKeyDown(CKeyCode& keyCode) {
  if (keyCode.modifier != 0 || (keyCode.virt != kVKeyUp && keyCode.virt != kVKeyDown)) return -1;
  const int32_t position = frameForValue() + (keyCode.virt == kVKeyUp ? -1 : 1);
  if (position < 0 || position >= subPixmaps) return 1;
  const float before = getValue();
  setValue(valueForPosition(position));
  if (getValue() != before) {
    setDirty(true);
    invalid();
    beginEdit();
    if (!isEditing()) return 1; // the host closed the editor at the begin
    valueChanged();
    endEdit();
  }
  return 1;
}
