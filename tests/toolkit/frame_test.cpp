// The frame: ownership and reference counts, which view a mouse event reaches, focus and keys,
// visibility and what idle repaints, size changes, and edits left open when a drag ends badly.
#include <gtest/gtest.h>

#include "canimknob.h"
#include "cbitmap.h"
#include "cframe.h"
#include "conoffbutton.h"
#include "toolkit_fixtures.h"

namespace {

constexpr int32_t kBackground = 1, kKnobPicture = 2, kButtonPicture = 4;

// Views and bitmaps that say when they are deleted.
class TrackedView : public CView {
public:
  TrackedView(const CRect& size, bool& deleted) : CView(size), deleted(deleted) {}
  ~TrackedView() override { deleted = true; }

private:
  bool& deleted;
};

class CountingView : public CView {
public:
  explicit CountingView(const CRect& size) : CView(size) {}
  void draw(CDrawContext*) override { ++draws; }

  int32_t draws = 0;
};

class TrackedBitmap : public CBitmap {
public:
  TrackedBitmap(int32_t id, bool& deleted) : CBitmap(CResourceDescription(id)), deleted(deleted) {}
  ~TrackedBitmap() override { deleted = true; }

private:
  bool& deleted;
};

class FrameTest : public ::testing::Test {
protected:
  void SetUp() override {
    pictures.set(kBackground, solidPng(450, 306, 0, 0, 200, 255));
    pictures.set(kKnobPicture, filmstripPng(70, 70, 31));
    pictures.set(kButtonPicture, filmstripPng(56, 56, 2));
    frame = new CFrame(CRect(0, 0, 450, 306), nullptr, &editor);
    CBitmap* background = new CBitmap(CResourceDescription(kBackground));
    frame->setBackground(background);
    background->forget();
  }
  void TearDown() override {
    if (frame != nullptr) frame->forget();
  }

  COnOffButton* addButton(const CRect& size, int32_t tag) {
    CBitmap* bitmap = new CBitmap(CResourceDescription(kButtonPicture));
    auto* button = new COnOffButton(size, &listener, tag, bitmap);
    bitmap->forget();
    EXPECT_TRUE(frame->addView(button));
    return button;
  }
  CAnimKnob* addKnob(const CRect& size, int32_t tag) {
    CBitmap* bitmap = new CBitmap(CResourceDescription(kKnobPicture));
    auto* knob = new CAnimKnob(size, &listener, tag, 31, 70, bitmap);
    bitmap->forget();
    EXPECT_TRUE(frame->addView(knob));
    return knob;
  }
  void click(CCoord x, CCoord y, int32_t buttons = kLButton) {
    CPoint where(x, y);
    frame->onMouseDown(where, CButtonState(buttons));
    frame->onMouseUp(where, CButtonState(buttons));
  }
  int32_t press(unsigned char virt, unsigned char modifier = 0) {
    CKeyCode code = key(virt, modifier);
    return frame->onKeyDown(code);
  }
  uint32_t shown(int32_t x, int32_t y) const { return frame->getComposedImage().at(x, y); }

  static constexpr uint32_t kBlue = 0xff0000c8u;

