// The binding between the host's editor requests and a toolkit frame. The concrete editor
// derives from it, builds its frame in open() and releases it in close(); the binding answers
// the frame's questions (idle time, edits, knob mode, size changes) on the editor's behalf.
#pragma once

#include <atomic>

#include "aeffeditor.h"
#include "offscreentarget.h"
#include "vstguieditorinterface.h"

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override;

  // AEffEditor
  bool getRect(ERect** result) override;
  bool open(void* ptr) override;
  void close() override;
  void idle() override;
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  bool onWheel(float distance) override;
  // What the host's effSetEditKnobMode reaches: answers false and changes nothing.
  bool setKnobMode(VstInt32 value) override;

  // Called by the effect for every parameter change, on whatever thread made it.
  virtual void setParameter(VstInt32 index, float value);
  virtual void draw(ERect* area);
  // The editor's own choice of knob mode, shared by every editor in the process. It takes the
  // toolkit's CKnobMode so that it stays a separate operation from the host's request above.
  virtual bool setKnobMode(CKnobMode value);

  // Our tools' private request (editorchannel.h): opens the editor without a window and
  // connects `target` to its frame. False, with nothing written, for a record of an unknown
  // layout or when no off-screen frame came of the open.
  bool openInMemory(SparkwellOffscreenTarget* target);

  // VSTGUIEditorInterface
  int32_t getKnobMode() const override;
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  CFrame* getFrame() const override { return frame; }
  void doIdleStuff() override;
  bool beforeSizeChange(const CRect& newSize, const CRect& oldSize) override;
  // A window event counts as a call into the instance (AudioEffect::enterCall): the host may
  // end the instance from inside it. endEvent may destroy this editor with the instance.
  void beginEvent() override;
  void endEvent() override;

  // Whether the tick count `later` lies ahead of `now`, by one idle interval (100 ms) at most,
  // as an unsigned difference: so whenever the stored time is further off than a pass ever puts
  // it, across the count's wrap after 49.7 days or not, the request is not taken as early and
  // the pass runs at once.
  static bool idleTickAhead(uint32_t later, uint32_t now);

protected:
  ERect rect;             // what getRect reports; the concrete editor fills it
  uint32_t nextIdleTicks; // tick count (ms) before which doIdleStuff holds back
  bool inIdle;            // true while doIdleStuff gives the host idle time

  // The knob mode of every editor in the process; 0 (circular) when the library is loaded.
  // Editors of different instances may live on different user-interface threads.
  static std::atomic<int32_t> knobMode;
};
