// Behaviour that keeps a host's data and an instance's sound safe: inputs are never written,
// a NaN or infinity does not silence a channel for good, "None" is the plain high-passed signal.
#include <cmath>
#include <limits>

#include "reference_model.h"
#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using MendsTest = SparkwellTest;

TEST_F(MendsTest, InputBuffersAreNeverWritten) {
  for (float stereo : {1.0f, 0.0f}) {
    for (float effect : {1.0f, 0.0f}) {
      auto instance = makeInstance();
      instance->setParameter(kStereo, stereo);
      instance->setParameter(kEffect, effect);
      const ProcessResult result = instance->process(noise(512, 0.7f, 91));
      EXPECT_TRUE(result.inputsUnchanged) << stereo << " " << effect;
      EXPECT_TRUE(result.canariesIntact) << stereo << " " << effect;
      for (float y : result.output.left)
        ASSERT_FALSE(std::isnan(y));
    }
  }
}

TEST_F(MendsTest, BothInputPointersOnOneBufferProcessTheSameUnscaledInput) {
  auto shared = makeInstance();
  auto separate = makeInstance();
  for (auto* instance : {shared.get(), separate.get()})
    instance->setParameter(kStereo, 0.0f);

  const StereoBuffer input = noise(512, 0.5f, 92);
  std::vector<float> buffer = input.left;
  std::vector<float> outLeft(buffer.size()), outRight(buffer.size());
  float* inputs[2] = {buffer.data(), buffer.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  AEffect* record = shared->effect();
  record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(buffer.size()));

  StereoBuffer copies;
  copies.left = input.left;
  copies.right = input.left;
  const StereoBuffer expected = separate->process(copies).output;
  EXPECT_TRUE(sameBits(buffer, input.left));
  EXPECT_TRUE(sameBits(outLeft, expected.left));
  EXPECT_TRUE(sameBits(outRight, expected.right));
  EXPECT_TRUE(sameBits(outLeft, outRight));
}

TEST_F(MendsTest, ANonFiniteSampleSilencesOnlyItsOwnBlockAndChannel) {
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity()};
  for (float sample : bad) {
    SCOPED_TRACE(sample);
    auto hit = makeInstance();
    auto fresh = makeInstance();
    auto clean = makeInstance();
    for (auto* instance : {hit.get(), fresh.get(), clean.get()})
      instance->setParameter(kStereo, 0.0f);

    const StereoBuffer before = noise(256, 0.5f, 93);
    StereoBuffer poisoned = before;
    poisoned.left[100] = sample;
    const StereoBuffer hitOut = hit->process(poisoned).output;
    clean->process(before);
    bool anyNonFinite = false;
    for (float y : hitOut.left)
      anyNonFinite = anyNonFinite || !std::isfinite(y);
    EXPECT_TRUE(anyNonFinite);

    // The next block: the left channel starts over like a new instance, the right channel
    // carries on as if nothing had happened.
    const StereoBuffer after = noise(256, 0.5f, 94);
    const StereoBuffer hitAfter = hit->process(after).output;
    EXPECT_TRUE(sameBits(hitAfter.left, fresh->process(after).output.left));
    EXPECT_TRUE(sameBits(hitAfter.right, clean->process(after).output.right));
  }
}

TEST_F(MendsTest, ExtremeParameterValuesStopHurtingOnceTheyAreSaneAgain) {
  const float extremes[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            1e9f,
                            -1e9f,
                            1e-40f};
  for (VstInt32 index = 0; index < 10; ++index) {
    for (float extreme : extremes) {
      SCOPED_TRACE(testing::Message() << "index " << index << " value " << extreme);
      auto instance = makeInstance();
      instance->setParameter(kStereo, 0.0f);
      instance->setParameter(kGridCurrent, 0.3f);
      instance->process(noise(128, 0.5f, 95));
      instance->setParameter(index, extreme);
      instance->process(noise(128, 0.5f, 96));
      instance->setParameter(index, index == kStereo        ? 0.0f
                                    : index == kGridCurrent ? 0.3f
                                                            : kParameters[index].defaultValue);
      instance->process(noise(128, 0.5f, 97));
      for (float y : instance->process(noise(128, 0.5f, 98)).output.left)
        ASSERT_TRUE(std::isfinite(y));
    }
  }
}

TEST_F(MendsTest, PickupNoneIsThePlainHighPassedSignalAtEveryHpfSetting) {
  // The plain model runs "None" with the high-passed signal on both paths of the pickup mix.
  for (float hpf : {0.0f, 0.3f, 0.7f, 1.0f}) {
    SCOPED_TRACE(hpf);
    auto instance = makeInstance();
    ReferenceSparkwell model;
    auto setBoth = [&](VstInt32 index, float value) {
      instance->setParameter(index, value);
      model.setParameter(index, value);
    };
    setBoth(kHpf, hpf);
    // A stretch in "SC" first, so that a stale resonance sample would have something to leak.
    setBoth(kPickup, 0.9f);
    const StereoBuffer warmUp = noise(300, 0.5f, 97);
    EXPECT_TRUE(sameBits(instance->process(warmUp).output.left, model.process(warmUp).left));
    setBoth(kPickup, 0.1f);
    const StereoBuffer input = noise(1000, 0.5f, 98);
    EXPECT_TRUE(sameBits(instance->process(input).output.left, model.process(input).left));
  }
}

} // namespace
} // namespace sparkwell_test
