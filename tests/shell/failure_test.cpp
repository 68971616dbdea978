// Failure at the library boundary, through the real entry point and shell: whatever goes wrong
// inside, the host gets null or a plain answer, never an exception, and nothing is left over.
#include <gtest/gtest.h>

#include "plugin_host.h"
#include "probe_modes.h"

using namespace sparkwell_test;

namespace {

class ProbePlugin : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(library.isLoaded()) << library.loadError();
    entry = library.vstPluginMain();
    ASSERT_NE(entry, nullptr);
  }

  PluginLibrary library{SPARKWELL_PROBE_PLUGIN_PATH};
  VstPluginMainProc entry = nullptr;
  TestHost host;
};

TEST_F(ProbePlugin, ConstructionThatThrowsGivesNull) {
  host.setAnswer(audioMasterCurrentId, kProbeThrowInConstructor);
  EXPECT_EQ(host.create(entry), nullptr);
  // It got as far as the constructor's own question.
  EXPECT_EQ(host.countOf(audioMasterCurrentId), 2u);
}

TEST_F(ProbePlugin, AnEditorWhoseConstructionFailsIsNotDeletedTwice) {
  // The editor's base registers it with the effect before the editor's own body throws; the
  // effect being unwound must not delete that half-built editor again.
  host.setAnswer(audioMasterCurrentId, kProbeEditorThrows);
  EXPECT_EQ(host.create(entry), nullptr);
  EXPECT_EQ(host.countOf(audioMasterCurrentId), 2u);
}

TEST_F(ProbePlugin, NoEffectObjectGivesNull) {
  host.setAnswer(audioMasterCurrentId, kProbeAnswerNull);
  EXPECT_EQ(host.create(entry), nullptr);
  EXPECT_EQ(host.countOf(audioMasterCurrentId), 1u);
}

TEST_F(ProbePlugin, NoHostCallbackGivesNull) {
  EXPECT_EQ(entry(nullptr), nullptr);
}

TEST_F(ProbePlugin, ThrowingOperationsAreAnsweredPlainly) {
  host.setAnswer(audioMasterCurrentId, kProbeThrowInOperations);
  PluginInstance instance(host, entry);
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance.dispatch(effOpen), 0);
  EXPECT_EQ(instance.dispatchText(effGetEffectName).answer, 0);
  instance.setParameter(0, 0.3f);
  EXPECT_EQ(instance.getParameter(0), 0.0f);
  StereoBuffer input{std::vector<float>(16, 0.1f), std::vector<float>(16, 0.1f)};
  ProcessResult result = instance.process(input);
  EXPECT_TRUE(result.canariesIntact);
  // A close that throws still ends the instance (ASan reports it if the object leaks).
  EXPECT_EQ(instance.close(), 1);
}

TEST_F(ProbePlugin, WorkingOperationsReachTheEffect) {
  PluginInstance instance(host, entry);
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance.getParameter(0), 0.5f);
  EXPECT_EQ(instance.dispatchText(effGetEffectName).answer, 1);
  ProcessResult result = instance.process({{0.0f, 0.0f}, {0.0f, 0.0f}});
  EXPECT_EQ(result.output.left, (std::vector<float>{0.25f, 0.25f}));
  EXPECT_EQ(instance.close(), 1);
}

// An effect that never attached an editor: the bare base record, and every editor request
// answered 0 without touching the caller's memory.
TEST_F(ProbePlugin, EffectWithoutEditor) {
  PluginInstance instance(host, entry);
  ASSERT_TRUE(instance);
  AEffect* e = instance.effect();
  EXPECT_EQ(e->flags, effFlagsCanReplacing);
  EXPECT_EQ(e->numInputs, 1);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->uniqueID, CCONST('N', 'o', 'E', 'f'));

  ERect* rect = reinterpret_cast<ERect*>(0x1234);
  EXPECT_EQ(instance.dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, reinterpret_cast<ERect*>(0x1234));
  int parent = 0;
  EXPECT_EQ(instance.dispatch(effEditOpen, 0, 0, &parent), 0);
  EXPECT_EQ(instance.dispatch(effEditIdle), 0);
  EXPECT_EQ(instance.dispatch(effEditClose), 0);
  EXPECT_EQ(instance.dispatch(effEditKeyDown, 'a', VKEY_RETURN, nullptr, 1.0f), 0);
  EXPECT_EQ(instance.dispatch(effEditKeyUp, 'a', VKEY_RETURN, nullptr, 1.0f), 0);
  EXPECT_EQ(instance.dispatch(effSetEditKnobMode, 0, 2), 0);
}

} // namespace
