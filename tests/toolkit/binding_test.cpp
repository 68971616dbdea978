// The editor binding between host requests and the frame: idle throttling on a fake clock,
// the inIdle guard, edits and size requests to the host, keys, wheel and the knob mode.
#include <gtest/gtest.h>
#include <memory>

#include "editorchannel.h"
#include "panel_editor.h"
#include "platform.h"
#include "plugin_host.h"
#include "test_seams.h"

using sparkwell_test::HostCall;
using sparkwell_test::TestHost;

namespace {

uint32_t fakeNow = 0;
std::vector<uint32_t> sleeps;

uint32_t fakeTickCount() {
  return fakeNow;
}
void fakeSleep(uint32_t milliseconds) {
  sleeps.push_back(milliseconds);
  fakeNow += milliseconds;
}

class BindingTest : public ::testing::Test {
protected:
  void SetUp() override {
    installPanelPictures(pictures);
    fakeNow = 1000;
    sleeps.clear();
    platform::replaceClock(platform::Clock{fakeTickCount, fakeSleep});
    effect = std::make_unique<PanelEffect>();
    host.adopt(effect->getAeffect());
    editor = effect->panel();
  }
  void TearDown() override {
    if (editor->frame != nullptr) dispatch(effEditClose);
    host.forget(effect->getAeffect());
    effect.reset();
    platform::restoreClock();
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  }
  // Opens the editor without a window: the frame draws into memory.
  void openOffscreen() { ASSERT_EQ(dispatch(effEditOpen), 1); }
  size_t hostIdles() const { return host.countOf(audioMasterIdle); }

  PictureOverride pictures;
  TestHost host;
  std::unique_ptr<PanelEffect> effect;
  PanelEditor* editor = nullptr;
};

TEST_F(BindingTest, TheRectangleIsKnownBeforeTheWindowOpens) {
  ERect* reported = nullptr;
  EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &reported), 1);
  ASSERT_EQ(reported, &editor->rect);
  EXPECT_EQ(reported->top, 0);
  EXPECT_EQ(reported->left, 0);
  EXPECT_EQ(reported->bottom, kPanelHeight);
  EXPECT_EQ(reported->right, kPanelWidth);
  EXPECT_EQ(effect->getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
  EXPECT_EQ(editor->getEffect(), effect.get());
  EXPECT_EQ(editor->nextIdleTicks, 1000u) << "the tick count at construction";
}

TEST_F(BindingTest, IdlePassesRunAtOnceAfter100MsAndAfterAShortWaitFrom50Ms) {
  openOffscreen();
  editor->doIdleStuff(); // 1000: nothing ran before, the pass runs at once
  EXPECT_EQ(editor->idleCalls, 1);
  EXPECT_EQ(hostIdles(), 1u);
  EXPECT_TRUE(sleeps.empty());
  EXPECT_EQ(editor->nextIdleTicks, 1100u);

  fakeNow = 1010; // 10 ms after the pass: a 4 ms wait, then nothing
  editor->doIdleStuff();
  EXPECT_EQ(sleeps, std::vector<uint32_t>{4});
  EXPECT_EQ(editor->idleCalls, 1);
  EXPECT_EQ(hostIdles(), 1u);

  sleeps.clear();
  fakeNow = 1060; // 60 ms after: the wait brings it to 64, past 50, so the pass runs
  editor->doIdleStuff();
  EXPECT_EQ(sleeps, std::vector<uint32_t>{4});
  EXPECT_EQ(editor->idleCalls, 2);
  EXPECT_EQ(hostIdles(), 2u);
  EXPECT_EQ(editor->nextIdleTicks, 1164u) << "counted from the time after the wait";

  sleeps.clear();
  fakeNow = 1064 + 150; // long after: at once, without waiting
  editor->doIdleStuff();
  EXPECT_TRUE(sleeps.empty());
  EXPECT_EQ(editor->idleCalls, 3);
  EXPECT_EQ(hostIdles(), 3u);

  sleeps.clear();
  fakeNow = 1214 + 46; // 46 ms: the wait reaches exactly 50
  editor->doIdleStuff();
  EXPECT_EQ(editor->idleCalls, 4);
  fakeNow = 1264 + 45; // 45 ms: the wait reaches 49, one short
  editor->doIdleStuff();
  EXPECT_EQ(editor->idleCalls, 4);
}

