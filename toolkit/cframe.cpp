#include "cframe.h"

#include <algorithm>
#include <utility>

#include "cbitmap.h"
#include "cdrawcontext.h"
#include "vstguieditorinterface.h"

namespace {

// Keeps a view alive while it handles an event that might remove it, and the frame itself
// while it handles a call that might reach the host, which may close the editor from there.
class ViewGuard {
public:
  explicit ViewGuard(CBaseObject* held) : view(held) { view->remember(); }
  ~ViewGuard() { view->forget(); }
  ViewGuard(const ViewGuard&) = delete;
  ViewGuard& operator=(const ViewGuard&) = delete;

private:
  CBaseObject* view;
};

constexpr uint32_t kOpaqueBlack = 0xff000000u;

int32_t pixelSize(CCoord length) {
  return length > 0 ? static_cast<int32_t>(length) : 0;
}

} // namespace

CFrame::CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor, double scale)
    : CView(size), systemWindow(systemWindow), editor(editor), scale(scale > 0 ? scale : 1.0),
      composed(blankImage()) {
  frame = this;
  invalidRegion.add(bounds());
  platformFrame.reset(createPlatformFrame(this, deviceRect(size, this->scale), systemWindow));
}

PixelImage CFrame::blankImage() const {
  const CRect device = getDeviceSize();
  return PixelImage(pixelSize(device.getWidth()), pixelSize(device.getHeight()), kOpaqueBlack);
}

CPoint CFrame::framePoint(const CPoint& device) const {
  return scale == 1.0 ? device : CPoint(device.x / scale, device.y / scale);
}

CFrame::~CFrame() {
  closed = true;
  destroying = true;
  removeAll();
  platformFrame.reset(); // closes the window while the frame is still whole
  frame = nullptr;
}

void CFrame::close() {
  if (closed) return;
  closed = true;
  mouseDownView = nullptr;
  removeAll();
  editor = nullptr;
  forget();
}

CView* CFrame::getView(int32_t index) const {
  return index >= 0 && index < getNbViews() ? views[static_cast<size_t>(index)] : nullptr;
}

bool CFrame::isChild(const CView* view) const {
  return std::find(views.begin(), views.end(), view) != views.end();
}

bool CFrame::addView(CView* view) {
  if (view == nullptr || view == this || view->getFrame() != nullptr) return false;
  views.push_back(view);
  view->attached(this);
  return true;
}

void CFrame::endOpenEdit(CView* view) {
  view->onMouseCancel();
}

bool CFrame::removeView(CView* view, bool withForget) {
  const auto found = std::find(views.begin(), views.end(), view);
  if (found == views.end()) return false;
  if (mouseDownView == view) mouseDownView = nullptr;
  endOpenEdit(view);
  if (focusView == view) focusView = nullptr;
  invalidRect(view->getViewSize());
  // Ending the edit ran the host's and the listener's code, which may have removed it already.
  const auto stillThere = std::find(views.begin(), views.end(), view);
  if (stillThere == views.end()) return true;
  views.erase(stillThere);
  view->removed();
  if (withForget) view->forget();
  return true;
}

void CFrame::removeAll(bool withForget) {
  while (!views.empty())
    removeView(views.back(), withForget);
}

void CFrame::draw(CDrawContext* context) {
  context->fillRect(bounds(), kOpaqueBlack);
  if (background != nullptr) background->draw(context, bounds());
  const CRect area = context->getClipRect();
  for (CView* view : views) {
    if (!view->isVisible() || !view->getViewSize().rectOverlap(area)) continue;
    CRect clip = view->getViewSize();
    context->setClipRect(clip.bound(area));
    view->draw(context);
  }
  context->setClipRect(area);
}

void CFrame::repaint() {
  for (CView* view : views)
    if (view->isVisible() && view->isDirty()) {
      CRect area = view->getViewSize();
      invalidRegion.add(area.bound(bounds()));
    }
  if (invalidRegion.isEmpty()) return;
  invalidRegion.takeInto(repainting);
  for (const CRect& area : repainting) {
    CDrawContext context(composed, area, scale);
    draw(&context);
  }
  for (CView* view : views) {
    if (!view->isVisible()) continue;
    for (const CRect& area : repainting)
      if (view->getViewSize().rectOverlap(area)) {
        view->setDirty(false);
        break;
      }
  }
  if (platformFrame)
    for (const CRect& area : repainting)
      platformFrame->present(composed, deviceRect(area, scale));
}

