#include "aeffguieditor.h"

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
  if (result != nullptr) *result = &rect;
  return true;
}

bool AEffGUIEditor::open(void* ptr) {
  return AEffEditor::open(ptr);
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
  if (frame != nullptr && area != nullptr)
    frame->invalidRect(CRect(area->left, area->top, area->right, area->bottom));
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
  const auto width = static_cast<int32_t>(newSize.right - newSize.left);
  const auto height = static_cast<int32_t>(newSize.bottom - newSize.top);
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