  bool coverDeleted = false;
  Journal journal;
  RecordingListener listener{journal};
  RecordingEditorInterface editor{journal};
  PictureOverride pictures;
  CFrame* frame = nullptr;
};

TEST_F(FrameTest, FrameOwnsItsViewsAndTheControlsTheirBitmaps) {
  bool bitmapDeleted = false, ownedDeleted = false;
  auto* bitmap = new TrackedBitmap(kButtonPicture, bitmapDeleted);
  auto* owned = new COnOffButton(CRect(0, 0, 56, 56), &listener, 1, bitmap);
  auto* kept = new COnOffButton(CRect(60, 0, 116, 56), &listener, 2, bitmap);
  EXPECT_EQ(bitmap->getNbReference(), 3) << "each control holds its own reference";
  bitmap->forget();
  EXPECT_TRUE(frame->addView(owned));
  EXPECT_EQ(owned->getNbReference(), 1) << "the frame takes over the creator's reference";
  EXPECT_TRUE(frame->addView(kept));
  kept->remember(); // someone else keeps this one alive
  auto* tracker = new TrackedView(CRect(0, 0, 1, 1), ownedDeleted);
  EXPECT_TRUE(frame->addView(tracker));

  EXPECT_FALSE(frame->addView(nullptr));
  EXPECT_FALSE(frame->addView(owned)) << "already attached";
  EXPECT_EQ(owned->getNbReference(), 1);
  EXPECT_EQ(frame->getNbViews(), 3);

  frame->forget();
  frame = nullptr;
  EXPECT_TRUE(ownedDeleted);
  EXPECT_FALSE(bitmapDeleted) << "the control still alive holds the bitmap";
  EXPECT_EQ(kept->getNbReference(), 1);
  EXPECT_EQ(kept->getFrame(), nullptr);
  kept->forget();
  EXPECT_TRUE(bitmapDeleted);
}

TEST_F(FrameTest, SettingABackgroundRemembersTheNewAndForgetsTheOld) {
  bool firstDeleted = false, secondDeleted = false;
  auto* first = new TrackedBitmap(kBackground, firstDeleted);
  auto* second = new TrackedBitmap(kBackground, secondDeleted);
  frame->setBackground(first);
  EXPECT_EQ(first->getNbReference(), 2);
  frame->setBackground(second);
  EXPECT_EQ(first->getNbReference(), 1);
  first->forget();
  EXPECT_TRUE(firstDeleted);
  second->forget();
  EXPECT_FALSE(secondDeleted);
  frame->forget();
  frame = nullptr;
  EXPECT_TRUE(secondDeleted);
}

TEST_F(FrameTest, TheTopmostVisibleEnabledViewTakesTheClick) {
  COnOffButton* below = addButton(CRect(100, 100, 156, 156), 1);
  COnOffButton* above = addButton(CRect(120, 120, 176, 176), 2);
  click(130, 130);
  EXPECT_EQ(above->getValue(), 1.0f);
  EXPECT_EQ(below->getValue(), 0.0f);
  above->setVisible(false);
  click(130, 130);
  EXPECT_EQ(below->getValue(), 1.0f);
  above->setVisible(true);
  above->setMouseEnabled(false);
  click(130, 130);
  EXPECT_EQ(below->getValue(), 0.0f);
  EXPECT_EQ(above->getValue(), 1.0f);
}

TEST_F(FrameTest, UnhandledClicksFallThroughOnlyTransparentViews) {
  COnOffButton* button = addButton(CRect(100, 100, 156, 156), 1);
  auto* cover = new TrackedView(CRect(90, 90, 200, 200), coverDeleted); // handles no mouse events
  frame->addView(cover);
  click(130, 130);
  EXPECT_EQ(button->getValue(), 0.0f) << "an opaque view stops the click";
  cover->setTransparency(true);
  click(130, 130);
  EXPECT_EQ(button->getValue(), 1.0f);
}

TEST_F(FrameTest, AListenerCanSwallowModifierClicks) {
  COnOffButton* button = addButton(CRect(100, 100, 156, 156), 1);
  listener.modifierClickAnswer = 1;
  click(130, 130, kLButton | kShift);
  EXPECT_EQ(button->getValue(), 0.0f);
  click(130, 130);
  EXPECT_EQ(button->getValue(), 1.0f) << "plain clicks are not asked about";
  listener.modifierClickAnswer = 0;
  click(130, 130, kLButton | kAlt);
  EXPECT_EQ(button->getValue(), 0.0f);
}

TEST_F(FrameTest, KeysGoToTheFocusViewAndTabMovesTheFocus) {
  COnOffButton* first = addButton(CRect(0, 100, 56, 156), 1);
  CAnimKnob* second = addKnob(CRect(100, 100, 170, 170), 2);
  COnOffButton* third = addButton(CRect(200, 100, 256, 156), 3);
  EXPECT_EQ(press(kVKeyReturn), -1);
  EXPECT_EQ(press(kVKeyTab), 1);
  EXPECT_EQ(frame->getFocusView(), first);
  EXPECT_EQ(press(kVKeyReturn), 1);
  EXPECT_EQ(first->getValue(), 1.0f);
  press(kVKeyTab);
  EXPECT_EQ(frame->getFocusView(), second);
  press(kVKeyTab);
  EXPECT_EQ(frame->getFocusView(), third);
  press(kVKeyTab);
  EXPECT_EQ(frame->getFocusView(), first) << "wraps around";
  press(kVKeyTab, kModifierShift);
  EXPECT_EQ(frame->getFocusView(), third);
  second->setVisible(false);
  press(kVKeyTab, kModifierShift);
  EXPECT_EQ(frame->getFocusView(), first) << "hidden views are skipped";
  click(210, 110);
  EXPECT_EQ(frame->getFocusView(), third) << "a click focuses";
  third->setVisible(false);
  EXPECT_EQ(frame->getFocusView(), nullptr) << "a hidden view gives the focus up";
  EXPECT_EQ(press(kVKeyReturn), -1);
  EXPECT_EQ(third->getValue(), 1.0f);
  CKeyCode up = key(kVKeyReturn);
  EXPECT_EQ(frame->onKeyUp(up), -1);
}

TEST_F(FrameTest, IdleRepaintsDirtyControlsAndInvalidatedAreas) {
  CAnimKnob* knob = addKnob(CRect(100, 100, 170, 170), 1);
  knob->setValue(0.5f);
  EXPECT_EQ(shown(130, 130), 0xff000000u) << "nothing is drawn before the first idle";
  frame->idle();
  EXPECT_EQ(shown(130, 130), frameColour(15));
  EXPECT_EQ(shown(10, 10), kBlue);

  knob->setValue(1.0f); // a host change: no other call needed
  frame->idle();
  EXPECT_EQ(shown(130, 130), frameColour(30));

  knob->setVisible(false);
  frame->idle();
  EXPECT_EQ(shown(130, 130), kBlue);
  knob->setValue(0.0f);
  frame->idle();
  EXPECT_EQ(shown(130, 130), kBlue) << "hidden controls are not drawn";
  EXPECT_TRUE(knob->isDirty()) << "and stay dirty until shown";
  knob->setVisible(true);
  frame->idle();
  EXPECT_EQ(shown(130, 130), frameColour(0));
}

TEST_F(FrameTest, AnInvisibleFrameDropsInvalidationsUntilShownAgain) {
  CAnimKnob* knob = addKnob(CRect(100, 100, 170, 170), 1);
  frame->idle();
  EXPECT_EQ(shown(130, 130), frameColour(0));

  frame->setVisible(false);
  knob->setValue(1.0f);
  knob->invalid();
  frame->idle();
  EXPECT_EQ(shown(130, 130), frameColour(0)) << "idle does nothing while the frame is hidden";

  frame->setVisible(true);
  EXPECT_TRUE(frame->isVisible());
  frame->idle();
  EXPECT_EQ(shown(130, 130), frameColour(30));

  // Showing an already visible frame changes nothing it shows, so nothing is drawn; hiding and
  // showing it again repaints all of it.
  auto* counter = new CountingView(CRect(0, 0, 10, 10));
  frame->addView(counter);
  frame->idle();
  const int32_t drawn = counter->draws;
  frame->idle();
  EXPECT_EQ(counter->draws, drawn) << "nothing changed, nothing drawn";
  frame->setVisible(true);
  frame->idle();
  EXPECT_EQ(counter->draws, drawn);
  frame->setVisible(false);
  frame->setVisible(true);
  frame->idle();
  EXPECT_EQ(counter->draws, drawn + 1);
}

TEST_F(FrameTest, ClosingTheFrameMidDragEndsTheOpenEdit) {
  addKnob(CRect(100, 100, 170, 170), 4);
  CPoint where(130, 130);
  frame->onMouseDown(where, CButtonState(kLButton));
  journal.clear();
  frame->forget();
  frame = nullptr;
  EXPECT_EQ(journal, (Journal{"frame end 4", "listener end 4"}));
}

TEST_F(FrameTest, AMouseDownWithoutTheLastMouseUpEndsTheEarlierEdit) {
  addKnob(CRect(100, 100, 170, 170), 4);
  COnOffButton* button = addButton(CRect(200, 100, 256, 156), 5);
  CPoint where(130, 130);
  frame->onMouseDown(where, CButtonState(kLButton));
  journal.clear();
  click(210, 110);
  EXPECT_EQ(journal, (Journal{"frame end 4", "listener end 4", "listener begin 5", "frame begin 5",
                              "valueChanged 5", "frame end 5", "listener end 5"}));
  EXPECT_EQ(button->getValue(), 1.0f);
}

TEST_F(FrameTest, TheEditorCanVetoASizeChange) {
  editor.allowSizeChange = false;
  EXPECT_FALSE(frame->setSize(500, 400));
  EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 450, 306));
  EXPECT_EQ(frame->getComposedImage().width, 450);
  editor.allowSizeChange = true;
  EXPECT_TRUE(frame->setSize(500, 400));
  EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 500, 400));
  EXPECT_EQ(frame->getComposedImage().width, 500);
  EXPECT_EQ(frame->getComposedImage().height, 400);
  EXPECT_EQ(journal, (Journal{"beforeSizeChange 500x400", "beforeSizeChange 500x400"}));
  frame->idle();
  EXPECT_EQ(shown(499, 399), 0xff000000u) << "beyond the background picture";
}

TEST_F(FrameTest, TheFrameAsksItsEditorForTheKnobModeAndPassesEditsOn) {
  EXPECT_EQ(frame->getKnobMode(), kLinearMode);
  editor.knobMode = kCircularMode;
  EXPECT_EQ(frame->getKnobMode(), kCircularMode);
  frame->beginEdit(9);
  frame->endEdit(9);
  EXPECT_EQ(journal, (Journal{"frame begin 9", "frame end 9"}));
  EXPECT_EQ(frame->getEditor(), &editor);
  CFrame* orphan = new CFrame(CRect(0, 0, 10, 10), nullptr, nullptr);
  EXPECT_EQ(orphan->getKnobMode(), kCircularMode);
  orphan->beginEdit(1); // nobody to tell
  orphan->forget();
}

} // namespace
