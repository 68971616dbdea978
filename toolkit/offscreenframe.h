// The back end without a window: the frame's composed image stays in memory (a frame made
// without a parent window, or when no window can be made). A tool's SparkwellOffscreenTarget
// may be connected to it, which then receives the image and the mouse entry points.
#pragma once

#include "iplatformframe.h"
#include "offscreentarget.h"

class OffscreenFrame : public IPlatformFrame {
public:
  explicit OffscreenFrame(IPlatformFrameCallback* frameCallback);
  ~OffscreenFrame() override;

  // Offers the image and mouse input to `target` until the frame closes, when the record's
  // fields below `version` are zeroed again. The record must be usable
  // (isUsableOffscreenTarget) and outlive the frame.
  void connect(SparkwellOffscreenTarget* target);

  void present(const PixelImage& image, const CRect& area) override;
  void pollEvents() override {}
  bool handleOnePendingPaint() override { return false; }
  bool getCurrentMousePosition(CPoint&) override { return false; }
  void setSize(const CRect&) override {}
  platform::NativeWindow getNativeWindow() const override { return {}; }

private:
  IPlatformFrameCallback* callback;
  SparkwellOffscreenTarget* target = nullptr;
};
