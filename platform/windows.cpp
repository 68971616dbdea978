// Windows: the system tick count, Sleep, OLE for the editor's thread, the one pending paint
// message and the window chain over GetParent.
#include <windows.h>

#include <ole2.h>

#include "platform.h"

namespace platform {

namespace {

HWND handleOf(const NativeWindow& window) {
  return reinterpret_cast<HWND>(window.id);
}

} // namespace

uint32_t systemTickCount() {
  return GetTickCount();
}

void systemSleep(uint32_t milliseconds) {
  Sleep(milliseconds);
}

void initializeOle() {
  OleInitialize(nullptr);
}

void uninitializeOle() {
  OleUninitialize();
}

bool dispatchOnePendingPaintMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) return false;
  DispatchMessageW(&message);
  return true;
}

NativeWindow parentWindow(const NativeWindow& window) {
  if (window.isNull()) return {};
  return NativeWindow{nullptr, reinterpret_cast<uintptr_t>(GetParent(handleOf(window)))};
}

bool isMdiClient(const NativeWindow& window) {
  wchar_t className[1024];
  if (GetClassNameW(handleOf(window), className, 1024) == 0) return false;
  return lstrcmpW(className, L"MDIClient") == 0;
}

ScreenRect windowRect(const NativeWindow& window) {
  RECT rect{};
  GetWindowRect(handleOf(window), &rect);
  ScreenRect result;
  result.left = rect.left;
  result.top = rect.top;
  result.right = rect.right;
  result.bottom = rect.bottom;
  return result;
}

void resizeWindow(const NativeWindow& window, int32_t width, int32_t height) {
  SetWindowPos(handleOf(window), nullptr, 0, 0, width, height, SWP_NOMOVE);
}

int32_t dialogFrameHeight() {
  return GetSystemMetrics(SM_CYDLGFRAME);
}

namespace {

// Windows 10 1607 and later; looked up at run time so that the plug-in loads on older systems.
using GetThreadDpiAwarenessContextFunction = void*(WINAPI*)();
using GetAwarenessFromDpiAwarenessContextFunction = int(WINAPI*)(void*);
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
constexpr int kDpiAwarenessUnaware = 0;
constexpr double kStandardDpi = 96.0;

template <typename Function> Function user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

} // namespace

double desktopScaleFactor(const NativeWindow& window) {
  const auto threadContext =
      user32Function<GetThreadDpiAwarenessContextFunction>("GetThreadDpiAwarenessContext");
  const auto awarenessOf = user32Function<GetAwarenessFromDpiAwarenessContextFunction>(
      "GetAwarenessFromDpiAwarenessContext");
  if (threadContext == nullptr || awarenessOf == nullptr) return 1.0;
  const int awareness = awarenessOf(threadContext());
  if (awareness <= kDpiAwarenessUnaware) return 1.0; // unaware, or not known
  UINT dpi = 0;
  if (!window.isNull()) {
    if (const auto forWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow"))
      dpi = forWindow(handleOf(window));
  } else if (const auto forSystem = user32Function<GetDpiForSystemFunction>("GetDpiForSystem")) {
    dpi = forSystem();
  }
  return dpi > 0 ? dpi / kStandardDpi : 1.0;
}

} // namespace platform
