#include "x11frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Keysyms of the keys the virtual key codes name (X11's keysymdef.h values).
struct KeyName {
  uint32_t keysym;
  unsigned char virt;
};
constexpr KeyName kVirtualKeys[] = {
    {0xff08, kVKeyBack},     {0xff09, kVKeyTab},     {0xff0b, kVKeyClear},
    {0xff0d, kVKeyReturn},   {0xff13, kVKeyPause},   {0xff1b, kVKeyEscape},
    {0x0020, kVKeySpace},    {0xff57, kVKeyEnd},     {0xff50, kVKeyHome},
    {0xff51, kVKeyLeft},     {0xff52, kVKeyUp},      {0xff53, kVKeyRight},
    {0xff54, kVKeyDown},     {0xff55, kVKeyPageUp},  {0xff56, kVKeyPageDown},
    {0xff60, kVKeySelect},   {0xff61, kVKeyPrint},   {0xff8d, kVKeyEnter},
    {0xff63, kVKeyInsert},   {0xffff, kVKeyDelete},  {0xff6a, kVKeyHelp},
    {0xffaa, kVKeyMultiply}, {0xffab, kVKeyAdd},     {0xffac, kVKeySeparator},
    {0xffad, kVKeySubtract}, {0xffae, kVKeyDecimal}, {0xffaf, kVKeyDivide},
    {0xff7f, kVKeyNumLock},  {0xff14, kVKeyScroll},  {0xffe1, kVKeyShift},
    {0xffe2, kVKeyShift},    {0xffe3, kVKeyControl}, {0xffe4, kVKeyControl},
    {0xffe9, kVKeyAlt},      {0xffea, kVKeyAlt},     {0x003d, kVKeyEquals},
};
constexpr uint32_t kKeypad0 = 0xffb0, kKeypad9 = 0xffb9, kF1 = 0xffbe, kF12 = 0xffc9;

constexpr uint16_t kShiftMask = XCB_MOD_MASK_SHIFT, kControlMask = XCB_MOD_MASK_CONTROL,
                   kAltMask = XCB_MOD_MASK_1;

int32_t modifierButtons(uint16_t state) {
  int32_t buttons = 0;
  if (state & kShiftMask) buttons |= kShift;
  if (state & kControlMask) buttons |= kControl;
  if (state & kAltMask) buttons |= kAlt;
  return buttons;
}

int32_t pressedButtons(uint16_t state) {
  int32_t buttons = modifierButtons(state);
  if (state & XCB_BUTTON_MASK_1) buttons |= kLButton;
  if (state & XCB_BUTTON_MASK_2) buttons |= kMButton;
  if (state & XCB_BUTTON_MASK_3) buttons |= kRButton;
  return buttons;
}

int32_t buttonBit(uint8_t button) {
  switch (button) {
  case 1:
    return kLButton;
  case 2:
    return kMButton;
  case 3:
    return kRButton;
  default:
    return 0;
  }
}

CKeyCode keyCodeFor(uint32_t keysym, uint16_t state) {
  CKeyCode key{0, 0, 0};
  if (state & kShiftMask) key.modifier |= kModifierShift;
  if (state & kControlMask) key.modifier |= kModifierControl;
  if (state & kAltMask) key.modifier |= kModifierAlternate;
  for (const KeyName& name : kVirtualKeys)
    if (name.keysym == keysym) key.virt = name.virt;
  if (keysym >= kKeypad0 && keysym <= kKeypad9)
    key.virt = static_cast<unsigned char>(kVKeyNumpad0 + (keysym - kKeypad0));
  if (keysym >= kF1 && keysym <= kF12)
    key.virt = static_cast<unsigned char>(kVKeyF1 + (keysym - kF1));
  // Printable Latin-1 keys travel as their character.
  if (key.virt == 0 && keysym >= 0x20 && keysym <= 0xff)
    key.character = static_cast<int32_t>(keysym);
  return key;
}

