#include "sparkwelleditor.h"

#include <cmath>
#include <cstring>

#include "audioeffect.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// The canonical quiet NaN: every NaN a host sends is kept as this, so no host value can look
// like an empty slot.
constexpr uint32_t kQuietNan = 0x7fc00000u;

uint32_t bitsOf(float value) {
  if (std::isnan(value)) return kQuietNan;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

float floatOf(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

} // namespace

sparkwelleditor::sparkwelleditor(AudioEffect* effect) : AEffGUIEditor(effect) {
  for (std::atomic<uint32_t>& slot : pendingValues)
    slot.store(kNothingPending, kRelaxed);
  // The backgrounds are made with the instance, so the host can learn the size before the
  // window is ever opened; their pixels are decoded once and shared by every instance.
  try {
    for (PictureId id : {kFrontPicture, kBackPicture})
      pictures[id] = new CBitmap(CResourceDescription(id));
  } catch (...) {
    // Out of memory: the binding's destructor still runs, this body's never does.
    releaseBackgrounds();
    throw;
  }
  // The front picture's size; the binding reports it at the scale factor.
  setUnscaledSize(pictures[kFrontPicture]->getWidth(), pictures[kFrontPicture]->getHeight());
}

sparkwelleditor::~sparkwelleditor() {
  // A host that destroys the instance with the window still open must not leak the window.
  close();
  releaseBackgrounds();
}

bool sparkwelleditor::open(void* ptr) {
  // A second open without a close would otherwise leave the first window and its frame behind.
  if (frame != nullptr) close();
  AEffGUIEditor::open(ptr);
  userInterfaceThread.store(std::this_thread::get_id(), kRelaxed);
  // Values that arrived while the window was closed are already in the effect, which every
  // control reads below.
  discardPendingValues();

  try {
    createBitmaps();
    CBitmap* front = pictures[kFrontPicture];
    // Everything inside the frame is laid out at factor 1; the frame shows it at the factor.
    frame =
        new CFrame(CRect(0, 0, front->getWidth(), front->getHeight()), ptr, this, getScaleFactor());
    frame->setBackground(front);
    createControls();
  } catch (...) {
    // Out of memory half-way: what was built goes back, and the host is answered 0.
    abandonOpen();
    throw;
  }
  // Knobs follow straight mouse movement rather than circling round their centre.
  setKnobMode(kLinearMode);
  // The controls hold their own references to their pictures now.
  releaseBitmaps();
  backPanelShown = false;
  // Without a window (no parent, a parent id that is no window, no display) the frame draws
  // into memory only: our tools' way in, but nothing a host could show.
  IPlatformFrame* platformFrame = frame->getPlatformFrame();
  return platformFrame != nullptr && !platformFrame->getNativeWindow().isNull();
}

void sparkwelleditor::close() {
  if (frame == nullptr) return;
  // Cleared before the release, so nothing reaches the controls while they go.
  CFrame* closing = frame;
  frame = nullptr;
  userInterfaceThread.store(std::thread::id(), kRelaxed);
  // Also from inside one of the frame's own events (the host closes the editor while it hears
  // of an edit): the frame drops its controls now, ending an edit in progress, and goes when
  // that event is over.
  closing->close();
  forgetControls();
  AEffGUIEditor::close();
}

void sparkwelleditor::idle() {
  if (frame == nullptr) return;
  applyPendingValues();
  // Ends the hidden state a flip leaves behind, which repaints the whole window with the new
  // face. Otherwise the frame draws only the controls whose values moved (and what an expose
  // asked for), and nothing at all when nothing changed.
  frame->setVisible(true);
  AEffGUIEditor::idle();
}

void sparkwelleditor::setParameter(VstInt32 index, float value) {
  // Unsigned, so negative indices fall outside too; 8 is the tab, which the host never moves.
  if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(kNumParams) || index == kPanelTag)
    return;
  if (!onUserInterfaceThread()) {
    pendingValues[index].store(bitsOf(value), kRelaxed);
    return;
  }
  // A value another thread left earlier is older than this one and must not win at the idle.
  pendingValues[index].store(kNothingPending, kRelaxed);
  if (frame != nullptr) getControl(index)->setValue(value);
}

