// The exported entry point of the built plug-in, as a host finds and calls it.
#include <gtest/gtest.h>

#include <memory>

#include "plugin_host.h"

using namespace sparkwell_test;

namespace {

class EntryPoint : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(library.isLoaded()) << library.loadError(); }

  PluginLibrary library{pluginPath()};
  TestHost host;
};

TEST_F(EntryPoint, BothNamesAreOneFunction) {
  VstPluginMainProc vstPluginMain = library.vstPluginMain();
  VstPluginMainProc main = library.mainEntry();
  ASSERT_NE(vstPluginMain, nullptr);
  EXPECT_EQ(main, vstPluginMain);
}

TEST_F(EntryPoint, MainMakesTheSameInstanceAsVstPluginMain) {
  PluginInstance viaVstPluginMain(host, library.vstPluginMain());
  PluginInstance viaMain(host, library.mainEntry());
  ASSERT_TRUE(viaVstPluginMain);
  ASSERT_TRUE(viaMain);
  const AEffect& a = *viaVstPluginMain.effect();
  const AEffect& b = *viaMain.effect();
  EXPECT_EQ(a.magic, b.magic);
  EXPECT_EQ(a.dispatcher, b.dispatcher);
  EXPECT_EQ(a.processReplacing, b.processReplacing);
  EXPECT_EQ(a.flags, b.flags);
  EXPECT_EQ(a.uniqueID, b.uniqueID);
  EXPECT_EQ(a.numParams, b.numParams);
  EXPECT_EQ(a.numPrograms, b.numPrograms);
}

TEST_F(EntryPoint, HostWithoutVersionGetsNothing) {
  host.setAnswer(audioMasterVersion, 0);
  EXPECT_EQ(host.create(library.vstPluginMain()), nullptr);
  const std::vector<HostCall> calls = host.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].effect, nullptr);
  EXPECT_EQ(calls[0].opcode, audioMasterVersion);
  EXPECT_EQ(calls[0].index, 0);
  EXPECT_EQ(calls[0].value, 0);
  EXPECT_FALSE(calls[0].hasPtr);
  EXPECT_EQ(calls[0].opt, 0.0f);
}

// Any nonzero version is accepted and the number is not compared; making the instance asks the
// host nothing else.
TEST_F(EntryPoint, AnyVersionAnswerMakesAnInstance) {
  for (VstIntPtr version : {VstIntPtr{1}, VstIntPtr{-1}, VstIntPtr{2400}, VstIntPtr{1} << 40}) {
    TestHost versionHost;
    versionHost.setAnswer(audioMasterVersion, version);
    PluginInstance instance(versionHost, library.vstPluginMain());
    EXPECT_TRUE(instance) << "version " << version;
    EXPECT_EQ(versionHost.calls().size(), 1u) << "version " << version;
  }
}

TEST_F(EntryPoint, InstancesAreIndependent) {
  PluginInstance first(host, library.vstPluginMain());
  PluginInstance second(host, library.vstPluginMain());
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.effect(), second.effect());
  EXPECT_NE(first.effect()->object, second.effect()->object);
  first.dispatch(effSetProgram, 0, 3);
  EXPECT_EQ(first.dispatch(effGetProgram), 3);
  EXPECT_EQ(second.dispatch(effGetProgram), 0);
}

// Hosts that scan load and unload the library over and over; each load starts clean.
TEST_F(EntryPoint, RepeatedLoadCreateCloseUnload) {
  for (int round = 0; round < 20; ++round) {
    PluginLibrary again(pluginPath());
    ASSERT_TRUE(again.isLoaded()) << again.loadError();
    TestHost roundHost;
    AEffect* effect = roundHost.create(again.vstPluginMain());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
    roundHost.forget(effect);
  }
}

TEST_F(EntryPoint, CloseAnswersOne) {
  AEffect* effect = host.create(library.vstPluginMain());
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
  host.forget(effect);
}

} // namespace
