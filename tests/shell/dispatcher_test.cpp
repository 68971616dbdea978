// Host requests through the built plug-in's dispatcher: the fixed answers, the requests that
// must change nothing, null text pointers, parents of the editor that are no window, and a sweep
// over every opcode.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/mman.h>
#endif

#include "plugin_host.h"

using namespace sparkwell_test;

namespace {

class Dispatcher : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(library.isLoaded()) << library.loadError();
    ASSERT_TRUE(instance);
    host.clearCalls();
  }

  std::array<float, 10> parameters() {
    std::array<float, 10> values{};
    for (VstInt32 i = 0; i < 10; ++i)
      values[static_cast<size_t>(i)] = instance.getParameter(i);
    return values;
  }

  PluginLibrary library{pluginPath()};
  TestHost host;
  PluginInstance instance{host, library.vstPluginMain()};
};

struct FixedAnswer {
  const char* what;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  VstIntPtr answer;
};

TEST_F(Dispatcher, FixedAnswers) {
  const FixedAnswer table[] = {
      {"category: unknown, not effect", effGetPlugCategory, 0, 0, 0},
      {"VST version", effGetVstVersion, 0, 0, 2400},
      {"vendor version", effGetVendorVersion, 0, 0, 0},
      {"tail size", effGetTailSize, 0, 0, 0},
      {"identify 'NvEf'", effIdentify, 0, 0, 0x4E764566},
      {"automatable index 0", effCanBeAutomated, 0, 0, 1},
      {"automatable index 8 (no parameter)", effCanBeAutomated, 8, 0, 1},
      {"automatable index 100", effCanBeAutomated, 100, 0, 1},
      {"current MIDI program", effGetCurrentMidiProgram, 0, 0, -1},
      {"total samples", effSetTotalSampleToProcess, 0, 12345, 12345},
      {"total samples cut to 32 bits", effSetTotalSampleToProcess, 0, (VstIntPtr{1} << 32) + 12345,
       12345},
      {"total samples sign-extended", effSetTotalSampleToProcess, 0, 0xFFFFFFF9, -7},
      {"knob mode", effSetEditKnobMode, 0, 1, 0},
      {"open", effOpen, 0, 0, 0},
      {"bypass", effSetBypass, 0, 1, 0},
      {"MIDI input channels", effGetNumMidiInputChannels, 0, 0, 0},
      {"MIDI output channels", effGetNumMidiOutputChannels, 0, 0, 0},
      {"start process", effStartProcess, 0, 0, 0},
      {"stop process", effStopProcess, 0, 0, 0},
      {"process precision", effSetProcessPrecision, 0, 1, 0},
      {"deprecated VU", effGetVu, 0, 0, 0},
      {"deprecated program categories", effGetNumProgramCategories, 0, 0, 0},
      {"deprecated keys required", effKeysRequired, 0, 0, 0},
      {"first opcode past the table", 80, 0, 0, 0},
      {"negative opcode", -1, 0, 0, 0},
  };
  for (const FixedAnswer& row : table)
    EXPECT_EQ(instance.dispatch(row.opcode, row.index, row.value), row.answer) << row.what;
}

TEST_F(Dispatcher, CanDoSaysNeitherYesNorNo) {
  std::string tokens[] = {"receiveVstMidiEvent", "sendVstEvents", "bypass",
                          "sizeWindow",          "offline",       "",
                          std::string(1000, 'x')};
  for (std::string& token : tokens)
    EXPECT_EQ(instance.dispatch(effCanDo, 0, 0, &token[0]), 0) << token.substr(0, 40);
  EXPECT_TRUE(host.calls().empty());
}

TEST_F(Dispatcher, OutOfRangeProgramsChangeNothing) {
  instance.dispatch(effSetProgram, 0, 3);
  ASSERT_EQ(instance.dispatch(effGetProgram), 3);
  const std::array<float, 10> before = parameters();
  const VstIntPtr outside[] = {8, -1, 1000, (VstIntPtr{1} << 32) + 1, -(VstIntPtr{1} << 32) + 2};
  for (VstIntPtr program : outside) {
    instance.dispatch(effSetProgram, 0, program);
    EXPECT_EQ(instance.dispatch(effGetProgram), 3) << "program " << program;
  }
  EXPECT_EQ(parameters(), before);
  instance.dispatch(effSetProgram, 0, 7);
  EXPECT_EQ(instance.dispatch(effGetProgram), 7);
  instance.dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(instance.dispatch(effGetProgram), 0);
}

