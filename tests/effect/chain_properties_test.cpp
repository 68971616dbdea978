// Properties of the processing as a host sees it through processReplacing.
#include <cmath>
#include <limits>
#include <utility>

#include "sparkwell_fixture.h"

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace sparkwell_test {
namespace {

// The caller's floating-point control bits (rounding, flush-to-zero and the like; not the sticky
// exception flags): MXCSR on x86-64, FPCR on aarch64.
#if defined(__x86_64__)
constexpr unsigned kFlushToZeroBits = 0x8040; // FTZ and DAZ
unsigned floatingPointControl() {
  return _mm_getcsr() & ~0x3Fu;
}
void setFloatingPointControl(unsigned bits) {
  _mm_setcsr(bits);
}
#elif defined(__aarch64__)
constexpr unsigned kFlushToZeroBits = 1u << 24; // FZ
unsigned floatingPointControl() {
  return __builtin_aarch64_get_fpcr();
}
void setFloatingPointControl(unsigned bits) {
  __builtin_aarch64_set_fpcr(bits);
}
#endif

using ChainPropertiesTest = SparkwellTest;

TEST_F(ChainPropertiesTest, StereoBypassCopiesInputsBitForBit) {
  auto instance = makeInstance();
  instance->setParameter(kStereo, 0.0f);
  StereoBuffer input = noise(512, 4.0f, 1);
  input.left[3] = -0.0f;
  input.right[4] = 1e-40f; // subnormal input passes untouched too
  for (float effect : {0.0f, 0.5f, -1.0f}) {
    instance->setParameter(kEffect, effect);
    const ProcessResult result = instance->process(input);
    EXPECT_TRUE(sameBits(result.output.left, input.left)) << effect;
    EXPECT_TRUE(sameBits(result.output.right, input.right)) << effect;
    EXPECT_TRUE(result.canariesIntact);
  }
}

TEST_F(ChainPropertiesTest, MonoBypassAveragesOntoBothOutputs) {
  auto instance = makeInstance();
  instance->setParameter(kEffect, 0.5f);
  const StereoBuffer input = noise(512, 2.0f, 2);
  const ProcessResult result = instance->process(input);
  for (size_t i = 0; i < input.left.size(); ++i) {
    const float average = (input.left[i] + input.right[i]) * 0.5f;
    ASSERT_EQ(result.output.left[i], average) << i;
    ASSERT_EQ(result.output.right[i], average) << i;
  }
}

TEST_F(ChainPropertiesTest, BypassIsExactForSubnormalInfiniteAndNaNInputs) {
  // The chain's flush-to-zero must not reach the bypass: "Mono" gives (L + R) x 0.5 as plain
  // arithmetic does, subnormal sums included, and "Stereo" copies every bit.
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float tiny = std::numeric_limits<float>::denorm_min();
  const std::pair<float, float> frames[] = {
      {1e-40f, 2e-40f}, {-3e-39f, 1e-45f}, {tiny, tiny}, {1e-38f, -1.1e-38f}, {1e-40f, 0.25f},
      {inf, 1.0f},      {-inf, 1e-40f},    {inf, -inf},  {nan, 0.5f},         {1e-40f, nan},
      {-0.0f, -0.0f},   {3e38f, 3e38f},    {0.1f, 0.2f}};
  StereoBuffer input;
  for (const auto& f : frames) {
    input.left.push_back(f.first);
    input.right.push_back(f.second);
  }
  auto instance = makeInstance();
  instance->process(noise(64, 0.5f, 9)); // the chain has run, and flushed, before
  instance->setParameter(kEffect, 0.0f);
  StereoBuffer average = input;
  for (size_t i = 0; i < input.left.size(); ++i)
    average.left[i] = average.right[i] = (input.left[i] + input.right[i]) * 0.5f;
  const ProcessResult mono = instance->process(input);
  EXPECT_TRUE(sameBits(mono.output.left, average.left));
  EXPECT_TRUE(sameBits(mono.output.right, average.left));

  instance->setParameter(kStereo, 0.0f);
  const ProcessResult stereo = instance->process(input);
  EXPECT_TRUE(sameBits(stereo.output.left, input.left));
  EXPECT_TRUE(sameBits(stereo.output.right, input.right));
}

TEST_F(ChainPropertiesTest, BypassLeavesTheChainWhereItWas) {
  // Bypassed frames change no state: a bypassed stretch in the middle is simply skipped.
  auto interrupted = makeInstance();
  auto straight = makeInstance();
  const StereoBuffer first = noise(300, 0.3f, 3);
  const StereoBuffer second = noise(300, 0.3f, 4);
  interrupted->process(first);
  interrupted->setParameter(kEffect, 0.0f);
  interrupted->process(noise(200, 0.9f, 5));
  interrupted->setParameter(kEffect, 1.0f);
  straight->process(first);
  EXPECT_TRUE(
      sameBits(interrupted->process(second).output.left, straight->process(second).output.left));
}

TEST_F(ChainPropertiesTest, SwitchesActOnlyStrictlyBeyondTheirMiddle) {
  // The displays switch at 0.5 inclusive ("AC128", "Mono", "On"), the sound strictly beyond it:
  // Transistor 0.5 still runs the 2SB175 curve, Stereo 0.5 is "Mono".
  const StereoBuffer input = noise(2048, 1.0f, 8);
  auto outputWith = [&](VstInt32 index, float value) {
    auto instance = makeInstance();
    instance->setParameter(kInput, 0.8f);
    instance->setParameter(index, value);
    return instance->process(input).output;
  };
  const StereoBuffer half = outputWith(kTransistor, 0.5f);
  EXPECT_TRUE(sameBits(half.left, outputWith(kTransistor, 0.0f).left));
  EXPECT_FALSE(sameBits(half.left, outputWith(kTransistor, 0.51f).left));

  const StereoBuffer mono = outputWith(kStereo, 0.5f);
  EXPECT_TRUE(sameBits(mono.left, mono.right));
  const StereoBuffer stereo = outputWith(kStereo, 0.49f);
  EXPECT_FALSE(sameBits(stereo.left, stereo.right));
}

TEST_F(ChainPropertiesTest, MonoWithEqualInputsMatchesStereoUpToInputRounding) {
  auto mono = makeInstance();
  auto stereo = makeInstance();
  stereo->setParameter(kStereo, 0.0f);
  StereoBuffer input = noise(4096, 0.4f, 6);
  input.right = input.left;
  const StereoBuffer a = mono->process(input).output;
  const StereoBuffer b = stereo->process(input).output;
  double peak = 0.0, worst = 0.0;
  for (size_t i = 0; i < a.left.size(); ++i) {
    peak = std::max(peak, std::fabs(static_cast<double>(b.left[i])));
    worst =
        std::max(worst, std::fabs(static_cast<double>(a.left[i]) - static_cast<double>(b.left[i])));
    ASSERT_EQ(b.left[i], b.right[i]) << i;
  }
  EXPECT_LT(worst, peak * 1e-5);
}

TEST_F(ChainPropertiesTest, EachStereoOutputDependsOnlyOnItsOwnInput) {
  for (float transistor : {0.0f, 1.0f}) {
    for (float pickup : kPickupBands) {
      SCOPED_TRACE(testing::Message() << "transistor " << transistor << " pickup " << pickup);
      auto a = makeInstance();
      auto b = makeInstance();
      for (auto* instance : {a.get(), b.get()}) {
        instance->setParameter(kStereo, 0.0f);
        instance->setParameter(kTransistor, transistor);
        instance->setParameter(kPickup, pickup);
        instance->setParameter(kGridCurrent, 0.3f);
      }
      const StereoBuffer common = noise(1024, 0.8f, 21);
      StereoBuffer otherRight = common;
      otherRight.right = noise(1024, 0.8f, 22).right;
      StereoBuffer otherLeft = common;
      otherLeft.left = noise(1024, 0.8f, 23).left;
      const StereoBuffer x = a->process(common).output;
      const StereoBuffer y = b->process(otherRight).output;
      EXPECT_TRUE(sameBits(x.left, y.left));
      EXPECT_FALSE(sameBits(x.right, y.right));
      const StereoBuffer x2 = a->process(otherLeft).output;
      const StereoBuffer y2 = b->process(common).output;
      EXPECT_FALSE(sameBits(x2.left, y2.left));
    }
  }
}

TEST_F(ChainPropertiesTest, HpfZeroMakesEveryPickupBandSoundTheSame) {
  StereoBuffer reference;
  bool first = true;
  for (float pickup : kPickupBands) {
    auto instance = makeInstance();
    instance->setParameter(kHpf, 0.0f);
    instance->setParameter(kPickup, pickup);
    const StereoBuffer out = instance->process(noise(2048, 0.5f, 31)).output;
    if (first) {
      reference = out;
      first = false;
    } else {
      EXPECT_TRUE(sameBits(out.left, reference.left)) << pickup;
    }
  }
  // At HPF 1 the bands differ.
  auto hb = makeInstance();
  auto sc = makeInstance();
  sc->setParameter(kPickup, 0.9f);
  const StereoBuffer in = noise(2048, 0.5f, 31);
  EXPECT_FALSE(sameBits(hb->process(in).output.left, sc->process(in).output.left));
}

TEST_F(ChainPropertiesTest, SilenceDecaysToTinyNormalNumbersNeverSubnormals) {
  for (float stereo : {1.0f, 0.0f}) {
    auto instance = makeInstance();
    instance->setParameter(kStereo, stereo);
    instance->setParameter(kGain, 1.0f); // +20 dB
    instance->process(noise(4096, 1.0f, 41));
    StereoBuffer out;
    for (int block = 0; block < 64; ++block)
      out = instance->process(constantSignal(4096, 0, 0)).output;
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
      for (float y : *channel) {
        ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL);
        ASSERT_LT(std::fabs(y), 1e-22f);
        ASSERT_NE(y, 0.0f);
      }
    }
  }
}

