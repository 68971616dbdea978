// Which back end a new frame gets.
#include "iplatformframe.h"
#include "offscreenframe.h"
#include "offscreentarget.h"

#ifdef _WIN32
#include "win32frame.h"
#else
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
#ifdef _WIN32
  if (IPlatformFrame* window = createWin32Frame(callback, size, parent)) return window;
#else
  if (IPlatformFrame* window = X11Frame::create(callback, size, parent)) return window;
#endif
  // No window could be made (no display, a parent that is gone): the frame still works, it just
  // shows nothing.
  return new OffscreenFrame(callback, size, nullptr);
}
