// The controls' own behaviour under synthetic events: knob drags, wheel and keys, the vertical
// switch's bands, the two-state button, the order and nesting of edits, and which filmstrip
// frame each value shows.
#include <cmath>
#include <gtest/gtest.h>

#include "canimknob.h"
#include "cbitmap.h"
#include "cframe.h"
#include "conoffbutton.h"
#include "cverticalswitch.h"
#include "toolkit_fixtures.h"

namespace {

constexpr int32_t kKnobPicture = 2, kSwitchPicture = 3, kButtonPicture = 4;
constexpr int32_t kTag = 7;

class ControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    pictures.set(kKnobPicture, filmstripPng(70, 70, 31));
    pictures.set(kSwitchPicture, filmstripPng(80, 80, 5));
    pictures.set(kButtonPicture, filmstripPng(56, 56, 2));
    frame = new CFrame(CRect(0, 0, 450, 306), nullptr, &editor);
  }
  void TearDown() override { frame->forget(); }

  // A knob at (100, 100, 170, 170), centre (135, 135).
  CAnimKnob* addKnob(float value) {
    CBitmap* bitmap = new CBitmap(CResourceDescription(kKnobPicture));
    auto* knob = new CAnimKnob(CRect(100, 100, 170, 170), &listener, kTag, 31, 70, bitmap);
    bitmap->forget();
    knob->setValue(value);
    frame->addView(knob);
    journal.clear();
    return knob;
  }
  // A five-position switch at (200, 50, 280, 130): bands of 16 pixels from y = 50.
  CVerticalSwitch* addSwitch(float value) {
    CBitmap* bitmap = new CBitmap(CResourceDescription(kSwitchPicture));
    auto* pickup = new CVerticalSwitch(CRect(200, 50, 280, 130), &listener, kTag, 5, 80, 5, bitmap);
    bitmap->forget();
    pickup->setValue(value);
    frame->addView(pickup);
    journal.clear();
    return pickup;
  }
  // A button at (300, 200, 356, 256).
  COnOffButton* addButton(float value) {
    CBitmap* bitmap = new CBitmap(CResourceDescription(kButtonPicture));
    auto* button = new COnOffButton(CRect(300, 200, 356, 256), &listener, kTag, bitmap);
    bitmap->forget();
    button->setValue(value);
    frame->addView(button);
    journal.clear();
    return button;
  }

  CMouseEventResult down(CCoord x, CCoord y, int32_t buttons = kLButton) {
    CPoint where(x, y);
    return frame->onMouseDown(where, CButtonState(buttons));
  }
  void move(CCoord x, CCoord y, int32_t buttons = kLButton) {
    CPoint where(x, y);
    frame->onMouseMoved(where, CButtonState(buttons));
  }
  void up(CCoord x, CCoord y, int32_t buttons = kLButton) {
    CPoint where(x, y);
    frame->onMouseUp(where, CButtonState(buttons));
  }
  int32_t press(unsigned char virt, unsigned char modifier = 0) {
    CKeyCode code = key(virt, modifier);
    return frame->onKeyDown(code);
  }

  // One complete edit as the host must see it: begin, the changes, end.
  Journal edit(int32_t changes) const {
    Journal expected{"listener begin 7", "frame begin 7"};
    for (int32_t i = 0; i < changes; ++i)
      expected.push_back("valueChanged 7");
    expected.push_back("frame end 7");
    expected.push_back("listener end 7");
    return expected;
  }

  Journal journal;
  RecordingListener listener{journal};
  RecordingEditorInterface editor{journal};
  PictureOverride pictures;
  CFrame* frame = nullptr;
};

TEST_F(ControlTest, NewControlStartsAtTheToolkitDefaults) {
  auto* knob = new CAnimKnob(CRect(0, 0, 10, 10), &listener, 3, 31, 70, nullptr);
  EXPECT_EQ(knob->getValue(), 0.0f);
  EXPECT_EQ(knob->getMin(), 0.0f);
  EXPECT_EQ(knob->getMax(), 1.0f);
  EXPECT_EQ(knob->getDefaultValue(), 0.5f);
  EXPECT_FLOAT_EQ(knob->getWheelInc(), 0.1f);
  EXPECT_EQ(knob->getTag(), 3);
  EXPECT_EQ(knob->getListener(), &listener);
  EXPECT_TRUE(knob->isVisible());
  EXPECT_TRUE(knob->getMouseEnabled());
  EXPECT_FALSE(knob->getTransparency());
  EXPECT_TRUE(knob->isDirty());
  knob->forget();
  auto* pickup = new CVerticalSwitch(CRect(0, 0, 10, 10), &listener, 5, 5, 80, 5, nullptr);
  EXPECT_EQ(pickup->getDefaultValue(), 0.0f);
  EXPECT_EQ(pickup->getMaxPositions(), 5);
  pickup->forget();
  auto* button = new COnOffButton(CRect(0, 0, 10, 10), &listener, 6, nullptr, kPreListenerUpdate);
  EXPECT_EQ(button->getStyle(), 0);
  button->forget();
}

