// Linux: a monotonic millisecond clock, nanosleep, no OLE, and the window chain over X11
// parents asked through the frame's own xcb connection. xcb hands every protocol error back to
// the caller, so a host window that disappears mid-walk ends the walk instead of the process.
#include <time.h>

#include <cstdlib>
#include <string>
#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include "platform.h"

namespace platform {

namespace {

xcb_connection_t* connectionOf(const NativeWindow& window) {
  return static_cast<xcb_connection_t*>(window.connection);
}

} // namespace

uint32_t systemTickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t milliseconds =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(milliseconds); // wraps like the Windows tick count
}

void systemSleep(uint32_t milliseconds) {
  timespec duration{static_cast<time_t>(milliseconds / 1000),
                    static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&duration, &duration) != 0) {
  }
}

void initializeOle() {}
void uninitializeOle() {}

NativeWindow parentWindow(const NativeWindow& window) {
  if (window.isNull() || window.connection == nullptr) return {};
  xcb_connection_t* connection = connectionOf(window);
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
      connection, xcb_query_tree(connection, static_cast<xcb_window_t>(window.id)), nullptr);
  if (tree == nullptr) return {};
  // A top-level window's parent is the root (or a window manager's decoration): the walk ends
  // at the top-level window, which the window manager resizes on request.
  const bool topLevel = tree->parent == tree->root || tree->parent == XCB_NONE;
  const NativeWindow parent{window.connection, topLevel ? 0u : tree->parent};
  std::free(tree);
  return parent;
}

bool isMdiClient(const NativeWindow&) {
  return false;
}

ScreenRect windowRect(const NativeWindow& window) {
  if (window.isNull() || window.connection == nullptr) return {};
  xcb_connection_t* connection = connectionOf(window);
  const xcb_window_t id = static_cast<xcb_window_t>(window.id);
  xcb_get_geometry_reply_t* geometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
  if (geometry == nullptr) return {};
  ScreenRect rect;
  xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
      connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr);
  if (origin != nullptr) {
    rect.left = origin->dst_x - geometry->border_width;
    rect.top = origin->dst_y - geometry->border_width;
    std::free(origin);
  }
  rect.right = rect.left + geometry->width + 2 * geometry->border_width;
  rect.bottom = rect.top + geometry->height + 2 * geometry->border_width;
  std::free(geometry);
  return rect;
}

void resizeWindow(const NativeWindow& window, int32_t width, int32_t height) {
  if (window.isNull() || window.connection == nullptr || width <= 0 || height <= 0) return;
  xcb_connection_t* connection = connectionOf(window);
  const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  xcb_void_cookie_t done =
      xcb_configure_window_checked(connection, static_cast<xcb_window_t>(window.id),
                                   XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  std::free(xcb_request_check(connection, done)); // a vanished window is not our error
}

namespace {

constexpr double kStandardDpi = 96.0;

// The value of the resource `name` ("Xft.dpi") in the resource database text of the display:
// lines "name:\tvalue". 0 when it is not there or not a positive number.
double resourceNumber(const std::string& database, const std::string& name) {
  size_t line = 0;
  while (line < database.size()) {
    size_t end = database.find('\n', line);
    if (end == std::string::npos) end = database.size();
    if (database.compare(line, name.size() + 1, name + ":") == 0) {
      const std::string value =
          database.substr(line + name.size() + 1, end - line - name.size() - 1);
      char* after = nullptr;
      const double number = std::strtod(value.c_str(), &after);
      if (after != value.c_str() && number > 0) return number;
    }
    line = end + 1;
  }
  return 0.0;
}

} // namespace

double desktopScaleFactor(const NativeWindow&) {
  // Our own short connection: the desktop's resources are the display's, whatever the window,
  // and are read again every time, so a changed setting counts from the next window on.
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  double dpi = 0.0;
  if (!xcb_connection_has_error(connection)) {
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
      xcb_screen_next(&screens);
    if (screens.rem) {
      // The whole RESOURCE_MANAGER property of the screen's root window (up to 1 MB).
      xcb_get_property_reply_t* property = xcb_get_property_reply(
          connection,
          xcb_get_property(connection, 0, screens.data->root, XCB_ATOM_RESOURCE_MANAGER,
                           XCB_ATOM_STRING, 0, 1u << 18),
          nullptr);
      if (property != nullptr) {
        const auto* text = static_cast<const char*>(xcb_get_property_value(property));
        const int length = xcb_get_property_value_length(property);
        if (property->format == 8 && length > 0)
          dpi = resourceNumber(std::string(text, static_cast<size_t>(length)), "Xft.dpi");
        std::free(property);
      }
    }
  }
  xcb_disconnect(connection);
  return dpi > 0 ? dpi / kStandardDpi : 1.0;
}

// X11 windows have no dialog frame metric. The classic 3-pixel dialog frame keeps the walk's
// stop rule (a parent exactly one frame wider on each side) the same as on Windows.
int32_t dialogFrameHeight() {
  return 3;
}

} // namespace platform