TEST_F(ChainPropertiesTest, GridCurrentLeavesAConstantOffsetOnSilence) {
  for (float grid : {0.5f, 1.0f, 1e-7f}) {
    auto instance = makeInstance();
    instance->setParameter(kGridCurrent, grid);
    instance->process(noise(2048, 0.5f, 51));
    StereoBuffer out;
    for (int block = 0; block < 20; ++block)
      out = instance->process(constantSignal(4096, 0, 0)).output;
    const double gridAmount = static_cast<float>(static_cast<double>(grid * 5.0f) + 0.1);
    const double outputGain = std::pow(10.0, -0.4); // Gain 0.6
    const double expected = (std::log(1.55) - 0.55) / gridAmount * outputGain;
    EXPECT_NEAR(out.left.back(), expected, std::fabs(expected) * 1e-5) << grid;
    EXPECT_EQ(out.left.back(), out.left[out.left.size() - 1000]) << grid;
  }
}

TEST_F(ChainPropertiesTest, LoudInputIsShapedButNeverClipped) {
  // Negative input peaks are inverted into the rising upper segments of the booster curve,
  // positive ones into the exponential lower segment; the output follows, unclipped.
  auto instance = makeInstance();
  instance->setParameter(kGain, 1.0f);
  instance->setParameter(kInput, 1.0f);
  const StereoBuffer out = instance->process(noise(8192, 1.0f, 61)).output;
  float lowest = 0.0f, highest = 0.0f;
  for (float y : out.left) {
    ASSERT_TRUE(std::isfinite(y));
    lowest = std::min(lowest, y);
    highest = std::max(highest, y);
  }
  EXPECT_GT(highest, 1.0f);
  EXPECT_LT(lowest, -1.0f);
}

