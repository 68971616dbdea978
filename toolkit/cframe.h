// The editor's window: owns its views, routes mouse, wheel and key events to them, keeps the
// composed 32-bit image of itself and repaints what changed at each idle. It asks its editor
// interface for the knob mode, passes edits on, and lets it veto size changes.
//
// The frame may be shown at a scale factor: its views, their rectangles and every event stay
// in frame pixels, while the window and the composed image have `scale` device pixels per frame
// pixel (rectangle edges mapped by deviceRect) and the pictures are drawn for that factor. So a
// gesture means the same at every factor: the back end's device pixels are divided by the
// factor before any view sees them.
#pragma once

#include <memory>
#include <vector>

#include "cview.h"
#include "dirtyregion.h"
#include "iplatformframe.h"
#include "pixelimage.h"

class VSTGUIEditorInterface;

class CFrame : public CView, private IPlatformFrameCallback {
public:
  // Creates the frame's native window inside `systemWindow` (see createPlatformFrame), `scale`
  // device pixels per frame pixel.
  CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor, double scale = 1.0);

  // The editor is done with the window: every view goes at once (an edit in progress ends at
  // the editor, which is still whole), the editor is no longer asked anything, and the
  // creator's reference is dropped. An event still running inside the frame holds it until it
  // returns; a closed frame takes no further events, draws nothing and its window closes when
  // the last hold ends.
  void close();
  bool isClosed() const { return closed; }

  // Takes over the creator's reference to `view` (no reference is added). Refuses, without
  // taking it over, a null view or one already attached to a frame.
  bool addView(CView* view);
  // Detaches `view`; with `withForget` the frame's reference is dropped as well.
  bool removeView(CView* view, bool withForget = true);
  void removeAll(bool withForget = true);
  int32_t getNbViews() const { return static_cast<int32_t>(views.size()); }
  CView* getView(int32_t index) const;
  bool isChild(const CView* view) const;

  // The background at the frame's top left, then the views in the order added.
  void draw(CDrawContext* context) override;
  // Draws the dirty visible controls and the invalidated areas, each rectangle on its own, and
  // shows just those in the window; nothing while invisible, and nothing at all when nothing
  // changed since the last idle.
  void idle();
  // Hiding invalidates the whole frame and then marks it invisible (invalidations are then
  // dropped); showing a hidden frame marks it visible and invalidates all of it. Showing a frame
  // that is visible already changes nothing: every change to what it shows (a value, a view
  // shown or hidden, a picture, a size) invalidates its own area, and exposes repaint theirs.
  void setVisible(bool state) override;
  void invalid() override;
  void invalidRect(const CRect& area);

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;
  int32_t onKeyUp(CKeyCode& keyCode) override;

  bool setFocusView(CView* view);
  CView* getFocusView() const { return focusView; }
  // Moves the focus to the next (or previous) visible view that takes it, wrapping around.
  bool advanceNextFocusView(CView* from, bool reverse = false);

  VSTGUIEditorInterface* getEditor() const { return editor; }
  int32_t getKnobMode() const;
  void beginEdit(int32_t tag);
  void endEdit(int32_t tag);
  // Changes the frame's size unless the editor vetoes it (asked with the device sizes).
  bool setSize(CCoord width, CCoord height);
  // Shows the frame at another factor: the window and the image take the new device size and
  // everything is drawn again. The editor is not asked; its caller tells the host.
  void setScale(double factor);
  double getScale() const { return scale; }
  // The window's size in device pixels: the frame's size at its factor.
  CRect getDeviceSize() const { return deviceRect(bounds(), scale); }

  // The pointer's position in frame pixels: from the window system when it can tell, else the
  // last mouse event's.
  bool getCurrentMouseLocation(CPoint& where) const;
  bool handleOnePendingPaint();
  // The composed image, the frame's device size; current after idle().
  const PixelImage& getComposedImage() const { return composed; }
  IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
  void* getSystemWindow() const { return systemWindow; }

protected:
  ~CFrame() override;

private:
  // IPlatformFrameCallback
  void platformDrawRect(const CRect& area) override;
  CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
  bool platformOnMouseWheel(const CPoint& where, float distance,
                            const CButtonState& buttons) override;
  int32_t platformOnKeyDown(CKeyCode& keyCode) override;
  int32_t platformOnKeyUp(CKeyCode& keyCode) override;
  void platformScaleChanged(double factor) override;
  void platformRemember() override;
  void platformForget() override;

  CRect bounds() const { return CRect(0, 0, size.getWidth(), size.getHeight()); }
  // A point of the back end (device pixels) in frame pixels.
  CPoint framePoint(const CPoint& device) const;
  // An image as large as the frame at its factor, opaque black.
  PixelImage blankImage() const;
  // Composes the invalid region and the dirty visible views into the image and shows them.
  void repaint();
  // Ends the edit a view left open (a mouse up that never came, a view removed mid-drag).
  void endOpenEdit(CView* view);

  void* systemWindow;
  VSTGUIEditorInterface* editor;
  std::vector<CView*> views;
  CView* focusView = nullptr;
  CView* mouseDownView = nullptr;
  CPoint lastMousePosition;
  DirtyRegion invalidRegion;
  std::vector<CRect> repainting; // the region being drawn, kept to reuse its storage
  double scale;
  PixelImage composed;
  std::unique_ptr<IPlatformFrame> platformFrame;
  bool closed = false;
  // Window events under way (PlatformFrameHold), and the editor told of the outermost one's
  // begin, which hears of its end too.
  int32_t heldEvents = 0;
  VSTGUIEditorInterface* eventOwner = nullptr;
  // Set once the last reference has gone: a back end's event arriving while the views go must
  // not count references on a frame that is already being destroyed.
  bool destroying = false;
};
