// The editor classes linked directly, drawn off-screen: what a host cannot see through the
// plug-in's record (the controls' own values, which face's controls are visible, values set
// from another thread before the next idle) and a library without its front picture.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

#include "cverticalswitch.h"
#include "panel_layout.h"
#include "plugin_host.h"
#include "sparkwell.h"
#include "sparkwelleditor.h"
#include "test_seams.h"

namespace sparkwell_test {
namespace {

constexpr VstInt32 kBackFaceTags[] = {kHpf,    kInput,      kGridCurrent, kTreble,
                                      kPickup, kTransistor, kStereo};
constexpr VstInt32 kFrontFaceTags[] = {kGain, kEffect};

class EditorClassesTest : public ::testing::Test {
protected:
  void SetUp() override { makeEffect(); }
  void TearDown() override {
    destroyEffect();
    restorePngResources();
  }

  void makeEffect() {
    effect = std::make_unique<Sparkwell>(TestHost::callback);
    host.adopt(effect->getAeffect());
    editor = static_cast<sparkwelleditor*>(effect->getEditor());
  }
  void destroyEffect() {
    if (!effect) return;
    host.forget(effect->getAeffect());
    effect.reset();
    editor = nullptr;
  }

  VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr) {
    return effect->dispatcher(opcode, 0, 0, ptr, 0.0f);
  }
  float controlValue(VstInt32 tag) { return editor->getControl(tag)->getValue(); }
  // Sets a parameter the way a host's engine thread does.
  void setFromAnotherThread(VstInt32 index, float value) {
    std::thread([&] { effect->setParameter(index, value); }).join();
  }
  void clickTab() {
    CFrame* frame = editor->getFrame();
    CPoint where(400, 12);
    frame->onMouseDown(where, CButtonState(kLButton));
    frame->onMouseUp(where, CButtonState(kLButton));
  }

  TestHost host;
  std::unique_ptr<Sparkwell> effect;
  sparkwelleditor* editor = nullptr;
  // The editor opened without a window, as our tools open it: the frame draws into memory.
  bool openInMemory() {
    editor->open(nullptr);
    return editor->getFrame() != nullptr;
  }
};

TEST_F(EditorClassesTest, OpenBuildsEveryControlAtTheEffectsValueWithOnlyTheFrontFaceVisible) {
  effect->setParameter(kHpf, 0.25f);
  effect->setParameter(kStereo, 0.0f);
  ASSERT_TRUE(openInMemory());
  for (VstInt32 tag = 0; tag < kNumParams; ++tag) {
    ASSERT_NE(editor->getControl(tag), nullptr) << tag;
    EXPECT_EQ(editor->getControl(tag)->getTag(), tag);
    EXPECT_EQ(controlValue(tag), effect->getParameter(tag)) << tag; // 0 for the tab
  }
  for (VstInt32 tag : kBackFaceTags)
    EXPECT_FALSE(editor->getControl(tag)->isVisible()) << tag;
  for (VstInt32 tag : kFrontFaceTags)
    EXPECT_TRUE(editor->getControl(tag)->isVisible()) << tag;
  EXPECT_TRUE(editor->getControl(kPanelTag)->isVisible());
  EXPECT_FALSE(editor->isBackPanelShown());
  // The tab lies above everything else.
  CFrame* frame = editor->getFrame();
  EXPECT_EQ(frame->getView(frame->getNbViews() - 1), editor->getControl(kPanelTag));
  EXPECT_EQ(frame->getNbViews(), kNumParams);
  EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 450, 306));
}

TEST_F(EditorClassesTest, TheTabShowsOneFaceAtATimeAndTheTabItselfOnBoth) {
  ASSERT_TRUE(openInMemory());
  clickTab();
  EXPECT_TRUE(editor->isBackPanelShown());
  for (VstInt32 tag : kBackFaceTags)
    EXPECT_TRUE(editor->getControl(tag)->isVisible()) << tag;
  for (VstInt32 tag : kFrontFaceTags)
    EXPECT_FALSE(editor->getControl(tag)->isVisible()) << tag;
  EXPECT_EQ(controlValue(kPanelTag), 1.0f);
  // The flip leaves the frame hidden until the next idle shows it again.
  EXPECT_FALSE(editor->getFrame()->isVisible());
  dispatch(effEditIdle);
  EXPECT_TRUE(editor->getFrame()->isVisible());

  clickTab();
  EXPECT_FALSE(editor->isBackPanelShown());
  for (VstInt32 tag : kFrontFaceTags)
    EXPECT_TRUE(editor->getControl(tag)->isVisible()) << tag;
  EXPECT_TRUE(editor->getControl(kPanelTag)->isVisible());
  EXPECT_EQ(controlValue(kPanelTag), 0.0f);
}

