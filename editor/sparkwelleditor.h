// The Sparkwell window: a 450 x 306 frame with two faces drawn from the library's pictures,
// shown at the binding's scale factor (a 900 x 612 window at 2).
// The front shows the pedal with its SET knob (Gain) and BOOST switch (Effect); the back the
// seven other controls. The "tweak" tab at the top right flips between them.
//
// Threads: open, close, idle and valueChanged run on the host's user-interface thread.
// setParameter runs on whatever thread sets a parameter, the audio thread included: on the
// thread that opened the window it moves the control at once; on any other thread it only
// leaves the value in that parameter's slot, and the user-interface thread moves the control
// at its next idle. Controls are never touched from another thread, so a host that sets
// parameters while its editor thread closes the window cannot reach a released control.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "aeffguieditor.h"
#include "panel_layout.h"
#include "parameters.h"
#include "vstgui.h"

class sparkwelleditor : public AEffGUIEditor, public CControlListener {
public:
  explicit sparkwelleditor(AudioEffect* effect);
  ~sparkwelleditor() override;

  // Builds the frame inside the host's window `ptr` with all ten controls at the effect's
  // current values and shows the front face. Answers whether a window was made there; without
  // one the frame draws into memory. An editor that is already open closes its old frame first.
  bool open(void* ptr) override;
  // Releases the frame with its controls; the two background pictures stay for the next open.
  void close() override;
  // Moves the controls to values set from other threads, then repaints what changed: the whole
  // window after a flip, else only the controls that moved.
  void idle() override;
  // The effect's report of a parameter change. Indices 8, above 9 and negative are ignored.
  // Never allocates, locks or draws.
  void setParameter(VstInt32 index, float value) override;

  // A user change of a control: to the effect and the host; the tab flips the face.
  void valueChanged(CControl* control) override;

  // Test access: the control with this tag (null while closed or for an index without one) and
  // which face is showing.
  CControl* getControl(VstInt32 tag) const;
  bool isBackPanelShown() const { return backPanelShown; }

private:
  void createBitmaps();
  // Each releases the editor's references it holds and clears the fields.
  void releaseBitmaps();
  void releaseBackgrounds();
  // Clears the control references (the frame owns the controls).
  void forgetControls();
  // Undoes an open that ran out of memory part of the way through.
  void abandonOpen();
  // Builds the controls from the layout table, each at the effect's value, the back face's
  // hidden.
  void createControls();
  CControl* createControl(const ControlLayout& layout);
  void flipPanel();

  // Parameter values from other threads, one slot per index as float bits; kNothingPending
  // when the control is up to date.
  void discardPendingValues();
  void applyPendingValues();
  bool onUserInterfaceThread() const;

  // Controls by tag. The frame owns them; valid only while `frame` is set.
  CControl* controls[kNumParams] = {};

  // Pictures by resource id (slot 0 unused). The two backgrounds live as long as the editor;
  // the other six are held by the editor only while open() builds the controls.
  CBitmap* pictures[kNumPictures + 1] = {};

  bool backPanelShown = false;

  // A NaN pattern no host value is stored as: NaN values are kept as the canonical quiet NaN.
  static constexpr uint32_t kNothingPending = 0x7fa5a5a5u;
  std::atomic<uint32_t> pendingValues[kNumParams];
  // The thread that opened the window; no thread while closed.
  std::atomic<std::thread::id> userInterfaceThread{};
  static_assert(std::atomic<uint32_t>::is_always_lock_free, "slots must be lock-free");
  static_assert(std::atomic<std::thread::id>::is_always_lock_free, "thread id must be lock-free");
};
