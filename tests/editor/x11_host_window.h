// The host side of an editor test on X11: a top-level window that the plug-in's editor opens
// inside (as a host passes its window's id to effEditOpen), real pointer input through the
// XTest extension, and what the windows show.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <vector>

#include "panel_model.h"

namespace sparkwell_test {

// Whether the program's private X server started (x11_test_main.cpp, the main() of the programs
// that link editor_x11_main).
extern bool xvfbStarted;

class X11HostWindow {
public:
  // A mapped top-level window of `width` x `height` at the top left corner of the screen.
  X11HostWindow(int width, int height);
  ~X11HostWindow();
  X11HostWindow(const X11HostWindow&) = delete;
  X11HostWindow& operator=(const X11HostWindow&) = delete;

  bool isOpen() const { return window != 0; }
  // What effEditOpen receives: the window id as a pointer.
  void* parentHandle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

  // The windows the plug-in made inside ours, after every request so far has reached the
  // server.
  std::vector<Window> children();
  // The size of a window, 0 x 0 when it does not exist.
  void sizeOf(Window child, int& width, int& height);
  // Whether `child` is mapped and shows on screen.
  bool isViewable(Window child);
  // What `child` shows.
  RgbImage capture(Window child, int width, int height);
  // Clears an area of `child` to its background and has the server ask its owner to paint it
  // again, as when a window that covered it goes away.
  void expose(Window child, int x, int y, int width, int height);

  // Pointer input as a user gives it, in the coordinates of our window.
  void movePointer(int x, int y);
  void pressLeftButton();
  void releaseLeftButton();

  // What the plug-in's window gets while a test waits: its idle call, about every 5 ms, as a
  // host's UI timer gives it.
  void setIdle(std::function<void()> idleCall) { idle = std::move(idleCall); }
  void idleFor(int milliseconds);
  // A click, and a straight drag in `steps` moves, of the left button, idling between steps.
  void click(int x, int y);
  void drag(int x, int y, int dx, int dy, int steps);

private:
  Display* display = nullptr;
  Window window = 0;
  std::function<void()> idle;
};

} // namespace sparkwell_test