TEST_F(EditorClassesTest, HostValuesAreLimitedByTheControlsAndIndicesWithoutOneIgnored) {
  ASSERT_TRUE(openInMemory());
  effect->setParameter(kGain, 1.5f);
  effect->setParameter(kInput, -0.5f);
  effect->setParameter(kTransistor, 0.7f);
  effect->setParameter(kPickup, 0.3f);
  EXPECT_EQ(effect->getParameter(kGain), 1.5f);
  EXPECT_EQ(controlValue(kGain), 1.0f);
  EXPECT_EQ(controlValue(kInput), 0.0f);
  auto* transistor = static_cast<COnOffButton*>(editor->getControl(kTransistor));
  EXPECT_EQ(transistor->getValue(), 0.7f);
  EXPECT_EQ(transistor->frameForValue(), 0); // lever up: only 1 shows the lower frame
  auto* pickup = static_cast<CVerticalSwitch*>(editor->getControl(kPickup));
  EXPECT_EQ(pickup->frameForValue(), 1); // Hot Humbucker, the position nearest 0.3

  effect->setParameter(kPanelTag, 1.0f);
  effect->setParameter(10, 1.0f);
  effect->setParameter(-1, 1.0f);
  dispatch(effEditIdle);
  EXPECT_EQ(controlValue(kPanelTag), 0.0f);
  EXPECT_FALSE(editor->isBackPanelShown());
  EXPECT_EQ(controlValue(kGain), 1.0f);
}

TEST_F(EditorClassesTest, ValuesFromAnotherThreadReachTheControlsAtTheNextIdle) {
  ASSERT_TRUE(openInMemory());
  const float before = controlValue(kGain);
  setFromAnotherThread(kGain, 0.2f);
  EXPECT_EQ(effect->getParameter(kGain), 0.2f);
  EXPECT_EQ(controlValue(kGain), before) << "another thread must not touch the controls";
  dispatch(effEditIdle);
  EXPECT_EQ(controlValue(kGain), 0.2f);

  // The window's own thread moves the control at once, and an older value another thread left
  // does not win at the idle.
  setFromAnotherThread(kTreble, 0.3f);
  effect->setParameter(kTreble, 0.9f);
  EXPECT_EQ(controlValue(kTreble), 0.9f);
  dispatch(effEditIdle);
  EXPECT_EQ(controlValue(kTreble), 0.9f);

  // No value a host can send is mistaken for an empty slot: NaN of any pattern is a value.
  const uint32_t slotLikeNan = 0x7fa5a5a5u;
  float nan;
  std::memcpy(&nan, &slotLikeNan, sizeof nan);
  setFromAnotherThread(kHpf, nan);
  dispatch(effEditIdle);
  EXPECT_EQ(controlValue(kHpf), 0.0f);

  setFromAnotherThread(kPanelTag, 1.0f);
  setFromAnotherThread(12, 1.0f);
  dispatch(effEditIdle);
  EXPECT_EQ(controlValue(kPanelTag), 0.0f);
}

TEST_F(EditorClassesTest, ValuesSetWhileClosedShowAtTheNextOpen) {
  setFromAnotherThread(kGridCurrent, 0.4f);
  effect->setParameter(kEffect, 0.0f);
  ASSERT_TRUE(openInMemory());
  dispatch(effEditIdle);
  EXPECT_EQ(controlValue(kGridCurrent), 0.4f);
  EXPECT_EQ(controlValue(kEffect), 0.0f);
  dispatch(effEditClose);
  EXPECT_EQ(editor->getControl(kGain), nullptr);
  EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(EditorClassesTest, WithoutTheFrontPictureTheSizeIsZeroAndOpenStillSucceeds) {
  destroyEffect();
  replacePngResource(1, {});
  makeEffect();
  ERect* rect = nullptr;
  EXPECT_EQ(dispatch(effEditGetRect, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 0);
  EXPECT_EQ(rect->bottom - rect->top, 0);
  EXPECT_TRUE(openInMemory());
  dispatch(effEditIdle);
  EXPECT_EQ(editor->getFrame()->getViewSize(), CRect(0, 0, 0, 0));
  EXPECT_EQ(controlValue(kGain), effect->getParameter(kGain));
  dispatch(effEditClose);
}

} // namespace
} // namespace sparkwell_test
