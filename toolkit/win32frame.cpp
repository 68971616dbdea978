// Win32 back end. The window class belongs to the plug-in module (moduleInstance) and lives
// exactly as long as one of its windows does: the last window to close unregisters it, so the
// host can unload the library and load it again without a stale class pointing into freed
// code. Each window runs on the user-interface thread that opened it; hosts that give every
// editor its own thread open windows of the class from several threads.
#include "win32frame.h"

#include <windows.h>

#include <atomic>

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "moduleinstance.h"
#include "win32keys.h"

namespace {

const wchar_t* const kWindowClass = L"SparkwellFrame";
// WM_DPICHANGED_AFTERPARENT (Windows 10 1703), named here for older headers.
constexpr UINT kDpiChangedAfterParent = 0x02E3;
// Windows of this class that exist in the process, or are about to; the class is registered
// while it is above 0.
std::atomic<int32_t> openWindows{0};

HINSTANCE module() {
  return static_cast<HINSTANCE>(moduleInstance);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool registerWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  // No CS_DBLCLKS: a quick second click is another button down, as the controls expect.
  windowClass.style = 0;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = module();
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
  windowClass.lpszClassName = kWindowClass;
  // A class left behind by a window this module failed to count is still this module's own.
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Windows refuses while a window of the class still exists, another thread's included.
void unregisterWindowClass() {
  if (openWindows.load(std::memory_order_relaxed) == 0) UnregisterClassW(kWindowClass, module());
}

// Modifier keys as the toolkit's button state has them. Alt is not part of a mouse message's
// key state, so it is read from the keyboard.
int32_t modifiersOf(WPARAM keyState) {
  int32_t state = 0;
  if (keyState & MK_SHIFT) state |= kShift;
  if (keyState & MK_CONTROL) state |= kControl;
  if (GetKeyState(VK_MENU) < 0) state |= kAlt;
  return state;
}

int32_t buttonsOf(WPARAM keyState) {
  int32_t state = modifiersOf(keyState);
  if (keyState & MK_LBUTTON) state |= kLButton;
  if (keyState & MK_MBUTTON) state |= kMButton;
  if (keyState & MK_RBUTTON) state |= kRButton;
  return state;
}

CPoint pointOf(LPARAM lParam) {
  return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

class Win32Frame : public IPlatformFrame {
public:
  Win32Frame(IPlatformFrameCallback* callback, const CRect& size, HWND parent)
      : callback(callback) {
    // Counted before the class is registered, so no other thread's last window unregisters it
    // from now on. One that was already on its way out may still do so once: then once more.
    openWindows.fetch_add(1, std::memory_order_relaxed);
    for (int attempt = 0; attempt < 2 && !window; ++attempt)
      if (registerWindowClass())
        window =
            CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                            static_cast<int>(size.left), static_cast<int>(size.top),
                            static_cast<int>(size.getWidth()), static_cast<int>(size.getHeight()),
                            parent, nullptr, module(), this);
    if (!window) {
      openWindows.fetch_sub(1, std::memory_order_relaxed);
      unregisterWindowClass();
    }
  }

  ~Win32Frame() override {
    if (window) {
      // Messages sent while the window goes away must not reach a frame being destroyed.
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (GetCapture() == window) ReleaseCapture();
      DestroyWindow(window);
      windowGone();
    }
    // Also when the host destroyed its window first: the class could not go while that window
    // was still being destroyed.
    unregisterWindowClass();
  }

  bool isOpen() const { return window != nullptr; }

  void present(const PixelImage& image, const CRect& area) override {
    if (!window || image.width <= 0 || image.height <= 0) return;
    // Whole pixels of the area inside the image; only those rows and columns go out.
    const LONG left = std::max<LONG>(0, static_cast<LONG>(std::ceil(area.left)));
    const LONG top = std::max<LONG>(0, static_cast<LONG>(std::ceil(area.top)));
    const LONG right = std::min<LONG>(image.width, static_cast<LONG>(std::ceil(area.right)));
    const LONG bottom = std::min<LONG>(image.height, static_cast<LONG>(std::ceil(area.bottom)));
    if (right <= left || bottom <= top) return;
    HDC context = GetDC(window);
    if (!context) return;
    // The area's rows, seen as a top-down bitmap of their own as wide as the image: its first
    // row is the area's top row, so the source position is simply (left, 0).
    const LONG rows = bottom - top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -rows;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(context, left, top, static_cast<DWORD>(right - left),
                      static_cast<DWORD>(rows), left, 0, 0, static_cast<UINT>(rows),
                      &image.pixels[static_cast<size_t>(top) * static_cast<size_t>(image.width)],
                      &info, DIB_RGB_COLORS);
    ReleaseDC(window, context);
  }

  // Messages reach the window procedure through the host's message loop.
  void pollEvents() override {}

  // The paint may be for any window of the thread: while the editor keeps the thread busy, the
  // host's own windows wait for theirs too.
  bool handleOnePendingPaint() override { return platform::dispatchOnePendingPaintMessage(); }

  bool getCurrentMousePosition(CPoint& where) override {
    POINT point;
    if (!window || !GetCursorPos(&point) || !ScreenToClient(window, &point)) return false;
    where = CPoint(point.x, point.y);
    return true;
  }

  void setSize(const CRect& newSize) override {
    if (window)
      SetWindowPos(window, nullptr, 0, 0, static_cast<int>(newSize.getWidth()),
                   static_cast<int>(newSize.getHeight()),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  platform::NativeWindow getNativeWindow() const override {
    return platform::NativeWindow{nullptr, reinterpret_cast<uintptr_t>(window)};
  }

  // The frame stays alive until the message is handled: the host may close the editor from
  // inside any of the frame's handlers, and this object goes with the frame.
  LRESULT handleHeld(UINT message, WPARAM wParam, LPARAM lParam) {
    PlatformFrameHold hold(callback);
    return handle(message, wParam, lParam);
  }
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
  void mouseDown(int32_t button, WPARAM wParam, LPARAM lParam);
  void mouseUp(int32_t button, WPARAM wParam, LPARAM lParam);
  bool key(bool down, WPARAM wParam, LPARAM lParam);

  void windowGone() {
    window = nullptr;
    openWindows.fetch_sub(1, std::memory_order_relaxed);
  }

  IPlatformFrameCallback* callback;
  HWND window = nullptr;
  // A button went down in the window and has not come up: the window holds the mouse.
  bool dragging = false;
  CPoint lastPoint;
};

void Win32Frame::mouseDown(int32_t button, WPARAM wParam, LPARAM lParam) {
  // A click gives the window the keyboard, so that keys reach the focused control.
  if (GetFocus() != window) SetFocus(window);
  lastPoint = pointOf(lParam);
  if (!dragging) {
    dragging = true;
    SetCapture(window);
  }
  CPoint where = lastPoint;
  callback->platformOnMouseDown(where, CButtonState(button | modifiersOf(wParam)));
}

void Win32Frame::mouseUp(int32_t button, WPARAM wParam, LPARAM lParam) {
  lastPoint = pointOf(lParam);
  // The mouse is let go when the last button comes up; the flag drops first, so the capture
  // change that follows is not taken for a lost drag.
  if (dragging && (wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) == 0) {
    dragging = false;
    ReleaseCapture();
  }
  CPoint where = lastPoint;
  callback->platformOnMouseUp(where, CButtonState(button | modifiersOf(wParam)));
}

bool Win32Frame::key(bool down, WPARAM wParam, LPARAM lParam) {
  CKeyCode code = keyCodeOf(static_cast<UINT>(wParam), lParam);
  if (code.character == 0 && code.virt == 0) return false;
  const int32_t used = down ? callback->platformOnKeyDown(code) : callback->platformOnKeyUp(code);
  return used > 0;
}

LRESULT Win32Frame::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (r.right > r.left && r.bottom > r.top)
      callback->platformDrawRect(CRect(r.left, r.top, r.right, r.bottom));
    EndPaint(window, &paint);
    return 0;
  }
  case WM_ERASEBKGND:
    return 1; // the frame paints every pixel; erasing first would only flicker
  case WM_LBUTTONDOWN:
    mouseDown(kLButton, wParam, lParam);
    return 0;
  case WM_MBUTTONDOWN:
    mouseDown(kMButton, wParam, lParam);
    return 0;
  case WM_RBUTTONDOWN:
    mouseDown(kRButton, wParam, lParam);
    return 0;
  case WM_LBUTTONUP:
    mouseUp(kLButton, wParam, lParam);
    return 0;
  case WM_MBUTTONUP:
    mouseUp(kMButton, wParam, lParam);
    return 0;
  case WM_RBUTTONUP:
    mouseUp(kRButton, wParam, lParam);
    return 0;
  case WM_MOUSEMOVE: {
    lastPoint = pointOf(lParam);
    CPoint where = lastPoint;
    callback->platformOnMouseMoved(where, CButtonState(buttonsOf(wParam)));
    return 0;
  }
  case WM_CAPTURECHANGED:
    // Another window took the mouse in the middle of a drag (a host dialog, task switch): the
    // drag ends where the pointer was last seen, so the control closes its edit.
    if (dragging && reinterpret_cast<HWND>(lParam) != window) {
      dragging = false;
      CPoint where = lastPoint;
      callback->platformOnMouseUp(where, CButtonState(kLButton));
    }
    return 0;
  case WM_MOUSEWHEEL: {
    // One notch is 120; finer wheels send less and count only once a whole notch is reached
    // within one message.
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; // screen coordinates
    ScreenToClient(window, &point);
    if (notches != 0 &&
        callback->platformOnMouseWheel(CPoint(point.x, point.y), static_cast<float>(notches),
                                       CButtonState(modifiersOf(GET_KEYSTATE_WPARAM(wParam)))))
      return 0;
    break; // unused: DefWindowProc hands it to the host's window
  }
  case WM_NCDESTROY: {
    // The host destroyed its window (and so this one) before closing the editor: the frame
    // lives on without a window until it is closed.
    HWND closing = window;
    SetWindowLongPtrW(closing, GWLP_USERDATA, 0);
    dragging = false;
    windowGone();
    return DefWindowProcW(closing, message, wParam, lParam);
  }
  case kDpiChangedAfterParent: {
    // The parent moved to a screen of another scale: the frame follows when the host thread
    // sees real pixels (a DPI-unaware host is scaled by the system and stays at 1).
    const double factor = platform::desktopScaleFactor(
        platform::NativeWindow{nullptr, reinterpret_cast<uintptr_t>(window)});
    callback->platformScaleChanged(factor);
    return 0;
  }
  case WM_GETDLGCODE:
    return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_KEYUP:
  case WM_SYSKEYUP: {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    if (key(down, wParam, lParam)) return 0;
    // A key no view uses belongs to the host (its shortcuts, its transport keys).
    if (HWND parent = GetParent(window)) return SendMessageW(parent, message, wParam, lParam);
    break;
  }
  default:
    break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  Win32Frame* frame = reinterpret_cast<Win32Frame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // Until CreateWindowExW returns, the frame does not know its window yet: messages of the
  // creation itself get the default handling.
  if (frame && frame->getNativeWindow().id == reinterpret_cast<uintptr_t>(window))
    return frame->handleHeld(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

IPlatformFrame* createWin32Frame(IPlatformFrameCallback* callback, const CRect& size,
                                 void* parent) {
  if (!parent || !IsWindow(static_cast<HWND>(parent))) return nullptr;
  Win32Frame* frame = new Win32Frame(callback, size, static_cast<HWND>(parent));
  if (frame->isOpen()) return frame;
  delete frame;
  return nullptr;
}
