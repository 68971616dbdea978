// The back end without a window: the frame's composed image stays in memory (tests, face
// snapshots). With a SparkwellOffscreenTarget the image and mouse input are offered to the tool
// that asked for it.
#pragma once

#include "iplatformframe.h"
#include "offscreentarget.h"

class OffscreenFrame : public IPlatformFrame {
public:
  OffscreenFrame(IPlatformFrameCallback* callback, const CRect& size,
                 SparkwellOffscreenTarget* target);
  ~OffscreenFrame() override;

  void present(const PixelImage& image, const CRect& area) override;
  void pollEvents() override {}
  bool handleOnePendingPaint() override { return false; }
  bool getCurrentMousePosition(CPoint&) override { return false; }
  void setSize(const CRect&) override {}
  platform::NativeWindow getNativeWindow() const override { return {}; }

private:
  SparkwellOffscreenTarget* target;
};