TEST_F(BindingTest, IdlePassesGoOnAcrossTheTickCountWrap) {
  fakeNow = 0xffffff00u;                 // 49.7 days of uptime, just before the count wraps
  editor->nextIdleTicks = fakeNow - 300; // the last pass was a while ago
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 1u);
  fakeNow = 0x00000010u; // 272 ms later, the count has wrapped
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 2u);
  EXPECT_TRUE(sleeps.empty());

  fakeNow = 0xffffffc0u; // once more, 49.7 days later: a pass whose next time lies beyond the wrap
  editor->nextIdleTicks = fakeNow - 300;
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 3u);
  EXPECT_EQ(editor->nextIdleTicks, 0x24u);
  fakeNow = 0xffffffd0u; // 16 ms later: too early
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 3u);
  fakeNow = 0x0000000au; // 74 ms later, across the wrap: runs after the wait
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 4u);
}

// A request is early only while the stored time lies at most one interval ahead: any longer
// gap, across the wrap or not, 2^31 ms and more included, runs the pass at once.
TEST(IdleTicks, EarlyOnlyWithinOneIntervalBeforeTheStoredTime) {
  const struct {
    uint32_t stored, now;
    bool early;
  } cases[] = {
      {1100, 1000, true},                      // 0 ms after a pass: exactly one interval ahead
      {1100, 1099, true},                      // 1 ms before the stored time
      {1100, 1100, false},                     // the stored time itself
      {1100, 1000 - 1, false},                 // 101 ms ahead: longer than one interval
      {0x24u, 0xffffffd0u, true},              // 84 ms ahead, across the wrap
      {0x00000000u, 0xffffff9cu, true},        // 100 ms ahead, the count wrapping in between
      {0x00000000u, 0xffffff9bu, false},       // 101 ms ahead, across the wrap
      {0xffffffffu, 0xfffffffeu, true},        // 1 ms ahead, just before the wrap
      {0x00000010u, 0xffffff10u, false},       // 256 ms ahead, across the wrap
      {1100, 1100 + 0x80000000u, false},       // 2^31 ms later
      {1100, 1100 + 0x80000001u, false},       // 2^31 + 1 ms later
      {1100, 1100 + 0xfffff000u, false},       // nearly 2^32 ms later
      {1100, 1100 - 100 + 0x80000000u, false}, // 2^31 ms after the pass
  };
  for (const auto& c : cases)
    EXPECT_EQ(AEffGUIEditor::idleTickAhead(c.stored, c.now), c.early)
        << std::hex << c.stored << " at " << c.now;
}

TEST_F(BindingTest, AGapOf2To31MsRunsThePassAtOnce) {
  openOffscreen();
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 1u);
  fakeNow = 1000 + 0x80000000u; // 24.9 days later: the signed difference would call it early
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 2u);
  EXPECT_TRUE(sleeps.empty());
  fakeNow += 0x80000005u; // and again, past the wrap
  editor->doIdleStuff();
  EXPECT_EQ(hostIdles(), 3u);
  EXPECT_TRUE(sleeps.empty());
}

TEST_F(BindingTest, TheFrameDoesNotIdleWhileTheHostHasItsIdleTime) {
  openOffscreen();
  editor->frame->idle();
  bool frameIdledInside = true;
  host.setHandler(audioMasterIdle, [&](const HostCall&) {
    EXPECT_TRUE(editor->inIdle);
    editor->knob->setValue(0.9f);
    dispatch(effEditIdle); // a host that idles the editor from its own idle
    frameIdledInside = !editor->knob->isDirty();
    return VstIntPtr{0};
  });
  editor->doIdleStuff();
  EXPECT_FALSE(frameIdledInside);
  EXPECT_FALSE(editor->inIdle);
  EXPECT_EQ(editor->idleCalls, 2) << "the pass's own idle and the host's";
  EXPECT_TRUE(editor->knob->isDirty());
  dispatch(effEditIdle);
  EXPECT_FALSE(editor->knob->isDirty()) << "outside the host's idle the frame repaints";
}