TEST_F(ControlTest, SetValueLimitsToTheRangeAndNeverTellsTheListener) {
  CAnimKnob* knob = addKnob(0.0f);
  knob->setValue(1.5f);
  EXPECT_EQ(knob->getValue(), 1.0f);
  knob->setValue(-0.25f);
  EXPECT_EQ(knob->getValue(), 0.0f);
  knob->setValue(0.3f);
  EXPECT_EQ(knob->getValue(), 0.3f);
  knob->setValue(std::nanf("")); // a host may send anything
  EXPECT_EQ(knob->getValue(), 0.0f);
  knob->setMin(0.2f);
  knob->setMax(0.6f);
  knob->setValue(0.4f);
  EXPECT_FLOAT_EQ(knob->getValueNormalized(), 0.5f);
  EXPECT_TRUE(journal.empty());
}

TEST_F(ControlTest, DirtyFollowsTheValueUntilDrawn) {
  CAnimKnob* knob = addKnob(0.0f);
  frame->idle();
  EXPECT_FALSE(knob->isDirty());
  knob->setValue(0.0f);
  EXPECT_FALSE(knob->isDirty()) << "the same value is no change";
  knob->setValue(0.4f);
  EXPECT_TRUE(knob->isDirty());
  frame->idle();
  EXPECT_FALSE(knob->isDirty());
  knob->setDirty(true);
  EXPECT_TRUE(knob->isDirty());
}

TEST_F(ControlTest, LinearDragCoversTheRangeIn200PixelsUpAndRight) {
  CAnimKnob* knob = addKnob(0.5f);
  EXPECT_EQ(down(135, 135), kMouseEventHandled);
  move(135, 115); // 20 up
  EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
  move(155, 115); // and 20 right
  EXPECT_FLOAT_EQ(knob->getValue(), 0.7f);
  move(135, 235); // 100 down from the click
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
  move(135, 335); // further down: held at the minimum
  EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
  move(135, 135); // counted from the click, not from the clamp
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  move(135, -65); // 200 up
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  up(135, -65);
  EXPECT_EQ(journal, edit(5));
  EXPECT_EQ(listener.values, (std::vector<float>{0.6f, 0.7f, 0.0f, 0.5f, 1.0f}));
}

TEST_F(ControlTest, ShiftStretchesTheDragTo300PixelsAndRescalesMidDrag) {
  CAnimKnob* knob = addKnob(0.2f);
  down(135, 135, kLButton | kShift);
  move(135, 75, kLButton | kShift); // 60 up of 300
  EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
  up(135, 75);

  knob->setValue(0.2f);
  down(135, 135);
  move(135, 85); // 50 up of 200
  EXPECT_FLOAT_EQ(knob->getValue(), 0.45f);
  move(135, 85, kLButton | kShift); // Shift pressed without moving: no jump
  EXPECT_FLOAT_EQ(knob->getValue(), 0.45f);
  move(135, 55, kLButton | kShift); // 30 more, now of 300
  EXPECT_FLOAT_EQ(knob->getValue(), 0.55f);
  move(135, 55); // Shift let go without moving: no jump either
  EXPECT_FLOAT_EQ(knob->getValue(), 0.55f);
  move(135, 35); // 20 more, of 200 again
  EXPECT_FLOAT_EQ(knob->getValue(), 0.65f);
  up(135, 35);
}

