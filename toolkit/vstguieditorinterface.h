// What a frame asks of the object that owns it: idle time, the begin and end of a user edit,
// the knob mode and a pending size change. The editor binding implements it.
#pragma once

#include <cstdint>

#include "crect.h"

class CFrame;

// Knob modes a frame's owner may answer from getKnobMode.
enum CKnobMode {
  kCircularMode = 0,
  kRelativCircularMode = 1, // behaves as circular
  kLinearMode = 2,
};

class VSTGUIEditorInterface {
public:
  virtual ~VSTGUIEditorInterface() {}

  // Requested while the toolkit waits for something, so the owner can give the host time.
  virtual void doIdleStuff() {}
  // Asked at every knob mouse down; kLinearMode selects straight drags.
  virtual int32_t getKnobMode() const { return kCircularMode; }
  // The outermost begin and end of a control's edit, with the control's tag.
  virtual void beginEdit(int32_t /*index*/) {}
  virtual void endEdit(int32_t /*index*/) {}
  // Asked before the frame changes its size; false vetoes the change.
  virtual bool beforeSizeChange(const CRect& /*newSize*/, const CRect& /*oldSize*/) { return true; }
  // The window system tells the frame that its screen now has another scale factor.
  virtual void desktopScaleChanged(double /*factor*/) {}
  virtual CFrame* getFrame() const { return frame; }
  // The outermost window event of the frame (a click, a key, an expose) begins and ends. The
  // owner is told of the end even when it closed the frame meanwhile, and must live until then;
  // the end is the last the frame says to it, and the owner may end itself there.
  virtual void beginEvent() {}
  virtual void endEvent() {}

protected:
  VSTGUIEditorInterface() : frame(nullptr) {}

  // The frame of the open window; null while the window is closed.
  CFrame* frame;
};
