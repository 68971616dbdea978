#include "sparkwelleditor.h"

#include <cmath>
#include <cstring>

#include "audioeffect.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// Resource ids of the eight pictures.
enum PictureId {
  kFrontPicture = 1,
  kKnobPicture = 2,
  kPickupPicture = 3,
  kTogglePicture = 4,
  kBackPicture = 5,
  kTabPicture = 6,
  kBoostPicture = 7,
  kSetKnobPicture = 8,
};

// Filmstrips: frames and the height of one frame.
constexpr int32_t kKnobFrames = 31;
constexpr CCoord kSetKnobFrameHeight = 64.0;
constexpr CCoord kKnobFrameHeight = 70.0;
constexpr int32_t kPickupPositions = 5;
constexpr CCoord kPickupFrameHeight = 80.0;

// Control rectangles in frame pixels (left, top, right, bottom); each is one filmstrip frame.
const CRect kSetKnobArea(192, 154, 256, 218);
const CRect kHpfKnobArea(26, 128, 96, 198);
const CRect kInputKnobArea(26, 32, 96, 102);
const CRect kGridCurrentKnobArea(138, 224, 208, 294);
const CRect kTrebleKnobArea(26, 224, 96, 294);
const CRect kPickupSwitchArea(231, 76, 311, 156);
const CRect kTransistorToggleArea(144, 46, 200, 102);
const CRect kStereoToggleArea(144, 133, 200, 189);
// Reaches 4 pixels above and 7 beyond the frame, which clips it to x 357..449, y 0..25.
const CRect kPanelTabArea(357, -4, 457, 26);
const CRect kBoostSwitchArea(87, 159, 121, 214);

const CPoint kNoOffset(0, 0);

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

int16_t truncatedPixels(CCoord length) {
  return static_cast<int16_t>(length);
}

} // namespace

sparkwelleditor::sparkwelleditor(AudioEffect* effect) : AEffGUIEditor(effect) {
  for (std::atomic<uint32_t>& slot : pendingValues)
    slot.store(kNothingPending, kRelaxed);
  // The backgrounds are made with the instance, so the host can learn the size before the
  // window is ever opened; their pixels are decoded once and shared by every instance.
  try {
    frontBitmap = new CBitmap(CResourceDescription(kFrontPicture));
    backBitmap = new CBitmap(CResourceDescription(kBackPicture));
  } catch (...) {
    // Out of memory: the binding's destructor still runs, this body's never does.
    releaseBackgrounds();
    throw;
  }
  rect.top = 0;
  rect.left = 0;
  rect.right = truncatedPixels(frontBitmap->getWidth());
  rect.bottom = truncatedPixels(frontBitmap->getHeight());
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
    frame = new CFrame(CRect(0, 0, frontBitmap->getWidth(), frontBitmap->getHeight()), ptr, this);
    frame->setBackground(frontBitmap);
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
  return true;
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
  const bool isPanelTab = control == panelButton;
  effect->setParameterAutomated(control->getTag(), control->getValue());
  // The host may have closed the window while it handled the automation, and perhaps opened a
  // new one: then this control belongs to no window any more.
  if (frame == nullptr || control->getFrame() != frame) return;
  control->setDirty(true);
  if (isPanelTab) flipPanel();
}

CControl* sparkwelleditor::getControl(VstInt32 tag) const {
  switch (tag) {
  case kGain:
    return gainKnob;
  case kHpf:
    return hpfKnob;
  case kInput:
    return inputKnob;
  case kGridCurrent:
    return gridCurrentKnob;
  case kTreble:
    return trebleKnob;
  case kPickup:
    return pickupSwitch;
  case kTransistor:
    return transistorButton;
  case kStereo:
    return stereoButton;
  case kPanelTag:
    return panelButton;
  case kEffect:
    return effectButton;
  default:
    return nullptr;
  }
}

void sparkwelleditor::createBitmaps() {
  knobBitmap = new CBitmap(CResourceDescription(kKnobPicture));
  pickupBitmap = new CBitmap(CResourceDescription(kPickupPicture));
  toggleBitmap = new CBitmap(CResourceDescription(kTogglePicture));
  tabBitmap = new CBitmap(CResourceDescription(kTabPicture));
  boostBitmap = new CBitmap(CResourceDescription(kBoostPicture));
  setKnobBitmap = new CBitmap(CResourceDescription(kSetKnobPicture));
}

