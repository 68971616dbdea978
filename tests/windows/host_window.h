// The host side of an editor test on Windows: a top-level window that a plug-in editor opens
// inside, a message pump that also gives the editor its idle calls, real mouse and keyboard
// input through SendInput, and a copy of what a window shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace sparkwell_test {

class HostWindow {
public:
  // A visible top-level window without a frame, at `screenX`, `screenY` on the screen.
  HostWindow(int screenX, int screenY, int width = 600, int height = 420);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND handle() const { return window; }
  // The editor's window: the first child of the host window, or null.
  HWND child() const { return GetWindow(window, GW_CHILD); }
  // The virtual keys of the WM_KEYDOWN messages the host window received, in order.
  const std::vector<WPARAM>& keysReceived() const { return keys; }

private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window = nullptr;
  std::vector<WPARAM> keys;
};

// Dispatches the thread's messages for `milliseconds`, calling `idle` about every 20 ms (the
// rate at which hosts send effEditIdle). With `done`, stops as soon as it answers true and
// returns whether it did.
bool pumpMessages(int milliseconds, const std::function<void()>& idle,
                  const std::function<bool()>& done = nullptr);

// Real input, as a user gives it: the pointer moves to a point of `window`'s client area
// (which may lie outside it), buttons, the wheel and keys are pressed.
void movePointer(HWND window, int x, int y);
void pressLeftButton();
void releaseLeftButton();
void turnWheel(int delta);
// `extended` marks the keypad's copy of a key (its Enter, for one).
void tapKey(WORD virtualKey, bool extended = false);

// The pixels `window` shows, 0x00RRGGBB, rows top to bottom.
std::vector<uint32_t> windowPixels(HWND window, int width, int height);

} // namespace sparkwell_test