// A 24-bit TrueColor visual with 8-bit red, green and blue in the usual places, stored as 32
// bits per pixel in the byte order of our images.
xcb_visualid_t findVisual(const xcb_setup_t* setup, xcb_screen_t* screen) {
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return 0;
  bool fourBytes = false;
  for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
       xcb_format_next(&formats))
    if (formats.data->depth == 24 && formats.data->bits_per_pixel == 32) fourBytes = true;
  if (!fourBytes) return 0;
  xcb_visualid_t found = 0;
  for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
       xcb_depth_next(&depths)) {
    if (depths.data->depth != 24) continue;
    for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
         xcb_visualtype_next(&visuals)) {
      const xcb_visualtype_t* v = visuals.data;
      if (v->_class != XCB_VISUAL_CLASS_TRUE_COLOR || v->red_mask != 0xff0000u ||
          v->green_mask != 0xff00u || v->blue_mask != 0xffu)
        continue;
      if (v->visual_id == screen->root_visual) return v->visual_id;
      if (found == 0) found = v->visual_id;
    }
  }
  return found;
}

xcb_screen_t* screenOfRoot(const xcb_setup_t* setup, xcb_window_t root) {
  for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens))
    if (screens.data->root == root) return screens.data;
  return nullptr;
}

int32_t pixel(CCoord c) {
  return static_cast<int32_t>(std::ceil(c));
}

} // namespace

X11Frame* X11Frame::create(IPlatformFrameCallback* callback, const CRect& size, void* parent) {
  const uintptr_t parentId = reinterpret_cast<uintptr_t>(parent);
  if (parentId == 0 || parentId > 0xffffffffu) return nullptr;
  auto* frame = new X11Frame(callback);
  if (frame->open(size, static_cast<uint32_t>(parentId))) return frame;
  delete frame;
  return nullptr;
}

X11Frame::X11Frame(IPlatformFrameCallback* callback) : callback(callback) {}

bool X11Frame::open(const CRect& size, uint32_t parentWindow) {
  parent = parentWindow;
  position = CPoint(pixel(size.left), pixel(size.top));
  connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) return false;
  const xcb_setup_t* setup = xcb_get_setup(connection);

  // The parent's screen decides the visual; a parent that does not exist ends here.
  xcb_get_geometry_reply_t* parentGeometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, parent), nullptr);
  if (parentGeometry == nullptr) return false;
  xcb_screen_t* screen = screenOfRoot(setup, parentGeometry->root);
  std::free(parentGeometry);
  if (screen == nullptr) return false;
  const xcb_visualid_t visual = findVisual(setup, screen);
  if (visual == 0) return false;

  colormap = xcb_generate_id(connection);
  xcb_create_colormap(connection, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
  window = xcb_generate_id(connection);
  const uint32_t eventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                             XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                             XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                             XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  // Values in the order of their mask bits.
  const uint32_t values[] = {0 /* black background */, 0 /* border */, eventMask, colormap};
  const uint16_t width = static_cast<uint16_t>(std::max(1, pixel(size.getWidth())));
  const uint16_t height = static_cast<uint16_t>(std::max(1, pixel(size.getHeight())));
  xcb_generic_error_t* error = xcb_request_check(
      connection,
      xcb_create_window_checked(
          connection, 24, window, parent, static_cast<int16_t>(pixel(size.left)),
          static_cast<int16_t>(pixel(size.top)), width, height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
          visual, XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP,
          values));
  if (error != nullptr) {
    std::free(error);
    windowGone = true; // never made
    return false;
  }
  graphicsContext = xcb_generate_id(connection);
  xcb_create_gc(connection, graphicsContext, window, 0, nullptr);
  // In 4-byte units; asking also switches on big requests where the server has them.
  maxRequestBytes = xcb_get_maximum_request_length(connection) * 4u;
  loadKeyboardMap();
  xcb_map_window(connection, window);
  xcb_flush(connection);
  return true;
}

