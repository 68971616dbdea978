#include "host_window.h"

namespace sparkwell_test {

namespace {

const wchar_t* const kHostClass = L"SparkwellTestHostWindow";

ATOM registerHostClass(WNDPROC procedure) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kHostClass;
  return RegisterClassW(&windowClass);
}

void sendInput(INPUT input) {
  SendInput(1, &input, sizeof input);
}

} // namespace

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const CREATESTRUCTW* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (host && message == WM_KEYDOWN) host->keys.push_back(wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

HostWindow::HostWindow(int screenX, int screenY, int width, int height) {
  static const ATOM hostClass = registerHostClass(&HostWindow::procedure);
  (void)hostClass;
  // A plain popup has no frame, so the client area sits exactly where asked.
  window =
      CreateWindowExW(0, kHostClass, L"Sparkwell test host", WS_POPUP | WS_VISIBLE, screenX,
                      screenY, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  SetForegroundWindow(window);
  SetFocus(window);
}

// Destroying or hiding a top-level window costs Wine about 2 s without a window manager, so
// the window stays until the process ends; a later host window opens above it.
HostWindow::~HostWindow() {
  if (window) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

bool pumpMessages(int milliseconds, const std::function<void()>& idle,
                  const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  DWORD lastIdle = start - 20;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const DWORD now = GetTickCount();
    if (idle && now - lastIdle >= 20) {
      idle();
      lastIdle = now;
    }
    if (done && done()) return true;
    if (now - start >= static_cast<DWORD>(milliseconds)) return false;
    Sleep(5);
  }
}

void movePointer(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
}

void pressLeftButton() {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  sendInput(input);
}

void releaseLeftButton() {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  sendInput(input);
}

void turnWheel(int delta) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  input.mi.mouseData = static_cast<DWORD>(delta);
  sendInput(input);
}

void tapKey(WORD virtualKey, bool extended) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
  sendInput(input);
  input.ki.dwFlags |= KEYEVENTF_KEYUP;
  sendInput(input);
}

std::vector<uint32_t> windowPixels(HWND window, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
  HDC windowDc = GetDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = source[i] & 0x00FFFFFFu;
    SelectObject(memoryDc, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return pixels;
}

} // namespace sparkwell_test