void CFrame::idle() {
  // An event's handler may reach the host, and the host may close the editor from there: the
  // frame and its window stay alive until this pass is over.
  remember();
  if (platformFrame && !closed) platformFrame->pollEvents();
  if (isVisible() && !closed) repaint();
  forget();
}

void CFrame::setVisible(bool state) {
  if (state) {
    if (visible) return; // what the window shows is current already
    visible = true;
    invalid();
  } else {
    invalid();
    visible = false;
  }
}

void CFrame::invalid() {
  invalidRect(bounds());
}

void CFrame::invalidRect(const CRect& area) {
  if (!visible) return;
  CRect bounded = area;
  invalidRegion.add(bounded.bound(bounds()));
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (closed) return kMouseEventNotHandled;
  ViewGuard self(this);
  lastMousePosition = where;
  if (mouseDownView != nullptr) {
    // The mouse up of the last click never came; its edit must still end.
    CView* unfinished = mouseDownView;
    mouseDownView = nullptr;
    endOpenEdit(unfinished);
    if (closed) return kMouseEventNotHandled;
  }
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    CView* view = *it;
    if (!view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where)) continue;
    ViewGuard guard(view);
    if (view->wantsFocus()) setFocusView(view);
    if ((buttons & (kAlt | kShift | kControl | kApple | kRButton)) != 0 &&
        view->onModifiedMouseDown(buttons))
      return kMouseEventHandled;
    const CMouseEventResult result = view->onMouseDown(where, buttons);
    // The host may have closed the editor, or the view left the frame: the rest of the list is
    // not what it was.
    if (closed || !isChild(view)) return result;
    if (result != kMouseEventNotHandled && result != kMouseEventNotImplemented) {
      if (result == kMouseEventHandled) mouseDownView = view;
      return result;
    }
    if (!view->getTransparency()) return result;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (closed) return kMouseEventNotHandled;
  ViewGuard self(this);
  lastMousePosition = where;
  if (mouseDownView == nullptr) return kMouseEventNotHandled;
  ViewGuard guard(mouseDownView);
  return mouseDownView->onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (closed) return kMouseEventNotHandled;
  ViewGuard self(this);
  lastMousePosition = where;
  CView* view = mouseDownView;
  if (view == nullptr) return kMouseEventNotHandled;
  mouseDownView = nullptr;
  ViewGuard guard(view);
  return view->onMouseUp(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  if (closed || mouseDownView != nullptr) return false; // no wheel during a drag
  ViewGuard self(this);
  for (auto it = views.rbegin(); it != views.rend(); ++it) {
    CView* view = *it;
    if (!view->isVisible() || !view->getMouseEnabled() || !view->hitTest(where)) continue;
    ViewGuard guard(view);
    if (view->onWheel(where, distance, buttons)) return true;
    if (closed || !isChild(view)) return false;
    if (!view->getTransparency()) return false;
  }
  return false;
}

int32_t CFrame::onKeyDown(CKeyCode& keyCode) {
  if (closed) return -1;
  ViewGuard self(this);
  int32_t result = -1;
  if (focusView != nullptr && focusView->getMouseEnabled()) {
    ViewGuard guard(focusView);
    result = focusView->onKeyDown(keyCode);
  }
  if (closed) return result;
  if (result == -1 && keyCode.virt == kVKeyTab &&
      advanceNextFocusView(focusView, keyCode.modifier == kModifierShift))
    result = 1;
  return result;
}

int32_t CFrame::onKeyUp(CKeyCode& keyCode) {
  if (closed || focusView == nullptr || !focusView->getMouseEnabled()) return -1;
  ViewGuard self(this);
  ViewGuard guard(focusView);
  return focusView->onKeyUp(keyCode);
}

bool CFrame::setFocusView(CView* view) {
  if (view != nullptr && (!isChild(view) || !view->wantsFocus())) return false;
  focusView = view;
  return true;
}