X11Frame::~X11Frame() {
  if (connection != nullptr && !xcb_connection_has_error(connection)) {
    readEvents(); // learn whether the server already destroyed the window
    for (xcb_generic_event_t* event : pending)
      if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
          reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == window)
        windowGone = true;
    if (window != 0 && !windowGone)
      std::free(xcb_request_check(connection, xcb_destroy_window_checked(connection, window)));
    if (graphicsContext != 0) xcb_free_gc(connection, graphicsContext);
    if (colormap != 0) xcb_free_colormap(connection, colormap);
    xcb_flush(connection);
  }
  for (xcb_generic_event_t* event : pending)
    std::free(event);
  if (connection != nullptr) xcb_disconnect(connection);
}

void X11Frame::loadKeyboardMap() {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  minKeycode = setup->min_keycode;
  const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, minKeycode, count), nullptr);
  if (mapping == nullptr) return;
  keysymsPerKeycode = mapping->keysyms_per_keycode;
  const xcb_keysym_t* first = xcb_get_keyboard_mapping_keysyms(mapping);
  keysyms.assign(first, first + xcb_get_keyboard_mapping_keysyms_length(mapping));
  std::free(mapping);
}

uint32_t X11Frame::keysymFor(uint8_t keycode, bool shifted) const {
  if (keycode < minKeycode || keysymsPerKeycode == 0) return 0;
  const size_t base = static_cast<size_t>(keycode - minKeycode) * keysymsPerKeycode;
  if (base >= keysyms.size()) return 0;
  const uint32_t plain = keysyms[base];
  const uint32_t withShift =
      keysymsPerKeycode > 1 && base + 1 < keysyms.size() ? keysyms[base + 1] : 0;
  return shifted && withShift != 0 ? withShift : plain;
}

void X11Frame::present(const PixelImage& image, const CRect& area) {
  if (windowGone || connection == nullptr) return;
  const int32_t left = std::max(0, pixel(area.left)), top = std::max(0, pixel(area.top));
  const int32_t right = std::min(image.width, pixel(area.right));
  const int32_t bottom = std::min(image.height, pixel(area.bottom));
  if (right <= left || bottom <= top) return;
  const int32_t width = right - left;
  const uint32_t rowBytes = static_cast<uint32_t>(width) * 4u;
  const uint32_t requestHeader = 24;
  const int32_t rowsPerRequest =
      maxRequestBytes > requestHeader + rowBytes
          ? static_cast<int32_t>((maxRequestBytes - requestHeader) / rowBytes)
          : 1;
  for (int32_t y = top; y < bottom; y += rowsPerRequest) {
    const int32_t count = std::min(rowsPerRequest, bottom - y);
    rows.resize(static_cast<size_t>(width) * count);
    for (int32_t row = 0; row < count; ++row)
      std::copy_n(&image.pixels[static_cast<size_t>(y + row) * image.width + left], width,
                  &rows[static_cast<size_t>(row) * width]);
    xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, graphicsContext,
                  static_cast<uint16_t>(width), static_cast<uint16_t>(count),
                  static_cast<int16_t>(left), static_cast<int16_t>(y), 0, 24,
                  rowBytes * static_cast<uint32_t>(count),
                  reinterpret_cast<const uint8_t*>(rows.data()));
  }
  xcb_flush(connection);
}

void X11Frame::readEvents() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
    pending.push_back(event);
}

void X11Frame::pollEvents() {
  if (connection == nullptr) return;
  // Until the batch is done, whatever its handlers do (the frame's idle holds it as well).
  PlatformFrameHold hold(callback);
  readEvents();
  // Handlers can run for a while (the host's automation); events arriving meanwhile wait for
  // the next idle.
  std::deque<xcb_generic_event_t*> batch;
  batch.swap(pending);
  for (xcb_generic_event_t* event : batch) {
    handleEvent(event);
    std::free(event);
  }
}

bool X11Frame::handleOnePendingPaint() {
  if (connection == nullptr) return false;
  PlatformFrameHold hold(callback);
  readEvents();
  for (auto it = pending.begin(); it != pending.end(); ++it) {
    if (((*it)->response_type & 0x7f) != XCB_EXPOSE) continue;
    xcb_generic_event_t* event = *it;
    pending.erase(it);
    handleEvent(event);
    std::free(event);
    return true;
  }
  return false;
}