TEST_F(ControlTest, KnobModeAndAltChooseBetweenLinearAndCircular) {
  CAnimKnob* knob = addKnob(0.1f);
  // Linear mode: Alt makes the drag circular, so the click itself sets the pointer's angle.
  down(135, 100, kLButton | kAlt); // straight above the centre: 12 o'clock
  EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
  up(135, 100);

  editor.knobMode = kCircularMode;
  down(100, 135); // 9 o'clock, 45 degrees into the 270-degree arc
  EXPECT_NEAR(knob->getValue(), 45.0 / 270.0, 1e-6);
  move(135, 100); // over the top
  EXPECT_NEAR(knob->getValue(), 0.5, 1e-6);
  move(170, 135); // 3 o'clock
  EXPECT_NEAR(knob->getValue(), 225.0 / 270.0, 1e-6);
  move(160, 160); // 4:30, the end of the arc
  EXPECT_NEAR(knob->getValue(), 1.0, 1e-6);
  move(110, 160); // across the gap at 6 o'clock to 7:30: stays at the end it left from
  EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
  up(110, 160);

  editor.knobMode = kRelativCircularMode; // behaves as circular
  down(169, 135);
  EXPECT_NEAR(knob->getValue(), 225.0 / 270.0, 1e-6);
  up(169, 135);

  // Circular mode: Alt makes the drag linear, so the click changes nothing.
  knob->setValue(0.3f);
  down(100, 135, kLButton | kAlt);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.3f);
  move(100, 115, kLButton | kAlt);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
  up(100, 115);
}

TEST_F(ControlTest, OnlyTheLeftButtonDragsAKnob) {
  CAnimKnob* knob = addKnob(0.5f);
  EXPECT_EQ(down(135, 135, kRButton), kMouseEventNotHandled);
  move(135, 35, kRButton);
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(journal, Journal{"modifierClicked 7"});
}

TEST_F(ControlTest, ControlClickSetsTheDefaultValueAsOneEdit) {
  CAnimKnob* knob = addKnob(0.2f);
  EXPECT_EQ(down(135, 135, kLButton | kControl), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  EXPECT_EQ(knob->getValue(), 0.5f);
  EXPECT_EQ(journal,
            (Journal{"modifierClicked 7", "listener begin 7", "frame begin 7", "listener begin 7",
                     "valueChanged 7", "listener end 7", "frame end 7", "listener end 7"}));
  move(135, 35, kLButton | kControl); // the knob asked for no moves
  EXPECT_EQ(knob->getValue(), 0.5f);

  journal.clear();
  down(135, 135, kLButton | kControl); // already at the default: no value is sent
  EXPECT_EQ(journal, (Journal{"modifierClicked 7", "listener begin 7", "frame begin 7",
                              "frame end 7", "listener end 7"}));

  knob->setValue(0.2f);
  down(135, 135, kLButton | kControl | kShift); // not exactly Control: an ordinary drag
  EXPECT_EQ(knob->getValue(), 0.2f);
  up(135, 135);
}

TEST_F(ControlTest, WheelStepsATenthOfTheRangeAndAHundredthWithShift) {
  CAnimKnob* knob = addKnob(0.5f);
  EXPECT_TRUE(frame->onWheel(CPoint(135, 135), 1.0f, CButtonState()));
  EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
  EXPECT_EQ(journal, edit(1));
  frame->onWheel(CPoint(135, 135), -2.0f, CButtonState());
  EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
  frame->onWheel(CPoint(135, 135), 1.0f, CButtonState(kShift));
  EXPECT_FLOAT_EQ(knob->getValue(), 0.41f);

  knob->setValue(0.95f);
  frame->onWheel(CPoint(135, 135), 1.0f, CButtonState());
  EXPECT_EQ(knob->getValue(), 1.0f);
  journal.clear();
  EXPECT_TRUE(frame->onWheel(CPoint(135, 135), 1.0f, CButtonState()));
  EXPECT_TRUE(journal.empty()) << "no edit when the value cannot change";
  EXPECT_FALSE(frame->onWheel(CPoint(10, 10), 1.0f, CButtonState())) << "no view there";
}

TEST_F(ControlTest, WheelIsIgnoredDuringADrag) {
  CAnimKnob* knob = addKnob(0.5f);
  down(135, 135);
  EXPECT_FALSE(frame->onWheel(CPoint(135, 135), 1.0f, CButtonState()));
  EXPECT_EQ(knob->getValue(), 0.5f);
  up(135, 135);
}

TEST_F(ControlTest, ArrowKeysStepAFocusedKnob) {
  CAnimKnob* knob = addKnob(0.5f);
  EXPECT_EQ(press(kVKeyUp), -1) << "nothing has the focus yet";
  down(135, 135);
  up(135, 135);
  EXPECT_EQ(frame->getFocusView(), knob);
  journal.clear();
  EXPECT_EQ(press(kVKeyUp), 1);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
  EXPECT_EQ(journal, edit(1));
  press(kVKeyRight);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.7f);
  press(kVKeyDown);
  press(kVKeyLeft);
  press(kVKeyLeft);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
  press(kVKeyUp, kModifierShift);
  EXPECT_FLOAT_EQ(knob->getValue(), 0.41f);
  EXPECT_EQ(press(kVKeySpace), -1);
  knob->setValue(0.0f);
  journal.clear();
  EXPECT_EQ(press(kVKeyDown), 1);
  EXPECT_TRUE(journal.empty());
}

