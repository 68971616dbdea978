// Which back end a new frame gets.
#include "iplatformframe.h"
#include "offscreenframe.h"

#ifdef _WIN32
#include "win32frame.h"
#else
#include "x11frame.h"
#endif

IPlatformFrame* createPlatformFrame(IPlatformFrameCallback* callback, const CRect& size,
                                    void* parent) {
  if (parent == nullptr) return new OffscreenFrame(callback);
    // The parent is a window id and nothing else: it is handed to the window system, never read.
#ifdef _WIN32
  if (IPlatformFrame* window = createWin32Frame(callback, size, parent)) return window;
#else
  if (IPlatformFrame* window = X11Frame::create(callback, size, parent)) return window;
#endif
  // No window could be made (no display, a parent that is gone or is no window): the frame
  // still works, it just shows nothing.
  return new OffscreenFrame(callback);
}
