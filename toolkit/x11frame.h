// The X11 back end: a child window of the host's window on the frame's own connection to the
// X server, painted from the composed image and polled for events at each idle.
//
// It talks to the server through xcb: every protocol error comes back to the request that
// caused it or into the event queue, where it is counted and dropped. Xlib would hand errors
// to one process-wide handler whose default ends the process, and a host that destroys its
// window before closing the editor makes every later request on our window an error.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include <xcb/xcb.h>

#include "iplatformframe.h"

class X11Frame : public IPlatformFrame {
public:
  // Opens a connection and a window `size` inside the X window whose id is `parent`; null when
  // there is no display or the parent does not exist.
  static X11Frame* create(IPlatformFrameCallback* callback, const CRect& size, void* parent);
  ~X11Frame() override;

  void present(const PixelImage& image, const CRect& area) override;
  void pollEvents() override;
  bool handleOnePendingPaint() override;
  bool getCurrentMousePosition(CPoint& where) override;
  void setSize(const CRect& newSize) override;
  platform::NativeWindow getNativeWindow() const override;

  // Protocol errors this connection has received so far (a vanished parent causes some).
  int32_t getProtocolErrors() const { return protocolErrors; }
  // Whether the server destroyed the window, with the host's window around it.
  bool isWindowGone() const { return windowGone; }

private:
  explicit X11Frame(IPlatformFrameCallback* callback);
  bool open(const CRect& size, uint32_t parentWindow);
  void loadKeyboardMap();
  // Moves every event the server has sent into `pending`.
  void readEvents();
  void handleEvent(xcb_generic_event_t* event);
  uint32_t keysymFor(uint8_t keycode, bool shifted) const;
  // A key no view used goes on to the host's window, so that the host keeps its keyboard
  // shortcuts while the pointer is over the editor.
  void passKeyToHost(const xcb_key_press_event_t& key);

  IPlatformFrameCallback* callback;
  xcb_connection_t* connection = nullptr;
  uint32_t parent = 0;
  CPoint position; // of our window in the parent
  uint32_t window = 0;
  uint32_t graphicsContext = 0;
  uint32_t colormap = 0;
  uint32_t maxRequestBytes = 0;
  bool windowGone = false;
  int32_t protocolErrors = 0;
  std::deque<xcb_generic_event_t*> pending;
  std::vector<uint32_t> keysyms;
  uint8_t minKeycode = 0;
  uint8_t keysymsPerKeycode = 0;
  std::vector<uint32_t> rows; // the part of the image one put-image request carries
};
