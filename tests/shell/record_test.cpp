// The AEffect record of a freshly made instance of the built plug-in.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin_host.h"

using namespace sparkwell_test;

namespace {

class Record : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(library.isLoaded()) << library.loadError();
    ASSERT_TRUE(instance);
  }

  PluginLibrary library{pluginPath()};
  TestHost host;
  PluginInstance instance{host, library.vstPluginMain()};
};

TEST_F(Record, FreshInstance) {
  const AEffect& e = *instance.effect();
  EXPECT_EQ(e.magic, 0x56737450);
  EXPECT_NE(e.dispatcher, nullptr);
  EXPECT_NE(e.process, nullptr);
  EXPECT_NE(e.setParameter, nullptr);
  EXPECT_NE(e.getParameter, nullptr);
  EXPECT_NE(e.processReplacing, nullptr);
  EXPECT_NE(e.processDoubleReplacing, nullptr);
  // Hosts pick processReplacing only when it differs from the accumulating entry.
  EXPECT_NE(reinterpret_cast<void*>(e.process), reinterpret_cast<void*>(e.processReplacing));
  EXPECT_EQ(e.numPrograms, 8);
  EXPECT_EQ(e.numParams, 10);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.resvd1, 0);
  EXPECT_EQ(e.resvd2, 0);
  EXPECT_EQ(e.initialDelay, 0);
  EXPECT_EQ(e.realQualities, 0);
  EXPECT_EQ(e.offQualities, 0);
  EXPECT_EQ(e.ioRatio, 1.0f);
  EXPECT_NE(e.object, nullptr);
  EXPECT_EQ(e.user, nullptr);
  EXPECT_EQ(e.uniqueID, 0x534B574C);
  EXPECT_EQ(e.version, 1);
  const char zeros[sizeof(e.future)] = {};
  EXPECT_EQ(std::memcmp(e.future, zeros, sizeof(zeros)), 0);
}

// Only replacing processing, plus an editor when the effect attached one: no double precision,
// no chunks, no instrument. The editor flag tells the truth about the editor requests.
TEST_F(Record, FlagsClaimOnlyWhatIsThere) {
  const VstInt32 flags = instance.effect()->flags;
  EXPECT_EQ(flags & ~effFlagsHasEditor, effFlagsCanReplacing);
  ERect* rect = nullptr;
  const VstIntPtr hasRect = instance.dispatch(effEditGetRect, 0, 0, &rect);
  EXPECT_EQ(hasRect != 0, (flags & effFlagsHasEditor) != 0);
}

TEST_F(Record, DoubleAndAccumulatingEntriesLeaveOutputsAlone) {
  constexpr VstInt32 frames = 32;
  std::vector<double> inLeft(frames, 0.5), inRight(frames, -0.5);
  std::vector<double> outLeft(frames, 7.0), outRight(frames, 7.0);
  double* doubleInputs[2] = {inLeft.data(), inRight.data()};
  double* doubleOutputs[2] = {outLeft.data(), outRight.data()};
  AEffect* e = instance.effect();
  e->processDoubleReplacing(e, doubleInputs, doubleOutputs, frames);
  EXPECT_EQ(outLeft, std::vector<double>(frames, 7.0));
  EXPECT_EQ(outRight, std::vector<double>(frames, 7.0));

  std::vector<float> floatIn(frames, 0.5f), floatOut(frames, 7.0f), floatOut2(frames, 7.0f);
  float* floatInputs[2] = {floatIn.data(), floatIn.data()};
  float* floatOutputs[2] = {floatOut.data(), floatOut2.data()};
  e->process(e, floatInputs, floatOutputs, frames);
  EXPECT_EQ(floatOut, std::vector<float>(frames, 7.0f));
  EXPECT_EQ(floatOut2, std::vector<float>(frames, 7.0f));
}

} // namespace
