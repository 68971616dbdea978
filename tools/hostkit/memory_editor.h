// A plug-in's editor drawn into memory through our private request (shell/editorchannel.h):
// opened with effVendorSpecific, driven with the ordinary effEditIdle and effEditClose, its image
// read and its mouse fed through the record the plug-in fills in.
#pragma once

#include <cstdint>

#include "../../shell/editorchannel.h"

namespace hostkit {

class MemoryEditor {
public:
  // Sends the request to `instance`; opened() tells whether the plug-in accepted it. The editor is
  // closed again (effEditClose) on destruction unless close() ran before. A `scale` above 0 is
  // sent first as the host's scale factor, so the editor opens at that factor.
  explicit MemoryEditor(AEffect* instance, float scale = 0.0f);
  ~MemoryEditor();
  MemoryEditor(const MemoryEditor&) = delete;
  MemoryEditor& operator=(const MemoryEditor&) = delete;

  bool opened() const { return answer != 0; }
  VstIntPtr openAnswer() const { return answer; }
  void idle();
  void close();
  // Sends the host's scale factor (effVendorSpecific 'PreS' 'AeCs'); the plug-in's answer. The
  // image takes the new size at the next idle.
  VstIntPtr setScaleFactor(float scale);
  // The host ended the instance (effClose), perhaps from inside one of the editor's calls:
  // nothing more is sent to it, not even the close on destruction.
  void instanceClosed() { closed = true; }

  // The composed image as of the last idle: 0xAARRGGBB, rows top to bottom; null before the
  // first idle or when the editor is closed.
  const uint32_t* pixels() const { return target.pixels; }
  int32_t width() const { return target.width; }
  int32_t height() const { return target.height; }
  const SparkwellOffscreenTarget& record() const { return target; }

  // Mouse input at image pixels (the frame's pixels times the scale factor) with the toolkit's
  // CButton bits; false while the plug-in offers no entry for it (closed).
  bool mouseDown(double x, double y, int32_t buttons);
  bool mouseMoved(double x, double y, int32_t buttons);
  bool mouseUp(double x, double y, int32_t buttons);
  bool wheel(double x, double y, float distance, int32_t buttons = 0);
  // A left click: down and up at the same point.
  bool click(double x, double y);

private:
  AEffect* effect;
  SparkwellOffscreenTarget target{};
  VstIntPtr answer = 0;
  bool closed = false;
};

} // namespace hostkit
