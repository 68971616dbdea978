// A rectangle of the frame that draws its background bitmap and may take mouse and key events.
// Views are reference counted; a frame owns the views added to it.
#pragma once

#include "cbaseobject.h"
#include "cbuttonstate.h"
#include "ckeycode.h"
#include "crect.h"

class CBitmap;
class CDrawContext;
class CFrame;

class CView : public CBaseObject {
public:
  explicit CView(const CRect& size);

  // Draws the background bitmap at the view's top left, clipped by the context.
  virtual void draw(CDrawContext* context);

  // Mouse events in frame coordinates. A view that answers kMouseEventHandled to a mouse down
  // receives the moves and the mouse up that follow.
  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  // The mouse up of a mouse down this view handled will not come (the next click arrived
  // first, or the view is leaving the frame); a control ends the edit it opened.
  virtual CMouseEventResult onMouseCancel() { return kMouseEventNotImplemented; }
  // A mouse down with a modifier or the right button, offered before onMouseDown; true when
  // the view has used it up (a control's listener may take it).
  virtual bool onModifiedMouseDown(const CButtonState& /*buttons*/) { return false; }
  // One wheel notch is a distance of 1, positive upward. Answers whether the view used it.
  virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
  // Answers 1 when the view used the key, -1 otherwise.
  virtual int32_t onKeyDown(CKeyCode& keyCode);
  virtual int32_t onKeyUp(CKeyCode& keyCode);
  virtual bool hitTest(const CPoint& where) const { return size.pointInside(where); }

  // Remembers the new bitmap, forgets the old one and invalidates the view's area.
  virtual void setBackground(CBitmap* bitmap);
  CBitmap* getBackground() const { return background; }

  virtual void setDirty(bool state) { dirty = state; }
  virtual bool isDirty() const { return dirty; }

  // Hiding invalidates the view's area, then hides it; showing marks it visible and
  // invalidates its area, on every call.
  virtual void setVisible(bool state);
  bool isVisible() const { return visible; }
  void setMouseEnabled(bool state) { mouseEnabled = state; }
  bool getMouseEnabled() const { return mouseEnabled; }
  // Whether mouse events this view does not handle fall through to the views below it.
  void setTransparency(bool state) { transparent = state; }
  bool getTransparency() const { return transparent; }
  void setWantsFocus(bool state) { focusable = state; }
  bool wantsFocus() const { return focusable; }

  const CRect& getViewSize() const { return size; }
  CCoord getWidth() const { return size.getWidth(); }
  CCoord getHeight() const { return size.getHeight(); }

  // Asks the frame to repaint this view's area; ignored while the view is hidden.
  virtual void invalid();
  CFrame* getFrame() const { return frame; }

  // Called by the frame when the view is added to it and when it is removed.
  virtual void attached(CFrame* parent);
  virtual void removed();

protected:
  ~CView() override;

  CRect size;
  CBitmap* background = nullptr;
  CFrame* frame = nullptr;
  bool dirty = false;
  bool visible = true;
  bool mouseEnabled = true;
  bool transparent = false;
  bool focusable = false;
};
