// The window a frame lives in, behind one small interface so the frame itself never sees a
// window system. Back ends: X11 (x11frame.cpp), off-screen (offscreenframe.cpp) and, on
// Windows, Win32. createPlatformFrame picks one (platformframe.cpp).
#pragma once

#include "cbuttonstate.h"
#include "ckeycode.h"
#include "crect.h"
#include "pixelimage.h"
#include "platform.h"

// What a back end tells its frame; all coordinates are the window's (device) pixels.
class IPlatformFrameCallback {
public:
  // The window needs `area` shown again (an expose or WM_PAINT).
  virtual void platformDrawRect(const CRect& area) = 0;
  virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
  virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
  // One notch is a distance of 1, positive upward.
  virtual bool platformOnMouseWheel(const CPoint& where, float distance,
                                    const CButtonState& buttons) = 0;
  virtual int32_t platformOnKeyDown(CKeyCode& keyCode) = 0;
  virtual int32_t platformOnKeyUp(CKeyCode& keyCode) = 0;
  // The window system moved the window to a screen of another scale factor (1 at 96 dpi).
  virtual void platformScaleChanged(double /*factor*/) {}
  // Keep the frame alive for as long as a back end is inside one of its events (through
  // PlatformFrameHold): a handler may reach the host, and the host may close the editor there.
  virtual void platformRemember() = 0;
  virtual void platformForget() = 0;

protected:
  ~IPlatformFrameCallback() = default;
};

// Held by a back end around everything it does with one event, its own state after the
// frame's handler included: the frame, and with it the back end, lives until the hold ends.
class PlatformFrameHold {
public:
  explicit PlatformFrameHold(IPlatformFrameCallback* held) : frame(held) {
    frame->platformRemember();
  }
  ~PlatformFrameHold() { frame->platformForget(); }
  PlatformFrameHold(const PlatformFrameHold&) = delete;
  PlatformFrameHold& operator=(const PlatformFrameHold&) = delete;

private:
  IPlatformFrameCallback* frame;
};

class IPlatformFrame {
public:
  virtual ~IPlatformFrame() = default; // closes the window

  // Shows `area` of the frame's composed image (the window's size) in the window; an empty
  // area only makes a new image known.
  virtual void present(const PixelImage& image, const CRect& area) = 0;
  // Delivers the window system's pending events to the callback. The frame calls it from its
  // idle; a back end whose events arrive by themselves (Win32's message loop) does nothing.
  virtual void pollEvents() = 0;
  // Handles at most one pending paint request: X11 of this window, Win32 of any window of the
  // calling thread. Answers whether there was one.
  virtual bool handleOnePendingPaint() = 0;
  // The pointer's position over the window, when the window system can tell.
  virtual bool getCurrentMousePosition(CPoint& where) = 0;
  // Resizes the window to the frame's new device size.
  virtual void setSize(const CRect& newSize) = 0;
  // The frame's own native window, for the binding's walk over its parents; null without one.
  virtual platform::NativeWindow getNativeWindow() const = 0;
};

// Makes the back end for a frame of `size` inside the window `parent`: off-screen when `parent`
// is null, otherwise the system's window back end, and off-screen again when no window can be
// made there. `parent` is only ever passed to the window system as a window id.
IPlatformFrame* createPlatformFrame(IPlatformFrameCallback* callback, const CRect& size,
                                    void* parent);
