#include "aeffguieditor.h"

#include <cmath>

#include "audioeffectx.h"
#include "cframe.h"
#include "offscreenframe.h"
#include "platform.h"

std::atomic<int32_t> AEffGUIEditor::knobMode{kCircularMode};

namespace {

// The host calls of the extended base, when the effect has them.
AudioEffectX* extendedEffect(AudioEffect* effect) {
  return dynamic_cast<AudioEffectX*>(effect);
}

// A request that comes this long after the last pass runs at once.
constexpr uint32_t kIdleInterval = 100;
// An early request waits this long and then runs if this much time has passed since the last
// pass (counting the wait); so passes follow each other about every 50 ms when asked often.
constexpr uint32_t kIdleWait = 4;
constexpr uint32_t kIdleEarliest = kIdleInterval - 50;
// A resize walk that would grow a window by more than this has left the host's own frames.
constexpr int32_t kMaxChainGrowth = 80;

// The host's key in the toolkit's key code. The virtual codes and modifier bits are numbered
// alike, checked here where both declarations meet.
constexpr bool sameCode(int toolkitCode, int interfaceCode) {
  return toolkitCode == interfaceCode;
}
static_assert(sameCode(kVKeyBack, VKEY_BACK) && sameCode(kVKeyReturn, VKEY_RETURN) &&
                  sameCode(kVKeyEnter, VKEY_ENTER) && sameCode(kVKeyNumpad0, VKEY_NUMPAD0) &&
                  sameCode(kVKeyF1, VKEY_F1) && sameCode(kVKeyEquals, VKEY_EQUALS),
              "virtual key numbering");
static_assert(sameCode(kModifierShift, MODIFIER_SHIFT) &&
                  sameCode(kModifierAlternate, MODIFIER_ALTERNATE) &&
                  sameCode(kModifierCommand, MODIFIER_COMMAND) &&
                  sameCode(kModifierControl, MODIFIER_CONTROL),
              "modifier bits");

CKeyCode toolkitKeyOf(const VstKeyCode& key) {
  return CKeyCode{key.character, key.virt, key.modifier};
}

} // namespace

bool AEffGUIEditor::idleTickAhead(uint32_t later, uint32_t now) {
  // A pass stores its own time plus one interval, so a request in the same millisecond finds
  // the stored time exactly one interval ahead, and that is early too.
  const uint32_t ahead = later - now;
  return ahead != 0 && ahead <= kIdleInterval;
}

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect)
    : AEffEditor(effect), rect{0, 0, 0, 0}, nextIdleTicks(platform::tickCount()), inIdle(false) {
  if (effect != nullptr) effect->setEditor(this);
  platform::initializeOle();
}

AEffGUIEditor::~AEffGUIEditor() {
  // An editor whose own constructor failed after this base registered it is destroyed here
  // while the effect still points at it; detach it so the effect never deletes it again.
  if (effect != nullptr && effect->getEditor() == this) effect->setEditor(nullptr);
  platform::uninitializeOle();
}

bool AEffGUIEditor::getRect(ERect** result) {
  // A host asks for the size before it opens the window: the desktop's factor counts already.
  if (frame == nullptr && !desktopFactorRead) readDesktopScaleFactor(nullptr);
  if (result != nullptr) *result = &rect;
  return true;
}

bool AEffGUIEditor::open(void* ptr) {
  const bool opened = AEffEditor::open(ptr);
  // Without a window (our tools' editor in memory) the desktop has no say.
  if (ptr != nullptr) readDesktopScaleFactor(ptr);
  return opened;
}

