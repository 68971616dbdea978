#include "cview.h"

#include "cbitmap.h"
#include "cframe.h"

CView::CView(const CRect& size) : size(size) {}

CView::~CView() {
  setBackground(nullptr);
}

void CView::draw(CDrawContext* context) {
  if (background != nullptr) background->draw(context, size);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
  return kMouseEventNotImplemented;
}

bool CView::onWheel(const CPoint&, const float&, const CButtonState&) {
  return false;
}

int32_t CView::onKeyDown(CKeyCode&) {
  return -1;
}

int32_t CView::onKeyUp(CKeyCode&) {
  return -1;
}

void CView::setBackground(CBitmap* bitmap) {
  if (bitmap == background) return;
  if (bitmap != nullptr) bitmap->remember();
  if (background != nullptr) background->forget();
  background = bitmap;
  invalid(); // a new picture must show
}

void CView::setVisible(bool state) {
  if (state) {
    visible = true;
    invalid();
  } else {
    invalid();
    visible = false;
    // A hidden view must not go on taking keys.
    if (frame != nullptr && frame->getFocusView() == this) frame->setFocusView(nullptr);
  }
}

void CView::invalid() {
  if (visible && frame != nullptr) frame->invalidRect(size);
}

void CView::attached(CFrame* parent) {
  frame = parent;
  invalid();
}

void CView::removed() {
  frame = nullptr;
}
