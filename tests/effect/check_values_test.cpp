// The two recorded output sequences, through the exported entry point and processReplacing.
#include <cmath>

#include "significant_digits.h"
#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using CheckValuesTest = SparkwellTest;

TEST_F(CheckValuesTest, DefaultProgramImpulseGivesTheRecordedSequenceOnBothOutputs) {
  auto instance = makeInstance();
  StereoBuffer input = constantSignal(10, 0.0f, 0.0f);
  input.left[0] = 0.1f;
  input.right[0] = 0.1f;
  const ProcessResult result = instance->process(input);

  // The sequence was recorded with a DC-blocker pole one float step above the correctly rounded
  // expf(-200/88200) that the pair table quotes (B = 0.002264977). The chain is linear here, and
  // that step shifts the samples from the second frame on by about 2.2e-8, so each sample is
  // held to half a unit of its seventh digit plus 3e-8; a real fault moves them by far more (the
  // smallest sample is 6.5e-4).
  const double expected[] = {-0.0249867,  -0.1317491,   0.01291212,   0.001598033,  -0.0123438,
                             -0.01225784, -0.009776186, -0.006833813, -0.003752717, -0.0006544502};
  for (size_t i = 0; i < 10; ++i) {
    const double halfUnit =
        0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(expected[i]))) - 6);
    EXPECT_NEAR(result.output.left[i], expected[i], halfUnit + 3e-8) << "frame " << i;
    EXPECT_EQ(result.output.right[i], result.output.left[i]) << "frame " << i;
  }
  // The first frame comes before the DC blocker has any memory: exact to its digits.
  EXPECT_TRUE(matchesDigits(result.output.left[0], expected[0], 6));
}

TEST_F(CheckValuesTest, StereoAc128GridCurrentStepGivesTheRecordedSequences) {
  auto instance = makeInstance();
  instance->setParameter(kStereo, 0.0f);
  instance->setParameter(kTransistor, 1.0f);
  instance->setParameter(kGridCurrent, 0.5f);
  instance->setParameter(kPickup, 0.9f);
  instance->setParameter(kHpf, 0.5f);
  instance->setParameter(kTreble, 0.5f);
  const ProcessResult result = instance->process(constantSignal(8, 0.05f, -0.05f));

  const double left[] = {-0.00268385, -0.0258561, -0.0465901, -0.0594417,
                         -0.0682173,  -0.0742909, -0.0784316, -0.0811063};
  const double right[] = {0.000611949, 0.00810252, 0.015615, 0.0202307,
                          0.0234536,   0.0257364,  0.027319, 0.0283444};
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_TRUE(matchesDigits(result.output.left[i], left[i], 6)) << "left frame " << i;
    EXPECT_TRUE(matchesDigits(result.output.right[i], right[i], 6)) << "right frame " << i;
  }
}

} // namespace
} // namespace sparkwell_test