double AEffGUIEditor::supportedScaleFactor(double factor) {
  static constexpr double kFactors[] = {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
  double nearest = kFactors[0];
  for (double candidate : kFactors)
    if (std::fabs(candidate - factor) < std::fabs(nearest - factor)) nearest = candidate;
  return nearest;
}

bool AEffGUIEditor::setHostScaleFactor(float factor) {
  if (!(factor > 0.0f) || !std::isfinite(factor)) return false;
  hostScaleFactor = factor;
  applyScaleFactor();
  return true;
}

void AEffGUIEditor::readDesktopScaleFactor(void* parentWindow) {
  desktopFactor = platform::desktopScaleFactor(
      platform::NativeWindow{nullptr, reinterpret_cast<uintptr_t>(parentWindow)});
  desktopFactorRead = true;
  applyScaleFactor();
}

void AEffGUIEditor::desktopScaleChanged(double factor) {
  desktopFactor = factor;
  applyScaleFactor();
}

void AEffGUIEditor::setUnscaledSize(CCoord width, CCoord height) {
  rectScales = true;
  unscaledWidth = width;
  unscaledHeight = height;
  applyScaleFactor();
}

void AEffGUIEditor::applyScaleFactor() {
  const double wanted = supportedScaleFactor(
      hostScaleFactor > 0.0f ? static_cast<double>(hostScaleFactor) : desktopFactor);
  const bool changed = wanted != scaleFactor;
  scaleFactor = wanted;
  if (rectScales) {
    // round(size x factor); at factor 1 the size itself, truncated as the toolkit's sizes are.
    const CRect device = deviceRect(CRect(0, 0, unscaledWidth, unscaledHeight), scaleFactor);
    rect.top = 0;
    rect.left = 0;
    rect.right = static_cast<int16_t>(device.right);
    rect.bottom = static_cast<int16_t>(device.bottom);
  }
  if (!changed || frame == nullptr) return;
  // The window first, then the host's window around it.
  frame->setScale(scaleFactor);
  resizeHostWindow(rect.right, rect.bottom);
}

bool AEffGUIEditor::openInMemory(SparkwellOffscreenTarget* target) {
  if (!isUsableOffscreenTarget(target)) return false;
  // Without a parent window the concrete editor's frame draws into memory.
  open(nullptr);
  auto* offscreen =
      frame != nullptr ? dynamic_cast<OffscreenFrame*>(frame->getPlatformFrame()) : nullptr;
  if (offscreen == nullptr) {
    close();
    return false;
  }
  offscreen->connect(target);
  return true;
}

void AEffGUIEditor::close() {
  AEffEditor::close();
  desktopFactorRead = false; // the next window may be on another screen
}

void AEffGUIEditor::idle() {
  // While doIdleStuff waits on the host's idle, a nested effEditIdle must not repaint.
  if (inIdle || frame == nullptr) return;
  frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
  if (frame == nullptr) return false;
  CKeyCode key = toolkitKeyOf(keyCode);
  return frame->onKeyDown(key) > 0;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
  if (frame == nullptr) return false;
  CKeyCode key = toolkitKeyOf(keyCode);
  return frame->onKeyUp(key) > 0;
}

bool AEffGUIEditor::onWheel(float distance) {
  if (frame == nullptr) return false;
  CPoint where;
  frame->getCurrentMouseLocation(where);
  return frame->onWheel(where, distance, CButtonState());
}

bool AEffGUIEditor::setKnobMode(VstInt32) {
  return false;
}

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::draw(ERect* area) {
  if (frame == nullptr || area == nullptr) return;
  // The host's rectangle is in window pixels, the frame's in its own.
  const double scale = frame->getScale();
  frame->invalidRect(
      CRect(area->left / scale, area->top / scale, area->right / scale, area->bottom / scale));
}

bool AEffGUIEditor::setKnobMode(CKnobMode value) {
  knobMode.store(value, std::memory_order_relaxed);
  return true;
}

int32_t AEffGUIEditor::getKnobMode() const {
  return knobMode.load(std::memory_order_relaxed);
}

void AEffGUIEditor::beginEdit(int32_t index) {
  if (AudioEffectX* host = extendedEffect(effect)) host->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
  if (AudioEffectX* host = extendedEffect(effect)) host->endEdit(index);
}

void AEffGUIEditor::beginEvent() {
  if (effect != nullptr) effect->enterCall();
}

void AEffGUIEditor::endEvent() {
  if (effect != nullptr) AudioEffect::leaveCall(effect);
}

void AEffGUIEditor::doIdleStuff() {
  uint32_t now = platform::tickCount();
  // Early only within the interval before the stored time; any longer gap runs the pass at once.
  if (idleTickAhead(nextIdleTicks, now)) {
    platform::sleepMilliseconds(kIdleWait);
    now += kIdleWait; // the count is not read again
    if (idleTickAhead(nextIdleTicks - kIdleEarliest, now)) return;
  }
  idle();
  if (frame != nullptr) frame->handleOnePendingPaint();
  inIdle = true;
  nextIdleTicks = now + kIdleInterval;
  if (effect != nullptr) effect->masterIdle();
  inIdle = false;
}

bool AEffGUIEditor::beforeSizeChange(const CRect& newSize, const CRect&) {
  return resizeHostWindow(static_cast<int32_t>(newSize.right - newSize.left),
                          static_cast<int32_t>(newSize.bottom - newSize.top));
}

bool AEffGUIEditor::resizeHostWindow(int32_t width, int32_t height) {
  AudioEffectX* host = extendedEffect(effect);
  char sizeWindowText[] = "sizeWindow";
  if (host != nullptr && host->canHostDo(sizeWindowText) != 0)
    return host->sizeWindow(width, height);
  if (frame == nullptr) return true;

  // Grow the frame's window and the windows around it that are just frames of it, until a
  // parent is one dialog frame wider, is the MDI client area, or is the top-level window.
  platform::NativeWindow window;
  if (IPlatformFrame* platformFrame = frame->getPlatformFrame())
    window = platformFrame->getNativeWindow();
  int32_t dx = 0, dy = 0;
  const int32_t stopWidth = 2 * platform::dialogFrameHeight();
  if (stopWidth != 0) {
    for (;;) {
      if (window.isNull()) return true;
      const platform::NativeWindow parent = platform::parentWindow(window);
      if (parent.isNull() || platform::isMdiClient(parent)) break;
      const platform::ScreenRect windowRect = platform::windowRect(window);
      const platform::ScreenRect parentRect = platform::windowRect(parent);
      platform::resizeWindow(window, width + dx, height + dy);
      dx += parentRect.width() - windowRect.width();
      dy += parentRect.height() - windowRect.height();
      if (dx > kMaxChainGrowth || dy > kMaxChainGrowth) return true;
      if (dx < 0) dx = 0;
      if (dy < 0) dy = 0;
      window = parent;
      if (dx == stopWidth) break;
    }
  }
  if (!window.isNull()) platform::resizeWindow(window, width + dx, height + dy);
  return true;
}
