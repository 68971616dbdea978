// The built plug-in's editor drawn into memory through the plug-in's private request for our
// tools (the host kit's MemoryEditor), with its image as the panel model's RgbImage.
#pragma once

#include "../../toolkit/cbuttonstate.h"
#include "memory_editor.h"
#include "panel_model.h"
#include "plugin_host.h"

namespace sparkwell_test {

class OffscreenEditor {
public:
  // Opens the editor of `plugin`, at the host's scale factor `scale` when it is above 0; it is
  // closed again on destruction.
  explicit OffscreenEditor(PluginInstance& instance, float scale = 0.0f)
      : plugin(instance), editor(instance.effect(), scale) {}

  VstIntPtr openAnswer() const { return editor.openAnswer(); }
  void idle() { editor.idle(); }
  // The image as of the last idle; empty when the plug-in offers none.
  RgbImage image() const;
  // A left click at (x, y) in image pixels (frame pixels times the scale factor).
  void click(double x, double y) { editor.click(x, y); }
  // The steps of a left-button gesture; each is given only while the editor still offers its
  // entry points, since a host may close the editor from inside the step before.
  void press(double x, double y) { editor.mouseDown(x, y, kLButton); }
  void move(double x, double y) { editor.mouseMoved(x, y, kLButton); }
  void release(double x, double y) { editor.mouseUp(x, y, kLButton); }
  // A key as the host passes it on (effEditKeyDown); the plug-in's answer.
  VstIntPtr key(unsigned char virt);
  // The host closed the instance: the editor sends nothing more to it.
  void instanceClosed() { editor.instanceClosed(); }
  // Whether the plug-in keeps the record filled, which it does exactly while its frame lives.
  bool offersFrame() const { return editor.record().frame != nullptr; }

private:
  PluginInstance& plugin;
  hostkit::MemoryEditor editor;
};

} // namespace sparkwell_test