void sparkwelleditor::releaseBitmaps() {
  for (CBitmap** bitmap :
       {&knobBitmap, &pickupBitmap, &toggleBitmap, &tabBitmap, &boostBitmap, &setKnobBitmap}) {
    if (*bitmap != nullptr) (*bitmap)->forget();
    *bitmap = nullptr;
  }
}

void sparkwelleditor::releaseBackgrounds() {
  for (CBitmap** bitmap : {&frontBitmap, &backBitmap}) {
    if (*bitmap != nullptr) (*bitmap)->forget();
    *bitmap = nullptr;
  }
}

void sparkwelleditor::forgetControls() {
  gainKnob = hpfKnob = inputKnob = gridCurrentKnob = trebleKnob = nullptr;
  pickupSwitch = nullptr;
  transistorButton = stereoButton = panelButton = effectButton = nullptr;
}

void sparkwelleditor::abandonOpen() {
  // A control made but not yet taken by the frame is released on its own; the frame takes the
  // others with it.
  for (VstInt32 tag = 0; tag < kNumParams; ++tag) {
    CControl* control = getControl(tag);
    if (control != nullptr && control->getFrame() == nullptr) control->forget();
  }
  if (frame != nullptr) close();
  forgetControls();
  releaseBitmaps();
  userInterfaceThread.store(std::thread::id(), kRelaxed);
  AEffGUIEditor::close();
}

// In the order of tags 0 to 7, 9, 8: the tab comes last and lies above everything.
void sparkwelleditor::createControls() {
  gainKnob = new CAnimKnob(kSetKnobArea, this, kGain, kKnobFrames, kSetKnobFrameHeight,
                           setKnobBitmap, kNoOffset);
  addControl(gainKnob, false);
  hpfKnob =
      new CAnimKnob(kHpfKnobArea, this, kHpf, kKnobFrames, kKnobFrameHeight, knobBitmap, kNoOffset);
  addControl(hpfKnob, true);
  inputKnob = new CAnimKnob(kInputKnobArea, this, kInput, kKnobFrames, kKnobFrameHeight, knobBitmap,
                            kNoOffset);
  addControl(inputKnob, true);
  gridCurrentKnob = new CAnimKnob(kGridCurrentKnobArea, this, kGridCurrent, kKnobFrames,
                                  kKnobFrameHeight, knobBitmap, kNoOffset);
  addControl(gridCurrentKnob, true);
  trebleKnob = new CAnimKnob(kTrebleKnobArea, this, kTreble, kKnobFrames, kKnobFrameHeight,
                             knobBitmap, kNoOffset);
  addControl(trebleKnob, true);
  pickupSwitch = new CVerticalSwitch(kPickupSwitchArea, this, kPickup, kPickupPositions,
                                     kPickupFrameHeight, kPickupPositions, pickupBitmap, kNoOffset);
  addControl(pickupSwitch, true);
  transistorButton =
      new COnOffButton(kTransistorToggleArea, this, kTransistor, toggleBitmap, kPreListenerUpdate);
  addControl(transistorButton, true);
  stereoButton =
      new COnOffButton(kStereoToggleArea, this, kStereo, toggleBitmap, kPreListenerUpdate);
  addControl(stereoButton, true);
  effectButton = new COnOffButton(kBoostSwitchArea, this, kEffect, boostBitmap, kPreListenerUpdate);
  addControl(effectButton, false);
  panelButton = new COnOffButton(kPanelTabArea, this, kPanelTag, tabBitmap, kPreListenerUpdate);
  addControl(panelButton, false);
}

void sparkwelleditor::addControl(CControl* control, bool onBackFace) {
  // 0.0 for the tab: the effect holds nothing at index 8.
  control->setValue(effect->getParameter(control->getTag()));
  control->setTransparency(false);
  frame->addView(control);
  if (onBackFace) control->setVisible(false);
}

void sparkwelleditor::flipPanel() {
  backPanelShown = !backPanelShown;
  CControl* const backFace[] = {inputKnob,    hpfKnob,          gridCurrentKnob, trebleKnob,
                                pickupSwitch, transistorButton, stereoButton};
  for (CControl* backControl : backFace)
    backControl->setVisible(backPanelShown);
  effectButton->setVisible(!backPanelShown);
  gainKnob->setVisible(!backPanelShown);
  frame->setBackground(backPanelShown ? backBitmap : frontBitmap);
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
