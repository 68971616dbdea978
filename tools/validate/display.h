// The host's windowing side, one implementation per system (display_x11.cpp,
// display_win32.cpp): parent windows for the editor, what the server holds (child windows,
// top-level windows, per-client resources), and synthetic mouse input for editor gestures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ChildWindow {
  uintptr_t id;
  int width;
  int height;
  bool viewable;
};

// What the display server holds for all its clients together.
struct ServerResources {
  long clients = 0;
  long windows = 0;
  long pixmaps = 0;
  long graphicContexts = 0;
  long total = 0; // every resource of every type
  bool operator==(const ServerResources& other) const {
    return clients == other.clients && windows == other.windows && pixmaps == other.pixmaps &&
           graphicContexts == other.graphicContexts && total == other.total;
  }
};

class HostDisplay {
public:
  // The display named by the environment; null with `why` set when there is none.
  static std::unique_ptr<HostDisplay> open(std::string& why);
  virtual ~HostDisplay() {}

  // A mapped top-level window at the screen's top left corner.
  virtual uintptr_t createParent(int width, int height) = 0;
  virtual void destroyWindow(uintptr_t window) = 0;
  // What effEditOpen receives for this parent window.
  void* editorParent(uintptr_t window) const { return reinterpret_cast<void*>(window); }

  virtual std::vector<ChildWindow> children(uintptr_t parent) = 0;
  virtual int topLevelWindowCount() = 0;
  // False when the server cannot tell (no resource extension).
  virtual bool resources(ServerResources& counts) = 0;

  // Synthetic mouse input at window coordinates of `window`.
  virtual void click(uintptr_t window, int x, int y) = 0;
  virtual void drag(uintptr_t window, int x0, int y0, int x1, int y1, int steps) = 0;
  // Waits until the server has handled everything this connection sent.
  virtual void sync() = 0;
  // Protocol errors the server reported to any connection of this process but our own
  // (the plug-in's), since the last call.
  virtual long takeForeignErrors() = 0;
  // Whether the process-wide error handler is still the host's (a plug-in must not replace it).
  virtual bool errorHandlerIntact() = 0;
};
