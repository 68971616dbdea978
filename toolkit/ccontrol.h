// The base of every control: a value in [min, max] with a tag, a listener told of user
// changes, and nested begin / end of edits that the frame passes on to its editor.
#pragma once

#include <atomic>

#include "cview.h"

class CControl;

// Told of what the user does with a control. Only valueChanged must be implemented.
class CControlListener {
public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  // A click with Alt, Shift, Control or the right button; a non-zero answer swallows it.
  virtual int32_t controlModifierClicked(CControl* /*control*/, CButtonState /*button*/) {
    return 0;
  }
  virtual void controlBeginEdit(CControl* /*control*/) {}
  virtual void controlEndEdit(CControl* /*control*/) {}
  virtual void controlTagWillChange(CControl* /*control*/) {}
  virtual void controlTagDidChange(CControl* /*control*/) {}
};

class CControl : public CView {
public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);

  // Stores `value` limited to [min, max] (NaN counts as min). Never calls the listener and never
  // draws; the change shows at the frame's next idle. Safe from any thread.
  virtual void setValue(float value);
  float getValue() const { return value.load(std::memory_order_relaxed); }
  // (value - min) / (max - min)
  float getValueNormalized() const;
  void setValueNormalized(float normalized);

  // A new range moves the frame a filmstrip shows: the control is drawn again.
  void setMin(float newMin) {
    vmin = newMin;
    setDirty(true);
  }
  float getMin() const { return vmin; }
  void setMax(float newMax) {
    vmax = newMax;
    setDirty(true);
  }
  float getMax() const { return vmax; }
  void setDefaultValue(float newDefault) { defaultValue = newDefault; }
  float getDefaultValue() const { return defaultValue; }
  void setWheelInc(float increment) { wheelInc = increment; }
  float getWheelInc() const { return wheelInc; }

  int32_t getTag() const { return tag; }
  void setTag(int32_t newTag);
  CControlListener* getListener() const { return listener; }
  void setListener(CControlListener* newListener) { listener = newListener; }

  // Begin and end of a user edit. They nest: only the outermost pair reaches the frame. The
  // frame ends an open edit itself when the control leaves it (the host closed the editor, even
  // from inside the begin): isEditing() is then false, and the control's gesture stops there.
  virtual void beginEdit();
  virtual void endEdit();
  bool isEditing() const { return editDepth > 0; }
  // Tells the listener of a user change.
  virtual void valueChanged();
  // A left click with exactly the Control modifier sets the default value (as one edit when it
  // differs). Answers whether the click was such a click.
  bool checkDefaultValue(const CButtonState& buttons);

  // Ends an edit left open, however deeply it nests.
  CMouseEventResult onMouseCancel() override;
  // Offers the click to the listener's controlModifierClicked.
  bool onModifiedMouseDown(const CButtonState& buttons) override;

  // Dirty while the value differs from the one last drawn, or after setDirty(true).
  bool isDirty() const override;
  void setDirty(bool state) override;

protected:
  float limited(float candidate) const;

  CControlListener* listener;
  int32_t tag;
  std::atomic<float> value{0.0f}; // hosts set it from any thread
  float vmin = 0.0f;
  float vmax = 1.0f;
  float defaultValue = 0.5f;
  float wheelInc = 0.1f;
  float lastDrawnValue = 0.0f;
  int32_t editDepth = 0;
};
