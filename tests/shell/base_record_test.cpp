// The base object's record, its setup operations and the end of an instance, with the shell
// linked directly.
#include <cstring>

#include "base_fixture.h"

namespace {

TEST_F(BaseEffectTest, ConstructorFillsTheRecord) {
  const AEffect& e = *record;
  EXPECT_EQ(e.magic, CCONST('V', 's', 't', 'P'));
  EXPECT_EQ(e.object, static_cast<AudioEffect*>(effect));
  EXPECT_EQ(e.numPrograms, 4);
  EXPECT_EQ(e.numParams, 3);
  EXPECT_EQ(e.numInputs, 1);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.flags, effFlagsCanReplacing);
  EXPECT_EQ(e.uniqueID, CCONST('N', 'o', 'E', 'f'));
  EXPECT_EQ(e.version, 1);
  EXPECT_EQ(e.ioRatio, 1.0f);
  EXPECT_EQ(e.initialDelay, 0);
  EXPECT_EQ(e.resvd1, 0);
  EXPECT_EQ(e.resvd2, 0);
  EXPECT_EQ(e.user, nullptr);
  EXPECT_EQ(effect->getAeffect(), record);
  EXPECT_EQ(effect->getSampleRate(), 44100.0f);
  EXPECT_EQ(effect->getBlockSize(), 1024);
  EXPECT_EQ(effect->getProgram(), 0);
  EXPECT_EQ(effect->getEditor(), nullptr);
}

TEST_F(BaseEffectTest, SetupOperationsWriteTheRecord) {
  effect->setNumInputs(2);
  effect->setNumOutputs(6);
  effect->setUniqueID(CCONST('S', 'K', 'W', 'L'));
  effect->setInitialDelay(64);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 6);
  EXPECT_EQ(record->uniqueID, 0x534B574C);
  EXPECT_EQ(record->initialDelay, 64);

  effect->canProcessReplacing(false);
  EXPECT_EQ(record->flags, 0);
  effect->canProcessReplacing(true);
  effect->canDoubleReplacing(true);
  effect->programsAreChunks(true);
  EXPECT_EQ(record->flags,
            effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks);
  effect->canDoubleReplacing(false);
  effect->programsAreChunks(false);
  EXPECT_EQ(record->flags, effFlagsCanReplacing);
}

TEST_F(BaseEffectTest, SetEditorKeepsTheFlagTruthful) {
  RecordingEditor* editor = attachEditor();
  EXPECT_EQ(effect->getEditor(), editor);
  EXPECT_EQ(record->flags, effFlagsCanReplacing | effFlagsHasEditor);
  effect->setEditor(nullptr);
  EXPECT_EQ(record->flags, effFlagsCanReplacing);
  delete editor;
  journal.clear();
}

TEST_F(BaseEffectTest, CloseRunsCloseThenDestroysEffectThenEditor) {
  attachEditor();
  EXPECT_EQ(closeThroughRecord(), 1);
  EXPECT_EQ(journal, (Journal{"close", "~RecordingEffect", "~RecordingEditor"}));
}

TEST_F(BaseEffectTest, RateAndBlockSizeAreOnlyStored) {
  dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  dispatch(effSetBlockSize, 0, (VstIntPtr{1} << 32) + 256);
  EXPECT_EQ(effect->getSampleRate(), 96000.0f);
  EXPECT_EQ(effect->getBlockSize(), 256);
  EXPECT_TRUE(journal.empty());
}

TEST_F(BaseEffectTest, RecordEntriesReachTheEffect) {
  record->setParameter(record, 2, 0.375f);
  EXPECT_EQ(record->getParameter(record, 2), 0.375f);
  float left[4] = {}, right[4] = {};
  float* channels[2] = {left, right};
  record->processReplacing(record, channels, channels, 4);
  EXPECT_EQ(effect->lastInputs, channels);
  EXPECT_EQ(effect->lastOutputs, channels);
  EXPECT_EQ(journal, (Journal{"setParameter(2)", "getParameter(2)", "processReplacing(4)"}));
}

} // namespace
