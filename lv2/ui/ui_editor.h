// The editor as the LV2 UI holds it: the same window the VST shows, owned here, with its
// owner's side (editor/editor_owner.h) answered by the LV2 host's functions. It keeps only the
// parameter values the host has told it (port events); the sound lives in the plug-in, which
// may run in another process.
//
// Traffic: a user change goes to the host's write function as the port value and back to the
// window; the gestures' begin and end go to the host's touch feature when it has one. A port
// event sets the value as a VST host's change does, and the window moves the control. A new
// scale factor resizes the open window, then the host's through ui:resize when it offers it.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>

#include "editor_owner.h"
#include "parameters.h"

class sparkwelleditor;

class UiEditor final : private EditorOwner {
public:
  // `touch` may be null: the host then learns of a gesture only from the values; `resize` may
  // be null: the window then changes its size without telling the host.
  UiEditor(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch,
           const LV2UI_Resize* resize);
  ~UiEditor();
  UiEditor(const UiEditor&) = delete;
  UiEditor& operator=(const UiEditor&) = delete;

  // Opens the editor inside the X window `parent`; false when no window could be made there
  // (a parent that does not exist, no display).
  bool open(void* parent);
  // The editor's own X window, 0 while closed.
  uintptr_t window() const;
  // The host's idle call.
  void idle();
  // A control port's value from the host, as float.
  void portEvent(uint32_t port, float portValue);
  // The host's scale factor (ui:scaleFactor), before or after the window opens; false for a
  // value that is no factor.
  bool setScaleFactor(float factor);
  // The window's size at the current factor.
  int32_t width() const;
  int32_t height() const;
  // The host has cleaned the UI up while a call into it is under way: the window closes now,
  // and nothing more goes to the host's functions.
  void hostGone();

private:
  // A parameter value from either side: kept, and shown by the window.
  void setParameter(int32_t index, float value);

  // EditorOwner
  float parameterValue(int32_t index) override;
  void controlChanged(int32_t index, float value) override;
  void beginControlEdit(int32_t index) override;
  void endControlEdit(int32_t index) override;
  void touch(int32_t index, bool grabbed);

  LV2UI_Write_Function hostWrite;
  LV2UI_Controller hostController;
  const LV2UI_Touch* hostTouch;
  const LV2UI_Resize* hostResize;
  // Parameter values in index order; index 8 stays 0.
  float values[kNumParams];
  std::unique_ptr<sparkwelleditor> panel;
};
