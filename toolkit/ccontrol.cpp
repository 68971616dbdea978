#include "ccontrol.h"

#include <cmath>

#include "cframe.h"

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
  setBackground(background);
  setWantsFocus(true);
  dirty = true; // a new control has never been drawn
}

float CControl::limited(float candidate) const {
  if (std::isnan(candidate) || candidate < vmin) return vmin;
  if (candidate > vmax) return vmax;
  return candidate;
}

void CControl::setValue(float newValue) {
  value.store(limited(newValue), std::memory_order_relaxed);
}

float CControl::getValueNormalized() const {
  const float range = vmax - vmin;
  return range != 0.0f ? (getValue() - vmin) / range : 0.0f;
}

void CControl::setValueNormalized(float normalized) {
  setValue(vmin + normalized * (vmax - vmin));
}

void CControl::setTag(int32_t newTag) {
  if (listener != nullptr) listener->controlTagWillChange(this);
  tag = newTag;
  if (listener != nullptr) listener->controlTagDidChange(this);
}

void CControl::beginEdit() {
  if (listener != nullptr) listener->controlBeginEdit(this);
  if (editDepth++ == 0 && frame != nullptr) frame->beginEdit(tag);
}

void CControl::endEdit() {
  if (editDepth == 0) return; // an end without a begin would unbalance the host's edit
  if (--editDepth == 0 && frame != nullptr) frame->endEdit(tag);
  if (listener != nullptr) listener->controlEndEdit(this);
}

void CControl::valueChanged() {
  if (listener != nullptr) listener->valueChanged(this);
}

bool CControl::checkDefaultValue(const CButtonState& buttons) {
  if (!buttons.isLeftButton() || buttons.getModifierState() != kControl) return false;
  if (defaultValue != getValue()) {
    beginEdit();
    if (!isEditing()) return true; // the host closed the editor at the begin
    setValue(defaultValue);
    valueChanged();
    endEdit();
  }
  return true;
}

CMouseEventResult CControl::onMouseCancel() {
  while (isEditing())
    endEdit();
  return kMouseEventHandled;
}

bool CControl::onModifiedMouseDown(const CButtonState& buttons) {
  return listener != nullptr && listener->controlModifierClicked(this, buttons) != 0;
}

bool CControl::isDirty() const {
  return dirty || getValue() != lastDrawnValue;
}

void CControl::setDirty(bool state) {
  dirty = state;
  if (!state) lastDrawnValue = getValue();
}
