#include "x11_host_window.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace sparkwell_test {

X11HostWindow::X11HostWindow(int width, int height) {
  display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  // No window manager runs on the test server; this keeps the window where it is put anyway.
  attributes.override_redirect = True;
  attributes.background_pixel = WhitePixel(display, screen);
  window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                         CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapRaised(display, window);
  XSync(display, False);
}

X11HostWindow::~X11HostWindow() {
  if (display == nullptr) return;
  if (window != 0) XDestroyWindow(display, window);
  XCloseDisplay(display);
}

std::vector<Window> X11HostWindow::children() {
  XSync(display, False);
  Window root = 0, parent = 0;
  Window* list = nullptr;
  unsigned count = 0;
  std::vector<Window> result;
  if (XQueryTree(display, window, &root, &parent, &list, &count) != 0 && list != nullptr) {
    result.assign(list, list + count);
    XFree(list);
  }
  return result;
}

void X11HostWindow::sizeOf(Window child, int& width, int& height) {
  width = height = 0;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, child, &attributes) == 0) return;
  width = attributes.width;
  height = attributes.height;
}

bool X11HostWindow::isViewable(Window child) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, child, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

RgbImage X11HostWindow::capture(Window child, int width, int height) {
  RgbImage image;
  XImage* shot = XGetImage(display, child, 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (shot == nullptr) return image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.pixels[static_cast<size_t>(y) * width + x] =
          static_cast<uint32_t>(XGetPixel(shot, x, y)) & 0xffffffu;
  XDestroyImage(shot);
  return image;
}

void X11HostWindow::expose(Window child, int x, int y, int width, int height) {
  XClearArea(display, child, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
             True);
  XSync(display, False);
}

void X11HostWindow::movePointer(int x, int y) {
  // Our window sits at the screen's origin, so its coordinates are the screen's.
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  XSync(display, False);
}

void X11HostWindow::pressLeftButton() {
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XSync(display, False);
}

void X11HostWindow::releaseLeftButton() {
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
}

void X11HostWindow::idleFor(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    if (idle) idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < end);
}

void X11HostWindow::click(int x, int y) {
  movePointer(x, y);
  idleFor(20);
  pressLeftButton();
  idleFor(20);
  releaseLeftButton();
  idleFor(40);
}

void X11HostWindow::drag(int x, int y, int dx, int dy, int steps) {
  movePointer(x, y);
  idleFor(20);
  pressLeftButton();
  idleFor(20);
  for (int step = 1; step <= steps; ++step) {
    movePointer(x + dx * step / steps, y + dy * step / steps);
    idleFor(15);
  }
  releaseLeftButton();
  idleFor(40);
}

} // namespace sparkwell_test
