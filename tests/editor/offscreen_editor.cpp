#include "offscreen_editor.h"

namespace sparkwell_test {

RgbImage OffscreenEditor::image() const {
  RgbImage result;
  if (editor.pixels() == nullptr) return result;
  result.width = editor.width();
  result.height = editor.height();
  // The editor's image is opaque, so its premultiplied channels are the colours.
  result.pixels.assign(editor.pixels(),
                       editor.pixels() + static_cast<size_t>(result.width) * result.height);
  for (uint32_t& pixel : result.pixels)
    pixel &= 0xffffffu;
  return result;
}

VstIntPtr OffscreenEditor::key(unsigned char virt) {
  return plugin.dispatch(effEditKeyDown, 0, virt, nullptr, 0.0f);
}

} // namespace sparkwell_test
