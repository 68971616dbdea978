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

  const double expected[] = {-0.0249867,  -0.1317491,   0.01291212,   0.001598033,  -0.0123438,
                             -0.01225784, -0.009776186, -0.006833813, -0.003752717, -0.0006544502};
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_TRUE(matchesDigits(result.output.left[i], expected[i], 7)) << "frame " << i;
    EXPECT_EQ(result.output.right[i], result.output.left[i]) << "frame " << i;
  }
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
