// The plug-in against the plain stage-by-stage model: random signals, random parameter changes
// between blocks of random length, every mode, band and model; the samples must be identical.
#include <random>

#include "reference_model.h"
#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using ReferenceModelTest = SparkwellTest;

TEST_F(ReferenceModelTest, RandomSessionsMatchThePlainModelBitForBit) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    auto instance = makeInstance();
    ReferenceSparkwell model;
    std::uniform_int_distribution<int> pickIndex(0, 9);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> blockLength(1, 700);
    std::uniform_real_distribution<float> loudness(0.01f, 3.0f);

    for (int block = 0; block < 60; ++block) {
      for (int change = static_cast<int>(random() % 3); change > 0; --change) {
        const VstInt32 index = pickIndex(random);
        float value = unit(random);
        // Land exactly on the switching points now and then.
        if (random() % 4 == 0) value = (random() % 2) ? 0.5f : 0.0f;
        instance->setParameter(index, value);
        model.setParameter(index, value);
      }
      const size_t frames = static_cast<size_t>(blockLength(random));
      const StereoBuffer input = noise(frames, loudness(random), static_cast<uint32_t>(random()));
      const StereoBuffer expected = model.process(input);
      const StereoBuffer actual = instance->process(input).output;
      ASSERT_TRUE(sameBits(actual.left, expected.left)) << "block " << block;
      ASSERT_TRUE(sameBits(actual.right, expected.right)) << "block " << block;
    }
  }
}

TEST_F(ReferenceModelTest, EveryBandModelAndModeMatchesThePlainModel) {
  for (float stereo : {0.0f, 1.0f}) {
    for (float transistor : {0.0f, 1.0f}) {
      for (float grid : {0.0f, 0.7f}) {
        for (float pickup : kPickupBands) {
          SCOPED_TRACE(testing::Message()
                       << stereo << " " << transistor << " " << grid << " " << pickup);
          auto instance = makeInstance();
          ReferenceSparkwell model;
          const float values[][2] = {{kStereo, stereo},    {kTransistor, transistor},
                                     {kGridCurrent, grid}, {kPickup, pickup},
                                     {kHpf, 0.6f},         {kTreble, 0.4f}};
          for (const auto& v : values) {
            instance->setParameter(static_cast<VstInt32>(v[0]), v[1]);
            model.setParameter(static_cast<int>(v[0]), v[1]);
          }
          const StereoBuffer input = noise(3000, 1.5f, 100);
          const StereoBuffer actual = instance->process(input).output;
          const StereoBuffer expected = model.process(input);
          EXPECT_TRUE(sameBits(actual.left, expected.left));
          EXPECT_TRUE(sameBits(actual.right, expected.right));
        }
      }
    }
  }
}

} // namespace
} // namespace sparkwell_test
