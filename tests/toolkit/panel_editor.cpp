#include "panel_editor.h"

#include "cbitmap.h"
#include "plugin_host.h"

void installPanelPictures(PictureOverride& pictures) {
  pictures.set(kPanelBackground, solidPng(kPanelWidth, kPanelHeight, 0x30, 0x50, 0x70, 255));
  pictures.set(kPanelKnob, filmstripPng(70, 70, 31));
  pictures.set(kPanelButton, filmstripPng(56, 56, 2));
}

PanelEditor::PanelEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
  rect = ERect{0, 0, kPanelHeight, kPanelWidth};
}

bool PanelEditor::open(void* ptr) {
  AEffGUIEditor::open(ptr);
  CBitmap* background = new CBitmap(CResourceDescription(kPanelBackground));
  CBitmap* knobStrip = new CBitmap(CResourceDescription(kPanelKnob));
  CBitmap* buttonStrip = new CBitmap(CResourceDescription(kPanelButton));
  frame = new CFrame(CRect(0, 0, kPanelWidth, kPanelHeight), ptr, this);
  frame->setBackground(background);
  knob = new CAnimKnob(kKnobPlace, this, 0, 31, 70, knobStrip);
  knob->setValue(effect->getParameter(0));
  frame->addView(knob);
  button = new COnOffButton(kButtonPlace, this, 1, buttonStrip, kPreListenerUpdate);
  button->setValue(effect->getParameter(1));
  frame->addView(button);
  setKnobMode(kLinearMode);
  for (CBitmap* bitmap : {background, knobStrip, buttonStrip})
    bitmap->forget();
  return true;
}

void PanelEditor::close() {
  CFrame* closing = frame;
  frame = nullptr;
  AEffGUIEditor::close();
  if (closing != nullptr) closing->close();
  knob = nullptr;
  button = nullptr;
}

void PanelEditor::idle() {
  ++idleCalls;
  AEffGUIEditor::idle();
}

void PanelEditor::valueChanged(CControl* control) {
  effect->setParameterAutomated(control->getTag(), control->getValue());
}

PanelEffect::PanelEffect() : AudioEffectX(&sparkwell_test::TestHost::callback, 1, 2) {
  new PanelEditor(this); // attaches itself; the base deletes it
}

void PanelEffect::setParameter(VstInt32 index, float value) {
  if (index == 0 || index == 1) values[index] = value;
}

float PanelEffect::getParameter(VstInt32 index) {
  return index == 0 || index == 1 ? values[index] : 0.0f;
}
