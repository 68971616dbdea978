#include "offscreen_editor.h"

#include "../../toolkit/cbuttonstate.h"

namespace sparkwell_test {

OffscreenEditor::OffscreenEditor(PluginInstance& plugin) : plugin(plugin) {
  target.magic = kSparkwellOffscreenMagic;
  opened = plugin.dispatch(effEditOpen, 0, 0, &target);
}

OffscreenEditor::~OffscreenEditor() {
  plugin.dispatch(effEditClose);
}

void OffscreenEditor::idle() {
  plugin.dispatch(effEditIdle);
}

RgbImage OffscreenEditor::image() const {
  RgbImage result;
  if (target.pixels == nullptr) return result;
  result.width = target.width;
  result.height = target.height;
  // The editor's image is opaque, so its premultiplied channels are the colours.
  result.pixels.assign(target.pixels,
                       target.pixels + static_cast<size_t>(target.width) * target.height);
  for (uint32_t& pixel : result.pixels)
    pixel &= 0xffffffu;
  return result;
}

void OffscreenEditor::click(double x, double y) {
  press(x, y);
  release(x, y);
}

void OffscreenEditor::press(double x, double y) {
  if (target.mouseDown != nullptr) target.mouseDown(target.frame, x, y, kLButton);
}

void OffscreenEditor::move(double x, double y) {
  if (target.mouseMoved != nullptr) target.mouseMoved(target.frame, x, y, kLButton);
}

void OffscreenEditor::release(double x, double y) {
  if (target.mouseUp != nullptr) target.mouseUp(target.frame, x, y, kLButton);
}

VstIntPtr OffscreenEditor::key(unsigned char virt) {
  return plugin.dispatch(effEditKeyDown, 0, virt, nullptr, 0.0f);
}

} // namespace sparkwell_test
