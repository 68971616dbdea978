// The binding between the host's editor requests and a toolkit frame. The concrete editor
// derives from it, builds its frame in open() and releases it in close(); the binding answers
// the frame's questions (idle time, edits, knob mode, size changes) on the editor's behalf.
//
// It also keeps the editor's scale factor, taken from the first of: the host's factor (its
// effVendorSpecific request, setHostScaleFactor), the desktop's (platform::desktopScaleFactor,
// asked at each open and by a closed editor's first size request), else 1. The factor is one of
// 1, 1.25, 1.5, 1.75, 2, 2.5 and 3 (others go to the nearest); getRect reports the editor's own
// size times the factor, rounded, and a new factor while the window is open resizes the window
// and then asks the host to resize its own.
#pragma once

#include <atomic>

#include "aeffeditor.h"
#include "offscreentarget.h"
#include "vstguieditorinterface.h"

// The request hosts that scale their plug-ins' windows send: effVendorSpecific with this index
// and value, the factor as the float opt, before the editor opens or while it is open.
constexpr VstInt32 kHostScaleIndex = CCONST('P', 'r', 'e', 'S');
constexpr VstIntPtr kHostScaleValue = CCONST('A', 'e', 'C', 's');

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

  // The host's scale factor. Answers false, changing nothing, for a value that is no factor
  // (not a positive number).
  bool setHostScaleFactor(float factor);
  // The factor the editor is drawn at now.
  double getScaleFactor() const { return scaleFactor; }
  // The factor of the supported ones nearest to `factor` (1 to 3).
  static double supportedScaleFactor(double factor);

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
  void desktopScaleChanged(double factor) override;
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
  // The editor's size at factor 1, set by the concrete editor; rect follows it at the factor.
  void setUnscaledSize(CCoord width, CCoord height);
  // Asks the desktop for its factor (with the host's parent window, when open) and applies it
  // unless the host has given one.
  void readDesktopScaleFactor(void* parentWindow);
  // Resizes the host's window around the frame: by the host's sizeWindow when it can, else the
  // chain of native windows. Answers the host's answer, or true.
  bool resizeHostWindow(int32_t width, int32_t height);

  ERect rect;             // what getRect reports: the unscaled size at the factor
  uint32_t nextIdleTicks; // tick count (ms) before which doIdleStuff holds back
  bool inIdle;            // true while doIdleStuff gives the host idle time

  // The knob mode of every editor in the process; 0 (circular) when the library is loaded.
  // Editors of different instances may live on different user-interface threads.
  static std::atomic<int32_t> knobMode;

private:
  // Takes the factor the sources give now; an open window is resized to it.
  void applyScaleFactor();

  // Set by setUnscaledSize; an editor that fills rect itself keeps what it wrote.
  bool rectScales = false;
  CCoord unscaledWidth = 0;
  CCoord unscaledHeight = 0;
  float hostScaleFactor = 0.0f;   // 0 while the host has given none
  double desktopFactor = 1.0;     // as last read
  bool desktopFactorRead = false; // since the last close
  double scaleFactor = 1.0;
};