void X11Frame::handleEvent(xcb_generic_event_t* event) {
  switch (event->response_type & 0x7f) {
  case 0: // a protocol error, e.g. drawing into a window the host destroyed
    ++protocolErrors;
    break;
  case XCB_EXPOSE: {
    auto* expose = reinterpret_cast<xcb_expose_event_t*>(event);
    if (expose->window == window && !windowGone)
      callback->platformDrawRect(
          CRect(expose->x, expose->y, expose->x + expose->width, expose->y + expose->height));
    break;
  }
  case XCB_BUTTON_PRESS: {
    auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
    CPoint where(press->event_x, press->event_y);
    if (press->detail == 4 || press->detail == 5)
      callback->platformOnMouseWheel(where, press->detail == 4 ? 1.0f : -1.0f,
                                     CButtonState(pressedButtons(press->state)));
    else if (buttonBit(press->detail) != 0)
      callback->platformOnMouseDown(
          where, CButtonState(modifierButtons(press->state) | buttonBit(press->detail)));
    break;
  }
  case XCB_BUTTON_RELEASE: {
    auto* release = reinterpret_cast<xcb_button_release_event_t*>(event);
    CPoint where(release->event_x, release->event_y);
    if (buttonBit(release->detail) != 0)
      callback->platformOnMouseUp(
          where, CButtonState(modifierButtons(release->state) | buttonBit(release->detail)));
    break;
  }
  case XCB_MOTION_NOTIFY: {
    auto* motion = reinterpret_cast<xcb_motion_notify_event_t*>(event);
    CPoint where(motion->event_x, motion->event_y);
    callback->platformOnMouseMoved(where, CButtonState(pressedButtons(motion->state)));
    break;
  }
  case XCB_KEY_PRESS:
  case XCB_KEY_RELEASE: {
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    CKeyCode code = keyCodeFor(keysymFor(key->detail, key->state & kShiftMask), key->state);
    const bool press = (event->response_type & 0x7f) == XCB_KEY_PRESS;
    const int32_t used =
        press ? callback->platformOnKeyDown(code) : callback->platformOnKeyUp(code);
    if (used <= 0) passKeyToHost(*key);
    break;
  }
  case XCB_DESTROY_NOTIFY:
    if (reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == window) windowGone = true;
    break;
  default:
    break;
  }
}

void X11Frame::passKeyToHost(const xcb_key_press_event_t& key) {
  if (windowGone) return;
  // As if the key had never stopped at our window: reported on the parent, and on up to the
  // nearest ancestor that listens for keys.
  xcb_key_press_event_t forwarded = key;
  forwarded.event = parent;
  forwarded.child = window;
  forwarded.event_x = static_cast<int16_t>(forwarded.event_x + position.x);
  forwarded.event_y = static_cast<int16_t>(forwarded.event_y + position.y);
  char bytes[32] = {};
  static_assert(sizeof(forwarded) <= sizeof(bytes), "an X event is 32 bytes");
  std::memcpy(bytes, &forwarded, sizeof(forwarded));
  const uint32_t mask = (key.response_type & 0x7f) == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS
                                                                    : XCB_EVENT_MASK_KEY_RELEASE;
  xcb_send_event(connection, 1, parent, mask, bytes);
  xcb_flush(connection);
}

bool X11Frame::getCurrentMousePosition(CPoint& where) {
  if (windowGone || connection == nullptr) return false;
  xcb_query_pointer_reply_t* pointer =
      xcb_query_pointer_reply(connection, xcb_query_pointer(connection, window), nullptr);
  if (pointer == nullptr) return false;
  const bool onScreen = pointer->same_screen != 0;
  if (onScreen) where = CPoint(pointer->win_x, pointer->win_y);
  std::free(pointer);
  return onScreen;
}

void X11Frame::setSize(const CRect& newSize) {
  platform::resizeWindow(getNativeWindow(), std::max(1, pixel(newSize.getWidth())),
                         std::max(1, pixel(newSize.getHeight())));
}

platform::NativeWindow X11Frame::getNativeWindow() const {
  if (windowGone || connection == nullptr) return {};
  return platform::NativeWindow{connection, window};
}