TEST_F(ControlTest, KnobShowsTheFloorOfItsValueOverTheFilmstrip) {
  CAnimKnob* knob = addKnob(0.0f);
  EXPECT_EQ(knob->getNumSubPixmaps(), 31);
  for (int32_t k = 0; k <= 30; ++k) {
    const float edge = static_cast<float>(k) / 30.0f;
    knob->setValue(edge);
    EXPECT_EQ(knob->frameForValue(), k) << "at " << k << "/30";
    if (k > 0) {
      knob->setValue(std::nextafter(edge, 0.0f));
      EXPECT_EQ(knob->frameForValue(), k - 1) << "just below " << k << "/30";
    }
  }
  knob->setValue(std::nextafter(1.0f, 0.0f));
  EXPECT_EQ(knob->frameForValue(), 29) << "only the maximum shows the last frame";
  knob->setValue(-1.0f);
  EXPECT_EQ(knob->frameForValue(), 0);
  knob->setValue(2.0f);
  EXPECT_EQ(knob->frameForValue(), 30);
}

TEST_F(ControlTest, KnobCountsItsFramesFromTheBitmap) {
  CBitmap* bitmap = new CBitmap(CResourceDescription(kKnobPicture)); // 31 frames of 70
  auto* counted = new CAnimKnob(CRect(0, 0, 70, 70), &listener, 1, 99, 70, bitmap);
  EXPECT_EQ(counted->getNumSubPixmaps(), 31);
  auto* halves = new CAnimKnob(CRect(0, 0, 70, 70), &listener, 1, 31, 140, bitmap);
  EXPECT_EQ(halves->getNumSubPixmaps(), 15); // floor(2170 / 140)
  bitmap->forget();
  pictures.makeMissing(kKnobPicture);
  CBitmap* missing = new CBitmap(CResourceDescription(kKnobPicture));
  auto* empty = new CAnimKnob(CRect(0, 0, 70, 70), &listener, 1, 31, 70, missing);
  EXPECT_EQ(empty->getNumSubPixmaps(), 0);
  empty->setValue(1.0f);
  EXPECT_EQ(empty->frameForValue(), 0);
  missing->forget();
  for (CAnimKnob* knob : {counted, halves, empty})
    knob->forget();
}