TEST_F(ChainPropertiesTest, InPlaceSplitAndWholeBlocksGiveTheSameSamples) {
  auto whole = makeInstance();
  auto split = makeInstance();
  auto inPlace = makeInstance();
  for (auto* instance : {whole.get(), split.get(), inPlace.get()}) {
    instance->setParameter(kStereo, 0.0f);
    instance->setParameter(kGridCurrent, 0.4f);
  }
  const StereoBuffer input = noise(4096, 0.6f, 71);
  const StereoBuffer a = whole->process(input).output;
  const StereoBuffer b = split->processInBlocks(input, 37);
  const StereoBuffer c = inPlace->processInPlace(input);
  EXPECT_TRUE(sameBits(a.left, b.left) && sameBits(a.right, b.right));
  EXPECT_TRUE(sameBits(a.left, c.left) && sameBits(a.right, c.right));
}

TEST_F(ChainPropertiesTest, EmptyAndNegativeBlocksWriteAndChangeNothing) {
  auto probed = makeInstance();
  auto untouched = makeInstance();
  float in[1] = {0.5f};
  float out[1] = {123.0f};
  float* inputs[2] = {in, in};
  float* outputs[2] = {out, out};
  AEffect* record = probed->effect();
  record->processReplacing(record, inputs, outputs, 0);
  record->processReplacing(record, inputs, outputs, -5);
  EXPECT_EQ(out[0], 123.0f);
  const StereoBuffer input = noise(256, 0.5f, 81);
  EXPECT_TRUE(sameBits(probed->process(input).output.left, untouched->process(input).output.left));
}

// The block's flush-to-zero is the plug-in's own business: whatever mode the host runs in, its
// control bits are the same after the call.
TEST_F(ChainPropertiesTest, ProcessingLeavesTheHostsFloatingPointControlAsItWas) {
  auto instance = makeInstance();
  const StereoBuffer input = noise(700, 1.0f, 9);
  const unsigned original = floatingPointControl();
  for (unsigned host : {original & ~kFlushToZeroBits, original | kFlushToZeroBits}) {
    for (float stereo : {0.0f, 1.0f}) {
      instance->setParameter(kStereo, stereo);
      setFloatingPointControl(host);
      instance->process(input);
      const unsigned after = floatingPointControl();
      setFloatingPointControl(original);
      EXPECT_EQ(after, host) << std::hex << "host " << host << ", stereo " << stereo;
    }
  }
}

} // namespace
} // namespace sparkwell_test
