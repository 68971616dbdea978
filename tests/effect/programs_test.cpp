// Programs, program names and the identity of a new instance.
#include <string>

#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using ProgramsTest = SparkwellTest;

std::string programName(PluginInstance& instance) {
  const TextAnswer answer = instance.dispatchText(effGetProgramName);
  EXPECT_TRUE(answer.terminated);
  EXPECT_LE(answer.bytesWritten, static_cast<size_t>(kVstMaxProgNameLen));
  return answer.text;
}

void nameProgram(PluginInstance& instance, const std::string& name) {
  std::string text = name;
  instance.dispatch(effSetProgramName, 0, 0, &text[0]);
}

TEST_F(ProgramsTest, NewInstanceIdentity) {
  auto instance = makeInstance();
  const AEffect* record = instance->effect();
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->numPrograms, 8);
  EXPECT_EQ(record->numParams, 10);
  EXPECT_EQ(record->uniqueID, 0x534B574C); // 'SKWL'
  EXPECT_TRUE(record->flags & effFlagsHasEditor);
  EXPECT_TRUE(record->flags & effFlagsCanReplacing);

  const TextAnswer effectName = instance->dispatchText(effGetEffectName);
  EXPECT_EQ(effectName.answer, 1);
  EXPECT_EQ(effectName.text, "Sparkwell x64");
  // kVstMaxEffectNameLen counts the terminator, and hosts pass buffers of exactly that size.
  EXPECT_LE(effectName.bytesWritten, static_cast<size_t>(kVstMaxEffectNameLen));
  const TextAnswer vendor = instance->dispatchText(effGetVendorString);
  EXPECT_EQ(vendor.answer, 1);
  EXPECT_EQ(vendor.text, "Quillane");
  EXPECT_EQ(vendor.bytesWritten, 9u);
  const TextAnswer product = instance->dispatchText(effGetProductString);
  EXPECT_EQ(product.answer, 1);
  EXPECT_EQ(product.text, "Sparkwell x64");
  EXPECT_EQ(product.bytesWritten, 14u);
}

TEST_F(ProgramsTest, DefaultNamesAreNumberedOnlyThroughTheCurrentProgram) {
  auto instance = makeInstance();
  EXPECT_EQ(instance->dispatch(effGetProgram), 0);
  EXPECT_EQ(programName(*instance), "Init 1");
  for (VstInt32 index = 0; index < 8; ++index) {
    const TextAnswer indexed = instance->dispatchText(effGetProgramNameIndexed, index);
    EXPECT_EQ(indexed.answer, 1) << index;
    EXPECT_EQ(indexed.text, "Init") << index;
  }
  for (VstInt32 index : {8, 9, -1, -100}) {
    const TextAnswer indexed = instance->dispatchText(effGetProgramNameIndexed, index);
    EXPECT_EQ(indexed.answer, 0) << index;
    EXPECT_TRUE(indexed.untouched) << index;
  }
  for (VstInt32 program = 0; program < 8; ++program) {
    instance->dispatch(effSetProgram, 0, program);
    EXPECT_EQ(programName(*instance), "Init " + std::to_string(program + 1));
  }
}

TEST_F(ProgramsTest, NamesAreKeptPerProgramAndOnlyExactlyInitIsNumbered) {
  auto instance = makeInstance();
  instance->dispatch(effSetProgram, 0, 2);
  nameProgram(*instance, "Lead");
  instance->dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(programName(*instance), "Init 1");
  instance->dispatch(effSetProgram, 0, 2);
  EXPECT_EQ(programName(*instance), "Lead");
  EXPECT_EQ(instance->dispatchText(effGetProgramNameIndexed, 2).text, "Lead");
  nameProgram(*instance, "Init");
  EXPECT_EQ(programName(*instance), "Init 3");
  nameProgram(*instance, "Init ");
  EXPECT_EQ(programName(*instance), "Init ");
  nameProgram(*instance, "init");
  EXPECT_EQ(programName(*instance), "init");
}