TEST_F(BindingTest, IdleWithoutAWindowDoesNothing) {
  dispatch(effEditIdle);
  EXPECT_EQ(editor->idleCalls, 1);
  EXPECT_TRUE(host.calls().empty());
  EXPECT_FALSE(editor->onWheel(1.0f));
}

TEST_F(BindingTest, EditsReachTheHostOnceWithTheControlsTag) {
  editor->beginEdit(3);
  auto begins = host.callsOf(audioMasterBeginEdit);
  ASSERT_EQ(host.calls().size(), 1u);
  ASSERT_EQ(begins.size(), 1u);
  EXPECT_EQ(begins[0].index, 3);
  editor->endEdit(3);
  auto ends = host.callsOf(audioMasterEndEdit);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0].index, 3);

  // A click on the button: begin, the new value, end.
  openOffscreen();
  host.clearCalls();
  CPoint where(130, 30);
  editor->frame->onMouseDown(where, CButtonState(kLButton));
  editor->frame->onMouseUp(where, CButtonState(kLButton));
  const auto calls = host.calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[0].index, 1);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, 1);
  EXPECT_EQ(calls[1].opt, 1.0f);
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(calls[2].index, 1);
  EXPECT_EQ(effect->getParameter(1), 1.0f);
}

TEST_F(BindingTest, KeysReachTheFrameOnlyWhileTheWindowIsOpen) {
  EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_RETURN), 0);
  EXPECT_EQ(dispatch(effEditKeyUp, 0, VKEY_RETURN), 0);
  openOffscreen();
  editor->frame->setFocusView(editor->button);
  EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_RETURN), 1);
  EXPECT_EQ(effect->getParameter(1), 1.0f);
  EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_ENTER), 0) << "a key no view uses";
  EXPECT_EQ(dispatch(effEditKeyUp, 0, VKEY_RETURN), 0);
  dispatch(effEditClose);
  EXPECT_EQ(dispatch(effEditKeyDown, 0, VKEY_RETURN), 0);
  EXPECT_EQ(effect->getParameter(1), 1.0f);
}

TEST_F(BindingTest, TheWheelActsWhereThePointerIs) {
  openOffscreen();
  CPoint overKnob(40, 40);
  editor->frame->onMouseMoved(overKnob, CButtonState());
  EXPECT_TRUE(editor->onWheel(2.0f));
  EXPECT_FLOAT_EQ(effect->getParameter(0), 0.2f);
  CPoint elsewhere(100, 95);
  editor->frame->onMouseMoved(elsewhere, CButtonState());
  EXPECT_FALSE(editor->onWheel(1.0f));
}

TEST_F(BindingTest, OnlyTheEditorsOwnCallSetsTheSharedKnobMode) {
  const int32_t before = editor->getKnobMode();
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 1), 0);
  EXPECT_EQ(editor->getKnobMode(), before) << "the host's request changes nothing";
  EXPECT_TRUE(editor->setKnobMode(kLinearMode));
  EXPECT_EQ(editor->getKnobMode(), kLinearMode);
  PanelEffect other; // a second instance sees the same mode
  EXPECT_EQ(other.panel()->getKnobMode(), kLinearMode);
  EXPECT_TRUE(other.panel()->setKnobMode(kCircularMode));
  EXPECT_EQ(editor->getKnobMode(), kCircularMode);
  EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 0);
  EXPECT_EQ(editor->getKnobMode(), kCircularMode);
  openOffscreen(); // opening sets linear mode, which the knob drags then use
  EXPECT_EQ(editor->frame->getKnobMode(), kLinearMode);
}

TEST_F(BindingTest, AHostThatCanSizeWindowsDecidesTheSizeChange) {
  host.setAnswer(audioMasterCanDo, 1);
  host.setAnswer(audioMasterSizeWindow, 0); // and refuses
  EXPECT_FALSE(editor->beforeSizeChange(CRect(0, 0, 300.7, 150.2), CRect(0, 0, 200, 100)));
  auto asked = host.callsOf(audioMasterCanDo);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, "sizeWindow");
  auto resized = host.callsOf(audioMasterSizeWindow);
  ASSERT_EQ(resized.size(), 1u);
  EXPECT_EQ(resized[0].index, 300);
  EXPECT_EQ(resized[0].value, 150);

  openOffscreen();
  EXPECT_FALSE(editor->frame->setSize(300, 150));
  EXPECT_EQ(editor->frame->getViewSize(), CRect(0, 0, kPanelWidth, kPanelHeight));
  host.setAnswer(audioMasterSizeWindow, 1);
  EXPECT_TRUE(editor->frame->setSize(300, 150));
  EXPECT_EQ(editor->frame->getViewSize(), CRect(0, 0, 300, 150));
}

