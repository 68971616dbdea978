// The base's calls back to the host: opcode and arguments as the host receives them, how the
// answer is read, and silence when there is no host callback.
#include <cstring>

#include "base_fixture.h"

namespace {

using sparkwell_test::HostCall;

void expectCall(const HostCall& call, AEffect* effect, VstInt32 opcode, VstInt32 index,
                VstIntPtr value, float opt) {
  EXPECT_EQ(call.effect, effect);
  EXPECT_EQ(call.opcode, opcode);
  EXPECT_EQ(call.index, index);
  EXPECT_EQ(call.value, value);
  EXPECT_EQ(call.opt, opt);
}

// The host hears of an automated change only after the effect has taken the value, so a host
// that reads the parameter back in its handler sees the new one.
TEST_F(BaseEffectTest, AutomationSetsTheValueThenTellsTheHost) {
  float seenByHost = -1.0f;
  host.setHandler(audioMasterAutomate, [&](const HostCall& call) {
    seenByHost = call.effect->getParameter(call.effect, call.index);
    return VstIntPtr{0};
  });
  effect->setParameterAutomated(2, 0.625f);
  const auto calls = host.callsOf(audioMasterAutomate);
  ASSERT_EQ(calls.size(), 1u);
  expectCall(calls[0], record, audioMasterAutomate, 2, 0, 0.625f);
  EXPECT_FALSE(calls[0].hasPtr);
  EXPECT_EQ(seenByHost, 0.625f);
  EXPECT_EQ(journal, (Journal{"setParameter(2)", "getParameter(2)"}));
}

TEST_F(BaseEffectTest, EditGesturesAndIdle) {
  host.setAnswer(audioMasterBeginEdit, 1);
  EXPECT_TRUE(effect->beginEdit(3));
  EXPECT_FALSE(effect->endEdit(3));
  host.setAnswer(audioMasterEndEdit, -1);
  EXPECT_TRUE(effect->endEdit(4));
  effect->masterIdle();
  const auto calls = host.calls();
  ASSERT_EQ(calls.size(), 4u);
  expectCall(calls[0], record, audioMasterBeginEdit, 3, 0, 0.0f);
  expectCall(calls[1], record, audioMasterEndEdit, 3, 0, 0.0f);
  expectCall(calls[2], record, audioMasterEndEdit, 4, 0, 0.0f);
  expectCall(calls[3], record, audioMasterIdle, 0, 0, 0.0f);
}

// Any nonzero answer counts as 1, the host's -1 ("no") included.
TEST_F(BaseEffectTest, CanHostDoReadsAnyNonzeroAsYes) {
  char sizeWindow[] = "sizeWindow";
  const std::pair<VstIntPtr, VstInt32> answers[] = {{0, 0}, {1, 1}, {-1, 1}, {7, 1}};
  for (const auto& [hostAnswer, expected] : answers) {
    host.setAnswer(audioMasterCanDo, hostAnswer);
    EXPECT_EQ(effect->canHostDo(sizeWindow), expected) << "host answered " << hostAnswer;
  }
  const auto calls = host.callsOf(audioMasterCanDo);
  ASSERT_EQ(calls.size(), 4u);
  expectCall(calls[0], record, audioMasterCanDo, 0, 0, 0.0f);
  EXPECT_EQ(calls[0].text, "sizeWindow");
}

TEST_F(BaseEffectTest, SizeWindowSendsWidthAndHeight) {
  EXPECT_FALSE(effect->sizeWindow(450, 306));
  host.setAnswer(audioMasterSizeWindow, 1);
  EXPECT_TRUE(effect->sizeWindow(450, 306));
  const auto calls = host.callsOf(audioMasterSizeWindow);
  ASSERT_EQ(calls.size(), 2u);
  expectCall(calls[1], record, audioMasterSizeWindow, 450, 306, 0.0f);
}

// Switching on asks for MIDI only for an instrument or an effect that takes MIDI events.
TEST_F(BaseEffectTest, ResumeAsksForMidiOnlyWhenItIsWanted) {
  dispatch(effMainsChanged, 0, 1);
  EXPECT_EQ(host.countOf(audioMasterWantMidi), 0u);
  effect->canDoAnswer = 1;
  dispatch(effMainsChanged, 0, 1);
  effect->canDoAnswer = 0;
  effect->setFlags(effFlagsCanReplacing | effFlagsIsSynth);
  dispatch(effMainsChanged, 0, 1);
  const auto calls = host.callsOf(audioMasterWantMidi);
  ASSERT_EQ(calls.size(), 2u);
  expectCall(calls[0], record, audioMasterWantMidi, 0, 1, 0.0f);
}

TEST_F(BaseEffectTest, NothingElseCallsTheHost) {
  dispatch(effOpen);
  dispatch(effMainsChanged, 0, 1);
  dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  dispatch(effMainsChanged, 0, 0);
  record->setParameter(record, 0, 0.5f);
  EXPECT_TRUE(host.calls().empty());
}

TEST(BaseEffectWithoutHost, HostCallsAnswerZero) {
  Journal journal;
  RecordingEffect effect(nullptr, journal);
  char sizeWindow[] = "sizeWindow";
  effect.setParameterAutomated(1, 0.5f);
  EXPECT_EQ(effect.getParameter(1), 0.5f);
  EXPECT_FALSE(effect.beginEdit(1));
  EXPECT_FALSE(effect.endEdit(1));
  EXPECT_EQ(effect.canHostDo(sizeWindow), 0);
  EXPECT_FALSE(effect.sizeWindow(450, 306));
  EXPECT_EQ(effect.getMasterVersion(), 0);
  effect.masterIdle();
}

} // namespace
