#include "offscreenframe.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
// Whether `size` bytes at `address` can be read, asked of the kernel instead of touched: a
// write into a pipe fails with EFAULT on memory that is not mapped readable.
bool isReadable(const void* address, size_t size) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  const bool readable = write(channel[1], address, size) == static_cast<ssize_t>(size);
  close(channel[0]);
  close(channel[1]);
  return readable;
}
#endif

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

void clearTarget(SparkwellOffscreenTarget* target) {
  const uint64_t magic = target->magic;
  std::memset(static_cast<void*>(target), 0, sizeof(*target));
  target->magic = magic;
}

} // namespace

SparkwellOffscreenTarget* asOffscreenTarget(void* parent) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(parent);
#ifdef _WIN32
  // Windows hands out memory below 4 GiB too (Wine nearly always), so there a window handle is
  // told apart by asking the system, and the record is read only from readable memory.
  if (address % alignof(SparkwellOffscreenTarget) != 0 || IsWindow(static_cast<HWND>(parent)))
    return nullptr;
  MEMORY_BASIC_INFORMATION memory;
  const DWORD readable =
      PAGE_READONLY | PAGE_READWRITE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE;
  if (VirtualQuery(parent, &memory, sizeof memory) == 0 || memory.State != MEM_COMMIT ||
      (memory.Protect & readable) == 0 || (memory.Protect & PAGE_GUARD) != 0 ||
      address + sizeof(SparkwellOffscreenTarget) >
          reinterpret_cast<uintptr_t>(memory.BaseAddress) + memory.RegionSize)
    return nullptr;
#else
  // Above every window id, below the top of user space, and aligned for the record.
  if (address <= 0xffffffffu || address >= (uintptr_t{1} << 47) ||
      address % alignof(SparkwellOffscreenTarget) != 0 ||
      !isReadable(parent, sizeof(SparkwellOffscreenTarget::magic)))
    return nullptr;
#endif
  auto* target = static_cast<SparkwellOffscreenTarget*>(parent);
  return target->magic == kSparkwellOffscreenMagic ? target : nullptr;
}

OffscreenFrame::OffscreenFrame(IPlatformFrameCallback* callback, const CRect&,
                               SparkwellOffscreenTarget* target)
    : target(target) {
  if (target == nullptr) return;
  clearTarget(target);
  target->frame = callback;
  target->mouseDown = targetMouseDown;
  target->mouseMoved = targetMouseMoved;
  target->mouseUp = targetMouseUp;
  target->wheel = targetWheel;
}

OffscreenFrame::~OffscreenFrame() {
  if (target != nullptr) clearTarget(target);
}

void OffscreenFrame::present(const PixelImage& image, const CRect&) {
  if (target == nullptr) return;
  target->width = image.width;
  target->height = image.height;
  target->pixels = image.pixels.data();
}