TEST_F(BindingTest, WithoutHostSupportOrAFrameTheSizeChangeIsAllowed) {
  EXPECT_TRUE(editor->beforeSizeChange(CRect(0, 0, 300, 150), CRect(0, 0, 200, 100)));
  EXPECT_EQ(host.countOf(audioMasterCanDo), 1u);
  EXPECT_EQ(host.countOf(audioMasterSizeWindow), 0u);
  openOffscreen(); // a frame without a native window has no window chain to resize
  EXPECT_TRUE(editor->beforeSizeChange(CRect(0, 0, 300, 150), CRect(0, 0, 200, 100)));
}

TEST_F(BindingTest, CloseReleasesTheFrameAndOpenBuildsItAgain) {
  openOffscreen();
  EXPECT_TRUE(editor->isOpen() || editor->frame != nullptr);
  dispatch(effEditClose);
  EXPECT_EQ(editor->frame, nullptr);
  EXPECT_FALSE(editor->isOpen());
  dispatch(effEditClose); // twice: nothing more happens
  openOffscreen();
  EXPECT_NE(editor->frame, nullptr);
}

} // namespace

namespace {

TEST_F(BindingTest, OurToolsOpenTheEditorInMemoryThroughTheirPrivateRequest) {
  auto target = std::make_unique<SparkwellOffscreenTarget>();
  const auto openInMemory = [&] {
    return dispatch(effVendorSpecific, kSparkwellChannelIndex, kSparkwellChannelOpenEditor,
                    target.get());
  };
  EXPECT_EQ(openInMemory(), 0) << "a record without its size and version is refused";
  EXPECT_EQ(editor->frame, nullptr);
  EXPECT_EQ(target->frame, nullptr);
  target->size = sizeof(SparkwellOffscreenTarget);
  target->version = kSparkwellOffscreenTargetVersion + 1;
  EXPECT_EQ(openInMemory(), 0) << "a layout this plug-in does not know is refused";
  EXPECT_EQ(target->frame, nullptr);

  target->version = kSparkwellOffscreenTargetVersion;
  ASSERT_EQ(openInMemory(), 1);
  ASSERT_NE(target->frame, nullptr);
  ASSERT_NE(target->mouseDown, nullptr);
  dispatch(effEditIdle);
  ASSERT_NE(target->pixels, nullptr);
  EXPECT_EQ(target->width, kPanelWidth);
  EXPECT_EQ(target->height, kPanelHeight);
  EXPECT_EQ(target->pixels[90 * kPanelWidth + 150], kPanelColour);
  EXPECT_EQ(target->pixels[40 * kPanelWidth + 130], frameColour(0));

  target->mouseDown(target->frame, 130, 40, kLButton);
  target->mouseUp(target->frame, 130, 40, kLButton);
  EXPECT_EQ(effect->getParameter(1), 1.0f);
  dispatch(effEditIdle);
  EXPECT_EQ(target->pixels[40 * kPanelWidth + 130], frameColour(1));
  target->mouseDown(target->frame, 45, 60, kLButton);
  target->mouseMoved(target->frame, 45, 40, kLButton);
  target->mouseUp(target->frame, 45, 40, kLButton);
  EXPECT_FLOAT_EQ(effect->getParameter(0), 0.1f);
  target->wheel(target->frame, 45, 45, 1.0f, 0);
  EXPECT_FLOAT_EQ(effect->getParameter(0), 0.2f);

  dispatch(effEditClose);
  EXPECT_EQ(target->size, sizeof(SparkwellOffscreenTarget));
  EXPECT_EQ(target->version, kSparkwellOffscreenTargetVersion);
  EXPECT_EQ(target->frame, nullptr);
  EXPECT_EQ(target->pixels, nullptr);
  EXPECT_EQ(target->mouseDown, nullptr);
  EXPECT_EQ(target->width, 0);
}

} // namespace
