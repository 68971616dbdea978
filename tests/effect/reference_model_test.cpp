// The plug-in against the plain stage-by-stage model: random signals, random parameter changes
// between blocks of random length, every mode, band and model; the samples must be identical.
#include <cstdio>
#include <memory>
#include <random>

#include "block_chain.h"
#include "denormal_flush.h"
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

// A random session of the given block lengths, parameters changed between blocks, through
// process(block input) -> output against the plain model.
template <class Process>
void expectRandomSessionMatches(unsigned seed, const std::vector<size_t>& lengths,
                                ReferenceSparkwell& model, Process& process) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pickIndex(0, 9);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::uniform_real_distribution<float> loudness(0.01f, 3.0f);
  for (int block = 0; block < 24; ++block) {
    for (int change = static_cast<int>(random() % 3); change > 0; --change) {
      const int index = pickIndex(random);
      float value = unit(random);
      if (random() % 4 == 0) value = (random() % 2) ? 0.5f : 0.0f;
      if (index == 9 && value <= 0.5f) value = 1.0f; // the bypass has its own tests
      process.setParameter(index, value);
      model.setParameter(index, value);
    }
    const size_t frames = lengths[static_cast<size_t>(block) % lengths.size()];
    const StereoBuffer input = noise(frames, loudness(random), static_cast<uint32_t>(random()));
    const StereoBuffer expected = model.process(input);
    const StereoBuffer actual = process.run(input);
    ASSERT_TRUE(sameBits(actual.left, expected.left)) << "block " << block << ", " << frames;
    ASSERT_TRUE(sameBits(actual.right, expected.right)) << "block " << block << ", " << frames;
  }
}

const std::vector<size_t> kBlockLengths = {1, 7, 512, 4096, 7, 1, 300, 4096, 512};

TEST_F(ReferenceModelTest, BlocksOfOneSevenAndThousandsMatchThePlainModel) {
  // Through the entry point, with the widest path this processor offers.
  struct {
    PluginInstance* instance;
    void setParameter(int index, float value) {
      instance->setParameter(static_cast<VstInt32>(index), value);
    }
    StereoBuffer run(const StereoBuffer& input) { return instance->process(input).output; }
  } plugin;
  for (unsigned seed = 11; seed <= 13; ++seed) {
    SCOPED_TRACE(seed);
    auto instance = makeInstance();
    plugin.instance = instance.get();
    ReferenceSparkwell model;
    expectRandomSessionMatches(seed, kBlockLengths, model, plugin);
  }
}

TEST(BlockChain, EveryVectorPathMatchesThePlainModel) {
  // The DSP library's block-wise chain with each instruction-set path forced, driven as the
  // effect drives it (flush-to-zero around the block), with the model's own settings.
  for (ChainPath path : {ChainPath::Sse2, ChainPath::Avx2, ChainPath::Neon}) {
    if (!chainPathAvailable(path)) {
      std::printf("path %d not offered by this processor: skipped\n", static_cast<int>(path));
      continue;
    }
    for (unsigned seed = 21; seed <= 24; ++seed) {
      SCOPED_TRACE(testing::Message() << "path " << static_cast<int>(path) << ", seed " << seed);
      struct {
        ChainPath path;
        ReferenceSparkwell settings; // the plug-in's own parameter handling, as the model has it
        ChannelState left{}, right{};
        std::unique_ptr<ChainScratch> scratch = std::make_unique<ChainScratch>();
        void setParameter(int index, float value) { settings.setParameter(index, value); }
        StereoBuffer run(const StereoBuffer& input) {
          StereoBuffer output = input;
          const DenormalFlush flush;
          runChainBlock(path, left, right, settings.separateChannels(), input.left.data(),
                        input.right.data(), output.left.data(), output.right.data(),
                        static_cast<int>(input.left.size()), settings.chainSettings(),
                        settings.linearInputGain(), *scratch);
          return output;
        }
      } chain{path, {}, {}, {}};
      ReferenceSparkwell model;
      expectRandomSessionMatches(seed, kBlockLengths, model, chain);
    }
  }
}

} // namespace
} // namespace sparkwell_test
