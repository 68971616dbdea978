// The recorded sound through the plug-in's exported entry point, as a host plays it: each setting
// of the switches, at each block size, gives the digest recorded for it (recorded_digests.h).
#include <iostream>

#include "recorded_digests.h"
#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using namespace recorded_output;

TEST_F(SparkwellTest, EverySettingGivesItsRecordedDigestAtEveryBlockSize) {
  const StereoBuffer input{decayingTone(), integerNoise()};
  const uint64_t inputDigest = digestOf(input.left, input.right);
  std::string rows = tableRow("input", inputDigest);
  const std::string inputMismatch = digestMismatch("input", "input", inputDigest);
  EXPECT_TRUE(inputMismatch.empty()) << inputMismatch << " (the inputs are made otherwise here)";

  for (const Setting& setting : settings()) {
    for (const size_t blockSize : kBlockSizes) {
      // A fresh instance, prepared as a host restoring every parameter prepares it.
      std::unique_ptr<PluginInstance> vst = makeInstance();
      ASSERT_TRUE(*vst);
      vst->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
      vst->dispatch(effMainsChanged, 0, 1);
      for (const Value& value : setting.values)
        vst->setParameter(value.parameter, value.vst);
      const StereoBuffer output = vst->processInBlocks(input, blockSize);
      const uint64_t digest = digestOf(output.left, output.right);
      const std::string mismatch =
          digestMismatch(setting.name, setting.name + "/block" + std::to_string(blockSize), digest);
      EXPECT_TRUE(mismatch.empty()) << mismatch;
      if (blockSize == kBlockSizes[0]) rows += tableRow(setting.name, digest);
    }
  }
  if (printRequested()) std::cout << rows;
}

} // namespace
} // namespace sparkwell_test
