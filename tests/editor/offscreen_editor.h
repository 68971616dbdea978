// The built plug-in's editor drawn into memory: effEditOpen receives the address of an
// off-screen target record instead of a window id, and the plug-in keeps its composed image
// and mouse entry points there while the editor is open.
#pragma once

#include "../../toolkit/offscreentarget.h"
#include "panel_model.h"
#include "plugin_host.h"

namespace sparkwell_test {

class OffscreenEditor {
public:
  // Opens the editor of `plugin`; it is closed again on destruction.
  explicit OffscreenEditor(PluginInstance& plugin);
  ~OffscreenEditor();
  OffscreenEditor(const OffscreenEditor&) = delete;
  OffscreenEditor& operator=(const OffscreenEditor&) = delete;

  VstIntPtr openAnswer() const { return opened; }
  void idle();
  // The image as of the last idle; empty when the plug-in offers none.
  RgbImage image() const;
  // A left click at (x, y) in frame pixels.
  void click(double x, double y);
  // The steps of a left-button gesture; each is given only while the editor still offers its
  // entry points, since a host may close the editor from inside the step before.
  void press(double x, double y);
  void move(double x, double y);
  void release(double x, double y);
  // A key as the host passes it on (effEditKeyDown); the plug-in's answer.
  VstIntPtr key(unsigned char virt);
  // Whether the plug-in keeps the target filled, which it does exactly while its frame lives.
  bool offersFrame() const { return target.frame != nullptr; }

private:
  PluginInstance& plugin;
  SparkwellOffscreenTarget target{};
  VstIntPtr opened = 0;
};

} // namespace sparkwell_test
