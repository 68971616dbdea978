// The built plug-in's editor drawn into memory through the plug-in's private request for our
// tools (the host kit's MemoryEditor), with its image as the panel model's RgbImage.
#pragma once

#include "memory_editor.h"
#include "panel_model.h"
#include "plugin_host.h"

namespace sparkwell_test {

class OffscreenEditor {
public:
  // Opens the editor of `plugin`; it is closed again on destruction.
  explicit OffscreenEditor(PluginInstance& plugin) : editor(plugin.effect()) {}

  VstIntPtr openAnswer() const { return editor.openAnswer(); }
  void idle() { editor.idle(); }
  // The image as of the last idle; empty when the plug-in offers none.
  RgbImage image() const;
  // A left click at (x, y) in frame pixels.
  void click(double x, double y) { editor.click(x, y); }

private:
  hostkit::MemoryEditor editor;
};

} // namespace sparkwell_test
