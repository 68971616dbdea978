// Win32 implementation of display.h: parent windows of the host's own class, child windows
// and GUI object counts from USER and GDI, and mouse input posted to the window under the
// point, which the message pump in sync() delivers (the editor lives on this thread).
#include "display.h"

#include <windows.h>

namespace {
const wchar_t kParentClass[] = L"SparkwellValidateHost";

void registerParentClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kParentClass;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassW(&windowClass);
  registered = true;
}

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

BOOL CALLBACK countOwnWindow(HWND window, LPARAM counter) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// The deepest visible child of `window` under the client point, and the point in its
// client coordinates.
HWND windowAt(HWND window, POINT& point) {
  for (;;) {
    HWND child = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (!child || child == window) return window;
    MapWindowPoints(window, child, &point, 1);
    window = child;
  }
}

class Win32Display : public HostDisplay {
public:
  // Parent windows are children of one top-level window that lives as long as the display,
  // as a host's plug-in containers sit inside its own window (and because destroying a
  // top-level window is slow without a window manager).
  uintptr_t createParent(int width, int height) override {
    registerParentClass();
    if (!hostWindow)
      hostWindow = CreateWindowExW(0, kParentClass, L"Sparkwell validator host",
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1024, 768,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND window =
        CreateWindowExW(0, kParentClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                        height, hostWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    pumpMessages();
    return reinterpret_cast<uintptr_t>(window);
  }

  void destroyWindow(uintptr_t window) override {
    DestroyWindow(reinterpret_cast<HWND>(window));
    pumpMessages();
  }

  std::vector<ChildWindow> children(uintptr_t parent) override {
    pumpMessages();
    std::vector<ChildWindow> found;
    for (HWND child = GetWindow(reinterpret_cast<HWND>(parent), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
      RECT bounds;
      GetWindowRect(child, &bounds);
      found.push_back(ChildWindow{
          reinterpret_cast<uintptr_t>(child), static_cast<int>(bounds.right - bounds.left),
          static_cast<int>(bounds.bottom - bounds.top), IsWindowVisible(child) != FALSE});
    }
    return found;
  }

  int topLevelWindowCount() override {
    int count = 0;
    EnumWindows(countOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
  }

  bool resources(ServerResources& counts) override {
    pumpMessages();
    counts = ServerResources();
    counts.clients = 1;
    counts.windows = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    counts.graphicContexts = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    counts.total = counts.windows + counts.graphicContexts;
    return true;
  }

  void click(uintptr_t window, int x, int y) override {
    POINT point{x, y};
    HWND target = windowAt(reinterpret_cast<HWND>(window), point);
    LPARAM at = MAKELPARAM(point.x, point.y);
    PostMessageW(target, WM_MOUSEMOVE, 0, at);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(target, WM_LBUTTONUP, 0, at);
    pumpMessages();
  }

  void drag(uintptr_t window, int x0, int y0, int x1, int y1, int steps) override {
    POINT start{x0, y0};
    HWND target = windowAt(reinterpret_cast<HWND>(window), start);
    int dx = start.x - x0, dy = start.y - y0; // offset of the target inside the parent
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    for (int step = 1; step <= steps; ++step) {
      int x = x0 + (x1 - x0) * step / steps + dx, y = y0 + (y1 - y0) * step / steps + dy;
      PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    }
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(x1 + dx, y1 + dy));
    pumpMessages();
  }

  void sync() override { pumpMessages(); }
  long takeForeignErrors() override { return 0; }
  bool errorHandlerIntact() override { return true; }

private:
  HWND hostWindow = nullptr;
};
} // namespace

std::unique_ptr<HostDisplay> HostDisplay::open(std::string&) {
  return std::unique_ptr<HostDisplay>(new Win32Display());
}
