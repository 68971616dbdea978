#include "offscreenframe.h"

namespace {

IPlatformFrameCallback* callbackOf(void* frame) {
  return static_cast<IPlatformFrameCallback*>(frame);
}

// Each entry holds the frame until it returns: the host may close the editor from inside.
void targetMouseDown(void* frame, double x, double y, int32_t buttons) {
  PlatformFrameHold hold(callbackOf(frame));
  CPoint where(x, y);
  callbackOf(frame)->platformOnMouseDown(where, CButtonState(buttons));
}

void targetMouseMoved(void* frame, double x, double y, int32_t buttons) {
  PlatformFrameHold hold(callbackOf(frame));
  CPoint where(x, y);
  callbackOf(frame)->platformOnMouseMoved(where, CButtonState(buttons));
}

void targetMouseUp(void* frame, double x, double y, int32_t buttons) {
  PlatformFrameHold hold(callbackOf(frame));
  CPoint where(x, y);
  callbackOf(frame)->platformOnMouseUp(where, CButtonState(buttons));
}

void targetWheel(void* frame, double x, double y, float distance, int32_t buttons) {
  PlatformFrameHold hold(callbackOf(frame));
  callbackOf(frame)->platformOnMouseWheel(CPoint(x, y), distance, CButtonState(buttons));
}

// Everything the plug-in writes; the tool's own size and version stay.
void clearTarget(SparkwellOffscreenTarget* target) {
  target->width = 0;
  target->height = 0;
  target->pixels = nullptr;
  target->frame = nullptr;
  target->mouseDown = nullptr;
  target->mouseMoved = nullptr;
  target->mouseUp = nullptr;
  target->wheel = nullptr;
}

} // namespace

OffscreenFrame::OffscreenFrame(IPlatformFrameCallback* frameCallback) : callback(frameCallback) {}

OffscreenFrame::~OffscreenFrame() {
  if (target != nullptr) clearTarget(target);
}

void OffscreenFrame::connect(SparkwellOffscreenTarget* newTarget) {
  if (target != nullptr) clearTarget(target);
  target = newTarget;
  if (target == nullptr) return;
  clearTarget(target);
  target->frame = callback;
  target->mouseDown = targetMouseDown;
  target->mouseMoved = targetMouseMoved;
  target->mouseUp = targetMouseUp;
  target->wheel = targetWheel;
}

void OffscreenFrame::present(const PixelImage& image, const CRect&) {
  if (target == nullptr) return;
  target->width = image.width;
  target->height = image.height;
  target->pixels = image.pixels.data();
}