TEST_F(ControlTest, SwitchPicksThe16PixelBandUnderThePointerTopFirst) {
  CVerticalSwitch* pickup = addSwitch(0.0f);
  const float positions[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  for (int32_t band = 0; band < 5; ++band) {
    for (CCoord y : {50.0 + 16 * band, 50.0 + 16 * band + 15.9}) {
      down(240, y);
      EXPECT_EQ(pickup->getValue(), positions[band]) << "y " << y;
      up(240, y);
    }
  }
  pickup->setValue(0.5f);
  journal.clear();
  down(240, 85);  // band 2: no change, but still one edit
  move(240, 120); // band 4
  EXPECT_EQ(pickup->getValue(), 1.0f);
  move(240, 400); // past the bottom
  EXPECT_EQ(pickup->getValue(), 1.0f);
  move(240, -200); // past the top
  EXPECT_EQ(pickup->getValue(), 0.0f);
  up(240, -200);
  EXPECT_EQ(journal, edit(2));
}

TEST_F(ControlTest, SwitchShowsThePositionNearestToItsValue) {
  CVerticalSwitch* pickup = addSwitch(0.0f);
  for (int32_t k = 0; k <= 4; ++k) {
    pickup->setValue(static_cast<float>(k) / 4.0f);
    EXPECT_EQ(pickup->frameForValue(), k);
  }
  for (int32_t k = 1; k <= 4; ++k) {
    const float edge = (static_cast<float>(k) - 0.5f) / 4.0f;
    pickup->setValue(edge);
    EXPECT_EQ(pickup->frameForValue(), k) << "half way up to " << k;
    pickup->setValue(edge - 1e-4f);
    EXPECT_EQ(pickup->frameForValue(), k - 1) << "below half way to " << k;
  }
  pickup->setValue(0.3f);
  EXPECT_EQ(pickup->frameForValue(), 1);
}

TEST_F(ControlTest, SwitchKeysMoveOnePositionWithoutModifiers) {
  CVerticalSwitch* pickup = addSwitch(0.5f);
  frame->setFocusView(pickup);
  EXPECT_EQ(press(kVKeyDown), 1);
  EXPECT_EQ(pickup->getValue(), 0.75f);
  EXPECT_EQ(journal, edit(1));
  press(kVKeyUp);
  press(kVKeyUp);
  EXPECT_EQ(pickup->getValue(), 0.25f);
  EXPECT_EQ(press(kVKeyUp, kModifierShift), -1);
  EXPECT_EQ(pickup->getValue(), 0.25f);
  press(kVKeyUp);
  journal.clear();
  EXPECT_EQ(press(kVKeyUp), 1);
  EXPECT_EQ(pickup->getValue(), 0.0f);
  EXPECT_TRUE(journal.empty()) << "already at the top";
  pickup->setValue(0.3f); // between positions: counted from the nearest
  press(kVKeyDown);
  EXPECT_EQ(pickup->getValue(), 0.5f);
}

TEST_F(ControlTest, ButtonFlipsOnReleaseInside) {
  COnOffButton* button = addButton(0.0f);
  EXPECT_EQ(down(320, 220), kMouseEventHandled);
  EXPECT_EQ(journal, (Journal{"listener begin 7", "frame begin 7"})) << "nothing before release";
  EXPECT_EQ(button->getValue(), 0.0f);
  up(330, 230);
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(journal, edit(1));
  down(320, 220);
  up(320, 220);
  EXPECT_EQ(button->getValue(), 0.0f);

  journal.clear();
  down(320, 220);
  move(400, 220);
  up(400, 220); // released outside: the edit ends without a change
  EXPECT_EQ(button->getValue(), 0.0f);
  EXPECT_EQ(journal, edit(0));

  journal.clear();
  EXPECT_EQ(down(320, 220, kRButton), kMouseEventNotHandled);
  EXPECT_EQ(button->getValue(), 0.0f);
}

TEST_F(ControlTest, ReturnFlipsAFocusedButtonAndEnterDoesNothing) {
  COnOffButton* button = addButton(0.0f);
  frame->setFocusView(button);
  EXPECT_EQ(press(kVKeyReturn), 1);
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_EQ(journal, edit(1));
  journal.clear();
  EXPECT_EQ(press(kVKeyEnter), -1);
  EXPECT_EQ(press(kVKeyReturn, kModifierShift), -1);
  EXPECT_EQ(button->getValue(), 1.0f);
  EXPECT_TRUE(journal.empty());
}

TEST_F(ControlTest, ButtonShowsItsSecondFrameOnlyAtTheMaximum) {
  COnOffButton* button = addButton(0.0f);
  EXPECT_EQ(button->frameForValue(), 0);
  button->setValue(0.7f);
  EXPECT_EQ(button->frameForValue(), 0);
  button->setValue(std::nextafter(1.0f, 0.0f));
  EXPECT_EQ(button->frameForValue(), 0);
  button->setValue(1.0f);
  EXPECT_EQ(button->frameForValue(), 1);
  button->setValue(0.7f);
  down(320, 220);
  up(320, 220);
  EXPECT_EQ(button->getValue(), 1.0f) << "any value below the maximum flips to the maximum";
}

TEST_F(ControlTest, EditsNestAndOnlyTheOutermostReachesTheFrame) {
  COnOffButton* button = addButton(0.0f);
  button->beginEdit();
  button->beginEdit();
  EXPECT_TRUE(button->isEditing());
  button->endEdit();
  EXPECT_TRUE(button->isEditing());
  button->endEdit();
  EXPECT_FALSE(button->isEditing());
  EXPECT_EQ(journal, (Journal{"listener begin 7", "frame begin 7", "listener begin 7",
                              "listener end 7", "frame end 7", "listener end 7"}));
  journal.clear();
  button->endEdit(); // an end without a begin must not reach the host
  EXPECT_TRUE(journal.empty());
}

} // namespace