TEST_F(ProgramsTest, LongNamesAreCutToTwentyThreeCharacters) {
  auto instance = makeInstance();
  instance->dispatch(effSetProgram, 0, 5);
  const std::string longName(100, 'x');
  nameProgram(*instance, longName);
  EXPECT_EQ(programName(*instance), std::string(23, 'x'));
  const TextAnswer indexed = instance->dispatchText(effGetProgramNameIndexed, 5);
  EXPECT_EQ(indexed.text, std::string(23, 'x'));
  EXPECT_EQ(indexed.bytesWritten, 24u);
  // The neighbouring record is intact.
  EXPECT_EQ(instance->dispatchText(effGetProgramNameIndexed, 6).text, "Init");
  EXPECT_EQ(instance->getParameter(kGain), 0.6f);
}

TEST_F(ProgramsTest, ParameterChangesGoIntoTheCurrentProgram) {
  auto instance = makeInstance();
  instance->dispatch(effSetProgram, 0, 1);
  instance->setParameter(kGain, 0.25f);
  instance->setParameter(kEffect, 0.0f);
  instance->setParameter(kPanelTab, 1.0f);
  instance->dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(instance->getParameter(kGain), 0.6f);
  EXPECT_EQ(instance->getParameter(kEffect), 1.0f);
  instance->dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(instance->dispatch(effGetProgram), 1);
  EXPECT_EQ(instance->getParameter(kGain), 0.25f);
  EXPECT_EQ(instance->getParameter(kEffect), 0.0f);
  EXPECT_EQ(instance->getParameter(kPanelTab), 0.0f);
  // The host is not told about values that a program selection sets.
  EXPECT_EQ(host.countOf(audioMasterAutomate), 0u);
  // Out-of-range program numbers change nothing.
  instance->dispatch(effSetProgram, 0, 8);
  instance->dispatch(effSetProgram, 0, -1);
  EXPECT_EQ(instance->dispatch(effGetProgram), 1);
}

TEST_F(ProgramsTest, SelectingAProgramRederivesWhatTheSoundReads) {
  // One instance wanders through another program's settings and comes back to program 0;
  // another only selects program 0. Both must sound the same from then on.
  auto wandered = makeInstance();
  wandered->dispatch(effSetProgram, 0, 3);
  const float odd[] = {0.1f, 0.2f, 0.9f, 0.7f, 0.3f, 0.1f, 0.8f, 0.0f, 0.0f, 0.75f};
  for (VstInt32 index = 0; index < 10; ++index)
    wandered->setParameter(index, odd[index]);
  wandered->dispatch(effSetProgram, 0, 0);
  auto fresh = makeInstance();
  fresh->dispatch(effSetProgram, 0, 0);

  const StereoBuffer input = noise(2048, 0.5f, 7);
  const ProcessResult a = wandered->process(input);
  const ProcessResult b = fresh->process(input);
  EXPECT_TRUE(sameBits(a.output.left, b.output.left));
  EXPECT_TRUE(sameBits(a.output.right, b.output.right));
}

TEST_F(ProgramsTest, NewInstanceRunsTheFixedHpfAndTrebleDesignsUntilTheyAreSet) {
  auto fresh = makeInstance();
  auto reselected = makeInstance();
  reselected->dispatch(effSetProgram, 0, 0);
  auto hpfAndTrebleSet = makeInstance();
  hpfAndTrebleSet->setParameter(kHpf, 1.0f);
  hpfAndTrebleSet->setParameter(kTreble, 1.0f);

  const StereoBuffer input = noise(1024, 0.5f, 11);
  const StereoBuffer a = fresh->process(input).output;
  const StereoBuffer b = reselected->process(input).output;
  const StereoBuffer c = hpfAndTrebleSet->process(input).output;
  EXPECT_FALSE(sameBits(a.left, b.left));
  EXPECT_TRUE(sameBits(b.left, c.left));
}

TEST_F(ProgramsTest, HostSampleRateReachesNoCoefficient) {
  auto atDefault = makeInstance();
  auto at48k = makeInstance();
  at48k->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  at48k->dispatch(effMainsChanged, 0, 0);
  at48k->dispatch(effMainsChanged, 0, 1);
  at48k->setParameter(kHpf, 0.5f);
  atDefault->setParameter(kHpf, 0.5f);
  const StereoBuffer input = noise(1024, 0.5f, 13);
  EXPECT_TRUE(sameBits(atDefault->process(input).output.left, at48k->process(input).output.left));
}

} // namespace
} // namespace sparkwell_test
