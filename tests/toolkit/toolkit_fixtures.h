// Shared pieces of the toolkit tests: pictures made in the test and put in place of the
// library's, a listener and an editor interface that write down what reaches them, and small
// event helpers.
#pragma once

#include <string>
#include <vector>

#include "ccontrol.h"
#include "vstguieditorinterface.h"

using Journal = std::vector<std::string>;

// The colour of filmstrip frame k in the test pictures: opaque, and different for every frame.
uint32_t frameColour(int32_t frameIndex);

// PNG bytes of a filmstrip of `frames` frames of width x frameHeight, frame k filled with
// frameColour(k).
std::vector<unsigned char> filmstripPng(int32_t width, int32_t frameHeight, int32_t frames);
// PNG bytes of one picture filled with straight RGBA (r, g, b, a).
std::vector<unsigned char> solidPng(int32_t width, int32_t height, unsigned char r, unsigned char g,
                                    unsigned char b, unsigned char a);

// Puts pictures in place of the library's for as long as it lives.
class PictureOverride {
public:
  PictureOverride() = default;
  ~PictureOverride();
  PictureOverride(const PictureOverride&) = delete;
  PictureOverride& operator=(const PictureOverride&) = delete;

  void set(int32_t id, std::vector<unsigned char> png);
  void makeMissing(int32_t id);
};

class RecordingListener : public CControlListener {
public:
  explicit RecordingListener(Journal& journal) : journal(journal) {}

  void valueChanged(CControl* control) override;
  void controlBeginEdit(CControl* control) override;
  void controlEndEdit(CControl* control) override;
  int32_t controlModifierClicked(CControl* control, CButtonState button) override;

  int32_t modifierClickAnswer = 0;
  std::vector<float> values; // every value valueChanged saw

private:
  Journal& journal;
};

class RecordingEditorInterface : public VSTGUIEditorInterface {
public:
  explicit RecordingEditorInterface(Journal& journal) : journal(journal) {}

  int32_t getKnobMode() const override { return knobMode; }
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  bool beforeSizeChange(const CRect& newSize, const CRect& oldSize) override;

  int32_t knobMode = kLinearMode;
  bool allowSizeChange = true;

private:
  Journal& journal;
};

// A key as the host sends it.
CKeyCode key(unsigned char virt, unsigned char modifier = 0);
