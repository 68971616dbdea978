// The effect as the LV2 UI sees it: a stand-in on the shell's AudioEffectX base that owns the
// same editor the VST shows and answers the editor's host calls with the LV2 host's functions.
// It keeps only the parameter values the host has told it (port events); the sound lives in the
// plug-in, which may run in another process.
//
// Traffic: a user change reaches setParameterAutomated, whose audioMasterAutomate goes to the
// host's write function as the port value; the edits' audioMasterBeginEdit / EndEdit go to the
// host's touch feature when it has one. A port event sets the parameter as a VST host's change
// does, and the editor moves the control.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>

#include "audioeffectx.h"
#include "parameters.h"

class sparkwelleditor;

class UiEffect : public AudioEffectX {
public:
  // `touch` may be null: the host then learns of a gesture only from the values; `resize` may
  // be null: the window then changes its size without telling the host.
  UiEffect(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch,
           const LV2UI_Resize* resize);
  ~UiEffect() override;

  // Opens the editor inside the X window `parent`; false when no window could be made there
  // (a parent that does not exist, no display).
  bool openEditor(void* parent);
  // The editor's own X window, 0 while closed.
  uintptr_t editorWindow() const;
  // The host's idle call.
  void idleEditor();
  // A control port's value from the host, as float.
  void portEvent(uint32_t port, float portValue);
  // The host's scale factor (ui:scaleFactor), before or after the window opens; false for a
  // value that is no factor.
  bool setScaleFactor(float factor);
  // The window's size at the current factor.
  int32_t editorWidth() const;
  int32_t editorHeight() const;
  // The host has cleaned the UI up while a call into it is under way: the window closes now,
  // and nothing more goes to the host's functions.
  void hostGone();

  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;

private:
  // The audioMaster of this stand-in: finds the object behind the record and answers there.
  static VstIntPtr hostCallback(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);
  VstIntPtr answerHostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, const void* ptr,
                           float opt);

  LV2UI_Write_Function hostWrite;
  LV2UI_Controller hostController;
  const LV2UI_Touch* hostTouch;
  const LV2UI_Resize* hostResize;
  sparkwelleditor* panel;
  // Parameter values in index order; index 8 stays 0.
  float values[kNumParams];
};
