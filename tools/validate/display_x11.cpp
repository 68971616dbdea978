// X11 implementation of display.h: the host's own connection, parent windows, the X
// resource extension for what the server holds, and XTest for synthetic input.
#include "display.h"

#include "system.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>

#include <atomic>

namespace {
Display* hostConnection = nullptr;
std::atomic<long> foreignErrors{0};
std::atomic<long> ownErrors{0};

// Hosts install an error handler that reports instead of exiting (Xlib's default handler
// ends the process). Errors on the plug-in's own connection are counted for the checks.
int recordError(Display* display, XErrorEvent*) {
  if (display == hostConnection)
    ownErrors.fetch_add(1);
  else
    foreignErrors.fetch_add(1);
  return 0;
}

class X11Display : public HostDisplay {
public:
  explicit X11Display(Display* display) : display(display) {
    hostConnection = display;
    XSetErrorHandler(recordError);
    int eventBase, errorBase, major, minor;
    haveXTest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
    haveXRes = XResQueryExtension(display, &eventBase, &errorBase);
    windowAtom = XInternAtom(display, "WINDOW", False);
    pixmapAtom = XInternAtom(display, "PIXMAP", False);
    gcAtom = XInternAtom(display, "GC", False);
  }

  ~X11Display() override {
    XCloseDisplay(display);
    hostConnection = nullptr;
  }

  uintptr_t createParent(int width, int height) override {
    XSetWindowAttributes attributes;
    attributes.override_redirect = True; // placed exactly where asked, window manager or not
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    attributes.event_mask = StructureNotifyMask;
    Window window =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    XEvent event;
    for (int wait = 0; wait < 200; ++wait) {
      if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) break;
      sleepMilliseconds(5);
    }
    return static_cast<uintptr_t>(window);
  }

  void destroyWindow(uintptr_t window) override {
    XDestroyWindow(display, static_cast<Window>(window));
    XSync(display, False);
    // Drop what was queued for the window, so later event checks start clean.
    XEvent event;
    while (XCheckWindowEvent(display, static_cast<Window>(window), ~0L, &event)) {
    }
  }

  std::vector<ChildWindow> children(uintptr_t parent) override {
    std::vector<ChildWindow> found;
    XSync(display, False);
    Window root, parentOfParent, *list = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, static_cast<Window>(parent), &root, &parentOfParent, &list, &count))
      return found;
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display, list[i], &attributes)) continue;
      found.push_back(ChildWindow{static_cast<uintptr_t>(list[i]), attributes.width,
                                  attributes.height, attributes.map_state == IsViewable});
    }
    if (list) XFree(list);
    return found;
  }

  int topLevelWindowCount() override {
    XSync(display, False);
    Window root, parent, *list = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &list, &count)) return -1;
    if (list) XFree(list);
    return static_cast<int>(count);
  }

  bool resources(ServerResources& counts) override {
    if (!haveXRes) return false;
    XSync(display, False);
    counts = ServerResources();
    int clientCount = 0;
    XResClient* clients = nullptr;
    if (!XResQueryClients(display, &clientCount, &clients)) return false;
    counts.clients = clientCount;
    for (int i = 0; i < clientCount; ++i) {
      int typeCount = 0;
      XResType* types = nullptr;
      if (!XResQueryClientResources(display, clients[i].resource_base, &typeCount, &types))
        continue;
      for (int t = 0; t < typeCount; ++t) {
        long n = static_cast<long>(types[t].count);
        counts.total += n;
        if (types[t].resource_type == windowAtom) counts.windows += n;
        if (types[t].resource_type == pixmapAtom) counts.pixmaps += n;
        if (types[t].resource_type == gcAtom) counts.graphicContexts += n;
      }
      if (types) XFree(types);
    }
    if (clients) XFree(clients);
    return true;
  }

  void click(uintptr_t window, int x, int y) override {
    if (!moveTo(window, x, y)) return;
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
  }

  void drag(uintptr_t window, int x0, int y0, int x1, int y1, int steps) override {
    if (!moveTo(window, x0, y0)) return;
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    for (int step = 1; step <= steps; ++step) {
      moveTo(window, x0 + (x1 - x0) * step / steps, y0 + (y1 - y0) * step / steps);
      XSync(display, False);
    }
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
  }

  void sync() override { XSync(display, False); }

  long takeForeignErrors() override { return foreignErrors.exchange(0); }

  bool errorHandlerIntact() override {
    XErrorHandler current = XSetErrorHandler(recordError);
    return current == recordError;
  }

private:
  // Input goes to whatever window is on top at the point: the window is raised first, as a
  // user brings a host window to the front before clicking into it.
  bool moveTo(uintptr_t window, int x, int y) {
    if (!haveXTest) return false;
    XRaiseWindow(display, static_cast<Window>(window));
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, static_cast<Window>(window), DefaultRootWindow(display), x, y,
                          &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    return true;
  }

  Display* display;
  bool haveXTest = false;
  bool haveXRes = false;
  Atom windowAtom, pixmapAtom, gcAtom;
};
} // namespace

std::unique_ptr<HostDisplay> HostDisplay::open(std::string& why) {
  // Hosts that drive plug-in editors from several threads enable Xlib's locking first.
  static bool threadsReady = XInitThreads() != 0;
  (void)threadsReady;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    why = "cannot open the X display (is DISPLAY set and a server running?)";
    return nullptr;
  }
  return std::unique_ptr<HostDisplay>(new X11Display(display));
}
