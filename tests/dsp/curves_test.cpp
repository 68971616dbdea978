#include "curves.h"
#include "significant_digits.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(TransistorCurves, MatchTheirCheckValues) {
  struct Row {
    float x;
    double sb175, ac128;
  };
  const Row rows[] = {
      {-10.0f, -2.19384, -2.49300},
      {-2.0f, -1.52099, -1.72839},
      {-1.0f, -0.977778, -1.0},
      {0.0f, 0.0, 0.0},
      {1.0f, 1.0, 1.0},
      {6.0f, 5.1, 6.0},
      {6.0904f, 5.13616, 6.00226},
      {8.4f, 6.06, 6.06},
      {20.0f, 6.35, 6.35},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.x);
    EXPECT_TRUE(matchesDigits(shape2SB175(r.x), r.sb175, 6));
    EXPECT_TRUE(matchesDigits(shapeAC128(r.x), r.ac128, 6));
  }
}

TEST(TransistorCurves, JointsAndLimits) {
  // 2SB175 is continuous at 4.5 and 8.4; AC128 steps down by about 0.088 at 6.0904.
  EXPECT_EQ(shape2SB175(4.5f), 4.5f);
  EXPECT_EQ(shape2SB175(std::nextafter(4.5f, 0.0f)), std::nextafter(4.5f, 0.0f));
  EXPECT_TRUE(matchesDigits(shape2SB175(8.4f), 6.06, 6));
  EXPECT_TRUE(matchesDigits(shape2SB175(std::nextafter(8.4f, 0.0f)), 6.06, 6));
  EXPECT_TRUE(matchesDigits(shape2SB175(-0.91567f), -0.91567, 5));
  EXPECT_EQ(shapeAC128(6.09f), 6.09f);
  EXPECT_TRUE(matchesDigits(shapeAC128(6.0904f), 6.00226, 6));
  EXPECT_TRUE(matchesDigits(shapeAC128(-1.40594f), -1.40594, 5));
  // In the linear segments the sample passes unchanged.
  EXPECT_EQ(shape2SB175(-0.9f), -0.9f);
  EXPECT_EQ(shapeAC128(-1.4f), -1.4f);
  EXPECT_EQ(shapeAC128(5.0f), 5.0f);
  EXPECT_TRUE(matchesDigits(shapeAC128(7.0f), 6.025, 6));
  // Large negative drive settles on the exponential limits; large positive drive keeps rising.
  EXPECT_TRUE(matchesDigits(shape2SB175(-100.0f), -2.2, 7));
  EXPECT_TRUE(matchesDigits(shapeAC128(-100.0f), -2.5, 7));
  EXPECT_TRUE(matchesDigits(shape2SB175(1000.0f), 30.85, 7));
}

TEST(TransistorCurves, NonFiniteInputs) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(std::isnan(shape2SB175(nan)));
  EXPECT_TRUE(std::isnan(shapeAC128(nan)));
  EXPECT_TRUE(matchesDigits(shape2SB175(-inf), -2.2, 7));
  EXPECT_TRUE(matchesDigits(shapeAC128(-inf), -2.5, 7));
  EXPECT_EQ(shape2SB175(inf), inf);
  EXPECT_EQ(shapeAC128(inf), inf);
}

TEST(GridCurve, MatchesCheckValuesAndPassesLargeNegativeSwings) {
  struct Row {
    float u;
    double y;
  };
  const Row rows[] = {{-2.0f, -2.0},    {-0.5f, -0.501210}, {0.0f, -0.111745}, {0.5f, 0.167840},
                      {1.0f, 0.386093}, {5.0f, 1.32947},    {10.0f, 1.89669}};
  for (const Row& r : rows)
    EXPECT_TRUE(matchesDigits(gridShape(r.u), r.y, 6)) << r.u;
  EXPECT_EQ(gridShape(-0.55f), -0.55f);
  EXPECT_EQ(gridShape(-5.0f), -5.0f);
  EXPECT_TRUE(matchesDigits(gridShape(0.0f), -0.111745069, 7));
  // Continuous across the joint: just above -0.55 the logarithm gives almost the same value.
  EXPECT_NEAR(gridShape(-0.5499f), -0.5499f, 1e-6f);

  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(std::isnan(gridShape(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_EQ(gridShape(-inf), -inf);
  EXPECT_EQ(gridShape(inf), inf);
}

} // namespace