TEST_F(Dispatcher, NoChunksAndThePointerIsLeftAlone) {
  int sentinel = 0;
  for (VstInt32 isPreset : {0, 1}) {
    void* data = &sentinel;
    EXPECT_EQ(instance.dispatch(effGetChunk, isPreset, 0, &data), 0);
    EXPECT_EQ(data, &sentinel);
  }
  char chunk[64] = {1, 2, 3};
  EXPECT_EQ(instance.dispatch(effSetChunk, 0, sizeof(chunk), chunk), 0);
}

TEST_F(Dispatcher, SpeakerArrangementAnswersNull) {
  int a = 0, b = 0;
  VstSpeakerArrangement* input = reinterpret_cast<VstSpeakerArrangement*>(&a);
  VstSpeakerArrangement* output = reinterpret_cast<VstSpeakerArrangement*>(&b);
  EXPECT_EQ(
      instance.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output),
      0);
  EXPECT_EQ(input, nullptr);
  EXPECT_EQ(output, nullptr);
  output = reinterpret_cast<VstSpeakerArrangement*>(&b);
  EXPECT_EQ(instance.dispatch(effGetSpeakerArrangement, 0, 0, &output), 0);
  EXPECT_EQ(output, nullptr);
}

// Switching the effect off and on again resets nothing: parameters, program and the audio that
// follows are the same as without the switch, and the host hears nothing of it.
TEST_F(Dispatcher, MainsOffAndOnResetNothing) {
  PluginInstance twin(host, library.vstPluginMain());
  ASSERT_TRUE(twin);
  for (PluginInstance* each : {&instance, &twin}) {
    each->dispatch(effSetProgram, 0, 2);
    each->dispatch(effMainsChanged, 0, 1);
  }
  std::mt19937 random(20260);
  std::uniform_real_distribution<float> sample(-0.8f, 0.8f);
  StereoBuffer block;
  for (int i = 0; i < 256; ++i) {
    block.left.push_back(sample(random));
    block.right.push_back(sample(random));
  }
  instance.process(block);
  twin.process(block);
  host.clearCalls();
  const std::array<float, 10> before = parameters();

  instance.dispatch(effMainsChanged, 0, 0);
  instance.dispatch(effMainsChanged, 0, 1);

  EXPECT_EQ(parameters(), before);
  EXPECT_EQ(instance.dispatch(effGetProgram), 2);
  EXPECT_TRUE(host.calls().empty());
  const ProcessResult afterSwitch = instance.process(block);
  const ProcessResult continuous = twin.process(block);
  ASSERT_EQ(afterSwitch.output.left.size(), continuous.output.left.size());
  EXPECT_EQ(0, std::memcmp(afterSwitch.output.left.data(), continuous.output.left.data(),
                           block.left.size() * sizeof(float)));
  EXPECT_EQ(0, std::memcmp(afterSwitch.output.right.data(), continuous.output.right.data(),
                           block.right.size() * sizeof(float)));
}

