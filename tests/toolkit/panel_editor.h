// A small effect with an editor built the way the plug-in's own is: the binding's open, a frame
// in the host's window, a knob (tag 0) and a two-state button (tag 1) that report user changes
// with setParameterAutomated. The binding and the X11 window are tested through it.
#pragma once

#include "aeffguieditor.h"
#include "audioeffectx.h"
#include "canimknob.h"
#include "cframe.h"
#include "conoffbutton.h"
#include "toolkit_fixtures.h"

// The pictures the panel is made of, put in place of the library's.
constexpr int32_t kPanelBackground = 1, kPanelKnob = 2, kPanelButton = 4;
constexpr int32_t kPanelWidth = 200, kPanelHeight = 100;
// Where the controls sit in the frame.
const CRect kKnobPlace(10, 10, 80, 80);
const CRect kButtonPlace(120, 20, 176, 76);
// The background colour, opaque.
constexpr uint32_t kPanelColour = 0xff305070u;

void installPanelPictures(PictureOverride& pictures);

class PanelEditor : public AEffGUIEditor, public CControlListener {
public:
  explicit PanelEditor(AudioEffect* effect);

  bool open(void* ptr) override;
  void close() override;
  void idle() override;
  void valueChanged(CControl* control) override;

  // What the tests look at.
  using AEffGUIEditor::frame;
  using AEffGUIEditor::inIdle;
  using AEffGUIEditor::nextIdleTicks;
  using AEffGUIEditor::rect;
  int32_t idleCalls = 0;
  CAnimKnob* knob = nullptr;
  COnOffButton* button = nullptr;
};

class PanelEffect : public AudioEffectX {
public:
  PanelEffect();

  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  PanelEditor* panel() { return static_cast<PanelEditor*>(editor); }

private:
  float values[2] = {0.0f, 0.0f};
};
