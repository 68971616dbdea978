#include "memory_editor.h"

#include "../../toolkit/cbuttonstate.h"

namespace hostkit {

MemoryEditor::MemoryEditor(AEffect* instance, float scale) : effect(instance) {
  if (scale > 0.0f) setScaleFactor(scale);
  target.size = sizeof target;
  target.version = kSparkwellOffscreenTargetVersion;
  answer = effect->dispatcher(effect, effVendorSpecific, kSparkwellChannelIndex,
                              kSparkwellChannelOpenEditor, &target, 0.0f);
}

MemoryEditor::~MemoryEditor() {
  close();
}

void MemoryEditor::idle() {
  effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
}

VstIntPtr MemoryEditor::setScaleFactor(float scale) {
  return effect->dispatcher(effect, effVendorSpecific, CCONST('P', 'r', 'e', 'S'),
                            CCONST('A', 'e', 'C', 's'), nullptr, scale);
}

void MemoryEditor::close() {
  if (closed) return;
  closed = true;
  effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
}

bool MemoryEditor::mouseDown(double x, double y, int32_t buttons) {
  if (target.mouseDown == nullptr) return false;
  target.mouseDown(target.frame, x, y, buttons);
  return true;
}

bool MemoryEditor::mouseMoved(double x, double y, int32_t buttons) {
  if (target.mouseMoved == nullptr) return false;
  target.mouseMoved(target.frame, x, y, buttons);
  return true;
}

bool MemoryEditor::mouseUp(double x, double y, int32_t buttons) {
  if (target.mouseUp == nullptr) return false;
  target.mouseUp(target.frame, x, y, buttons);
  return true;
}

bool MemoryEditor::wheel(double x, double y, float distance, int32_t buttons) {
  if (target.wheel == nullptr) return false;
  target.wheel(target.frame, x, y, distance, buttons);
  return true;
}

bool MemoryEditor::click(double x, double y) {
  // The mouse-up entry is read again: the down may have closed the editor.
  return mouseDown(x, y, kLButton) && mouseUp(x, y, kLButton);
}

} // namespace hostkit