// Every request that takes a text, given a null pointer: answered 0, nothing written anywhere.
// The parent of effEditOpen is a window id and nothing else: memory that happens to be readable
// there, even starting with the number an older build looked for, is never read or written.
TEST_F(Dispatcher, TheEditorNeverTouchesMemoryItsParentPointsTo) {
  const auto openIdleClose = [&](void* parent) {
    instance.dispatch(effEditOpen, 0, 0, parent);
    for (int i = 0; i < 3; ++i)
      instance.dispatch(effEditIdle);
    instance.dispatch(effEditClose);
  };
  const auto fillPattern = [](unsigned char* bytes, size_t size) {
    const uint64_t oldMagic = 0x4b574c4f46465343ull;
    std::memcpy(bytes, &oldMagic, sizeof oldMagic);
    for (size_t i = sizeof oldMagic; i < size; ++i)
      bytes[i] = static_cast<unsigned char>(i * 37 + 11);
  };

  std::vector<unsigned char> buffer(4096), expected(4096);
  fillPattern(buffer.data(), buffer.size());
  expected = buffer;
  openIdleClose(buffer.data());
  EXPECT_EQ(buffer, expected) << "readable memory handed over as the parent window";

#ifndef _WIN32
  // The same below 4 GiB, where the address reads as an X window id that does not exist.
  const size_t size = 4096;
  void* low = mmap(reinterpret_cast<void*>(uintptr_t{0x10000000}), size, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  if (low != MAP_FAILED) {
    fillPattern(static_cast<unsigned char*>(low), size);
    openIdleClose(low);
    EXPECT_EQ(std::memcmp(low, expected.data(), size), 0) << "memory at a window-id address";
    munmap(low, size);
  }
#endif

  openIdleClose(nullptr);
  EXPECT_EQ(instance.dispatch(effGetVstVersion), 2400) << "the instance still answers";
}

TEST_F(Dispatcher, NullTextPointersAreAnsweredZero) {
  const VstInt32 textRequests[] = {
      effSetProgramName,        effGetProgramName, effGetParamLabel,
      effGetParamDisplay,       effGetParamName,   effString2Parameter,
      effGetProgramNameIndexed, effGetEffectName,  effGetVendorString,
      effGetProductString,      effCanDo,          effShellGetNextPlugin};
  for (VstInt32 opcode : textRequests)
    for (VstInt32 index : {0, 1, 9})
      EXPECT_EQ(instance.dispatch(opcode, index, 0, nullptr), 0)
          << "opcode " << opcode << " index " << index;
  EXPECT_EQ(instance.dispatch(effEditGetRect, 0, 0, nullptr), 0);
}

// Every opcode from -100 to 200, each with a valid buffer and seeded random index, value and
// opt, twice over: nothing breaks, what the host sees of the instance stays as it was, and
// every opcode outside the published table is answered 0.
TEST_F(Dispatcher, SweepOfEveryOpcode) {
  const AEffect before = *instance.effect();
  std::mt19937 random(4242);
  std::uniform_int_distribution<VstInt32> anyIndex(-2, 12);
  std::uniform_int_distribution<VstIntPtr> anyValue(-3, 1 << 20);
  std::uniform_real_distribution<float> anyOpt(-2.0f, 50000.0f);
  for (int pass = 0; pass < 2; ++pass) {
    for (VstInt32 opcode = -100; opcode <= 200; ++opcode) {
      // effClose ends the instance and effEditOpen needs a real parent window: both have
      // tests of their own.
      if (opcode == effClose || opcode == effEditOpen) continue;
      std::vector<char> buffer(1024, 0);
      std::memcpy(buffer.data(), "Sweep", 6);
      void* pointerSlot[2] = {nullptr, nullptr};
      VstIntPtr value = anyValue(random);
      void* ptr = buffer.data();
      if (opcode == effGetSpeakerArrangement || opcode == effSetSpeakerArrangement) {
        value = reinterpret_cast<VstIntPtr>(&pointerSlot[0]);
        ptr = &pointerSlot[1];
      }
      const VstIntPtr answer =
          instance.dispatch(opcode, anyIndex(random), value, ptr, anyOpt(random));
      if (opcode < 0 || opcode > effGetNumMidiOutputChannels) {
        EXPECT_EQ(answer, 0) << "opcode " << opcode;
      }
    }
  }
  const AEffect& after = *instance.effect();
  EXPECT_EQ(after.magic, before.magic);
  EXPECT_EQ(after.flags, before.flags);
  EXPECT_EQ(after.numInputs, before.numInputs);
  EXPECT_EQ(after.numOutputs, before.numOutputs);
  EXPECT_EQ(after.uniqueID, before.uniqueID);
  EXPECT_EQ(after.object, before.object);
  EXPECT_EQ(after.processReplacing, before.processReplacing);
  EXPECT_EQ(instance.dispatch(effGetVstVersion), 2400);
}

} // namespace