void sparkwelleditor::valueChanged(CControl* control) {
  const bool isPanelTab = control == controls[kPanelTag];
  effect->setParameterAutomated(control->getTag(), control->getValue());
  // The host may have closed the window while it handled the automation, and perhaps opened a
  // new one: then this control belongs to no window any more.
  if (frame == nullptr || control->getFrame() != frame) return;
  control->setDirty(true);
  if (isPanelTab) flipPanel();
}

CControl* sparkwelleditor::getControl(VstInt32 tag) const {
  if (static_cast<uint32_t>(tag) >= static_cast<uint32_t>(kNumParams)) return nullptr;
  return controls[tag];
}

// Every picture a control uses, once; the backgrounds are already there.
void sparkwelleditor::createBitmaps() {
  for (const ControlLayout& layout : kControlLayouts)
    if (pictures[layout.picture] == nullptr)
      pictures[layout.picture] = new CBitmap(CResourceDescription(layout.picture));
}

void sparkwelleditor::releaseBitmaps() {
  for (int32_t id = 1; id <= kNumPictures; ++id) {
    if (id == kFrontPicture || id == kBackPicture || pictures[id] == nullptr) continue;
    pictures[id]->forget();
    pictures[id] = nullptr;
  }
}

void sparkwelleditor::releaseBackgrounds() {
  for (PictureId id : {kFrontPicture, kBackPicture}) {
    if (pictures[id] != nullptr) pictures[id]->forget();
    pictures[id] = nullptr;
  }
}

void sparkwelleditor::forgetControls() {
  for (CControl*& control : controls)
    control = nullptr;
}

void sparkwelleditor::abandonOpen() {
  // A control made but not yet taken by the frame is released on its own; the frame takes the
  // others with it.
  for (CControl* control : controls)
    if (control != nullptr && control->getFrame() == nullptr) control->forget();
  if (frame != nullptr) close();
  forgetControls();
  releaseBitmaps();
  userInterfaceThread.store(std::thread::id(), kRelaxed);
  AEffGUIEditor::close();
}

// In the order of the layout table: the tab comes last and lies above everything.
void sparkwelleditor::createControls() {
  for (const ControlLayout& layout : kControlLayouts) {
    CControl* control = createControl(layout);
    controls[layout.tag] = control;
    // 0.0 for the tab: the effect holds nothing at index 8.
    control->setValue(effect->getParameter(layout.tag));
    control->setTransparency(false);
    frame->addView(control);
    if (layout.face == Face::Back) control->setVisible(false);
  }
}

CControl* sparkwelleditor::createControl(const ControlLayout& layout) {
  const CRect area(layout.left, layout.top, layout.right, layout.bottom);
  CBitmap* picture = pictures[layout.picture];
  const CPoint offset(layout.offsetX, layout.offsetY);
  switch (layout.kind) {
  case ControlClass::AnimKnob:
    return new CAnimKnob(area, this, layout.tag, layout.frames, layout.frameHeight, picture,
                         offset);
  case ControlClass::VerticalSwitch:
    return new CVerticalSwitch(area, this, layout.tag, layout.frames, layout.frameHeight,
                               layout.frames, picture, offset);
  case ControlClass::OnOffButton:
    break;
  }
  return new COnOffButton(area, this, layout.tag, picture, kPreListenerUpdate);
}

void sparkwelleditor::flipPanel() {
  backPanelShown = !backPanelShown;
  for (const ControlLayout& layout : kControlLayouts) {
    if (layout.face == Face::Both) continue;
    controls[layout.tag]->setVisible((layout.face == Face::Back) == backPanelShown);
  }
  frame->setBackground(pictures[backPanelShown ? kBackPicture : kFrontPicture]);
  // Invalidates the whole window for the new face, then drops the controls' own redraws until
  // the next idle shows the frame again.
  frame->setVisible(false);
}

void sparkwelleditor::discardPendingValues() {
  for (std::atomic<uint32_t>& slot : pendingValues)
    slot.store(kNothingPending, kRelaxed);
}

void sparkwelleditor::applyPendingValues() {
  for (VstInt32 index = 0; index < kNumParams; ++index) {
    // Taken and emptied in one step, so a value stored meanwhile stays for the next idle.
    const uint32_t bits = pendingValues[index].exchange(kNothingPending, kRelaxed);
    if (bits == kNothingPending) continue;
    if (CControl* control = getControl(index)) control->setValue(floatOf(bits));
  }
}

bool sparkwelleditor::onUserInterfaceThread() const {
  return userInterfaceThread.load(kRelaxed) == std::this_thread::get_id();
}