bool CFrame::advanceNextFocusView(CView* from, bool reverse) {
  std::vector<CView*> candidates;
  for (CView* view : views)
    if (view->isVisible() && view->getMouseEnabled() && view->wantsFocus())
      candidates.push_back(view);
  if (candidates.empty()) return false;
  if (reverse) std::reverse(candidates.begin(), candidates.end());
  const auto current = std::find(candidates.begin(), candidates.end(), from);
  const bool wrap = current == candidates.end() || current + 1 == candidates.end();
  return setFocusView(wrap ? candidates.front() : *(current + 1));
}

int32_t CFrame::getKnobMode() const {
  return editor != nullptr ? editor->getKnobMode() : static_cast<int32_t>(kCircularMode);
}

void CFrame::beginEdit(int32_t tag) {
  if (editor != nullptr) editor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
  if (editor != nullptr) editor->endEdit(tag);
}

bool CFrame::setSize(CCoord width, CCoord height) {
  const CRect newSize(size.left, size.top, size.left + width, size.top + height);
  if (newSize == size) return true;
  if (editor != nullptr &&
      !editor->beforeSizeChange(deviceRect(newSize, scale), deviceRect(size, scale)))
    return false;
  size = newSize;
  composed = blankImage();
  if (platformFrame) {
    platformFrame->setSize(deviceRect(newSize, scale));
    platformFrame->present(composed, CRect());
  }
  invalid();
  return true;
}

void CFrame::setScale(double factor) {
  if (!(factor > 0) || factor == scale) return;
  scale = factor;
  composed = blankImage();
  if (platformFrame) {
    platformFrame->setSize(deviceRect(size, scale));
    platformFrame->present(composed, CRect());
  }
  invalid();
}

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
  if (platformFrame && platformFrame->getCurrentMousePosition(where)) {
    where = framePoint(where);
    return true;
  }
  where = lastMousePosition;
  return true;
}

bool CFrame::handleOnePendingPaint() {
  if (!platformFrame || closed) return false;
  remember(); // as in idle()
  const bool handled = platformFrame->handleOnePendingPaint();
  forget();
  return handled;
}

void CFrame::platformDrawRect(const CRect& area) {
  if (closed) return;
  ViewGuard self(this);
  if (isVisible()) repaint();
  CRect shown = area;
  shown.bound(getDeviceSize());
  if (platformFrame && !shown.isEmpty()) platformFrame->present(composed, shown);
}

CMouseEventResult CFrame::platformOnMouseDown(CPoint& where, const CButtonState& buttons) {
  CPoint inFrame = framePoint(where);
  return onMouseDown(inFrame, buttons);
}

CMouseEventResult CFrame::platformOnMouseMoved(CPoint& where, const CButtonState& buttons) {
  CPoint inFrame = framePoint(where);
  return onMouseMoved(inFrame, buttons);
}

CMouseEventResult CFrame::platformOnMouseUp(CPoint& where, const CButtonState& buttons) {
  CPoint inFrame = framePoint(where);
  return onMouseUp(inFrame, buttons);
}

bool CFrame::platformOnMouseWheel(const CPoint& where, float distance,
                                  const CButtonState& buttons) {
  lastMousePosition = framePoint(where);
  return onWheel(lastMousePosition, distance, buttons);
}

void CFrame::platformScaleChanged(double factor) {
  if (closed || editor == nullptr) return;
  ViewGuard self(this);
  editor->desktopScaleChanged(factor);
}

int32_t CFrame::platformOnKeyDown(CKeyCode& keyCode) {
  return onKeyDown(keyCode);
}

int32_t CFrame::platformOnKeyUp(CKeyCode& keyCode) {
  return onKeyUp(keyCode);
}

void CFrame::platformRemember() {
  if (destroying) return;
  remember();
  if (heldEvents++ == 0 && editor != nullptr) {
    eventOwner = editor;
    eventOwner->beginEvent();
  }
}

void CFrame::platformForget() {
  if (destroying) return;
  VSTGUIEditorInterface* owner = nullptr;
  if (--heldEvents == 0) std::swap(owner, eventOwner);
  forget();                                // the frame may go here
  if (owner != nullptr) owner->endEvent(); // and the owner here
}
