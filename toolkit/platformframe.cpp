// Which back end a new frame gets.
#include "iplatformframe.h"
#include "offscreenframe.h"
#include "offscreentarget.h"

#ifndef _WIN32
#include "x11frame.h"
#endif

namespace {

bool offscreenSwitch = false;

} // namespace

void setOffscreenFrames(bool offscreen) {
  offscreenSwitch = offscreen;
}

bool offscreenFramesRequested() {
  return offscreenSwitch;
}

IPlatformFrame* createPlatformFrame(IPlatformFrameCallback* callback, const CRect& size,
                                    void* parent) {
  SparkwellOffscreenTarget* target = asOffscreenTarget(parent);
  if (parent == nullptr || target != nullptr || offscreenSwitch)
    return new OffscreenFrame(callback, size, target);
#ifndef _WIN32
  if (IPlatformFrame* window = X11Frame::create(callback, size, parent)) return window;
#endif
  // No window could be made (no display, a parent that is gone): the frame still works, it just
  // shows nothing.
  return new OffscreenFrame(callback, size, nullptr);
}
