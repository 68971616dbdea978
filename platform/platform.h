// The operating-system calls the editor binding needs: a millisecond tick count and a sleep
// (clock.cpp, which a test program may replace at link time), OLE set-up for the editor's thread,
// and the primitives of the walk that resizes the chain of native windows around a frame. One
// implementation file per system: linux.cpp, windows.cpp.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic system clock, wrapping at 2^32 (about 49.7 days).
uint32_t tickCount();
// Suspends the calling thread for about `milliseconds`.
void sleepMilliseconds(uint32_t milliseconds);

// The system's own clock and sleep behind tickCount and sleepMilliseconds.
uint32_t systemTickCount();
void systemSleep(uint32_t milliseconds);

// OleInitialize(nullptr) / OleUninitialize() on Windows; nothing elsewhere.
void initializeOle();
void uninitializeOle();

// A native window: on Windows `id` is the HWND and `connection` is null; on Linux `id` is the
// X11 window id and `connection` the xcb_connection_t it belongs to.
struct NativeWindow {
  void* connection = nullptr;
  uintptr_t id = 0;

  bool isNull() const { return id == 0; }
};

// Outer edges of a window in screen pixels, frame included.
struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
};

// The window that holds `window`; null for a top-level window or when it cannot be asked.
NativeWindow parentWindow(const NativeWindow& window);
// Whether `window` is an MDI client area (Windows' class "MDIClient"); never on X11.
bool isMdiClient(const NativeWindow& window);
ScreenRect windowRect(const NativeWindow& window);
// Resizes without moving; failures (a window that is already gone) are ignored.
void resizeWindow(const NativeWindow& window, int32_t width, int32_t height);
// The height of a dialog frame border (Windows' SM_CYDLGFRAME).
int32_t dialogFrameHeight();

// The scale factor the desktop asks of windows shown on `window`'s screen (any screen of the
// display for a null window): 1 at 96 dpi. On X11 the Xft.dpi resource of the display over 96;
// on Windows the DPI of the window's monitor (the system's without a window) over 96 when the
// calling thread is DPI-aware, else 1, as the system scales an unaware thread's windows itself.
// 1 when the desktop does not say. Never changes the process's or the thread's DPI awareness.
double desktopScaleFactor(const NativeWindow& window);

#ifdef _WIN32
// Removes at most one pending WM_PAINT of the calling thread, for any window, and dispatches
// it. Answers whether there was one.
bool dispatchOnePendingPaintMessage();
#endif

} // namespace platform
