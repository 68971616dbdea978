// The vector curves of each instruction-set path against the scalar curves, bit for bit: every
// float near each segment edge, the special values, and a spread over all bit patterns.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

#include "block_chain.h"
#include "curves.h"
#include "float_bits.h"
#include "vector_curves.h"

namespace {

std::vector<float> testInputs() {
  std::vector<float> inputs;
  // Around each edge of the curves, and of the grid curve's input at the amounts used below.
  const float edges[] = {-0.91567f,
                         -1.40594f,
                         4.5f,
                         6.0904f,
                         8.4f,
                         -0.55f,
                         -0.55f / 2.6f,
                         -0.55f / 0.1f,
                         -0.55f / 5.1f,
                         0.0f,
                         -104.0f / 0.5877867f};
  for (float edge : edges) {
    float x = edge;
    for (int i = 0; i < 400; ++i)
      x = std::nextafter(x, -std::numeric_limits<float>::infinity());
    for (int i = 0; i < 800; ++i, x = std::nextafter(x, std::numeric_limits<float>::infinity()))
      inputs.push_back(x);
  }
  const float inf = std::numeric_limits<float>::infinity();
  for (float x : {inf, -inf, std::numeric_limits<float>::quiet_NaN(), -0.0f, 1e-45f, -1e-45f,
                  1e-40f, -1e-40f, std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::lowest(), -100.0f, -200.0f, 1000.0f})
    inputs.push_back(x);
  for (uint64_t bits = 0; bits < (uint64_t{1} << 32); bits += 4093)
    inputs.push_back(fromBits(static_cast<uint32_t>(bits)));
  while (inputs.size() % 8)
    inputs.push_back(0.0f);
  return inputs;
}

TEST(VectorCurves, EveryPathGivesTheScalarCurvesBits) {
  const std::vector<float> x = testInputs();
  const int count = static_cast<int>(x.size());
  std::vector<float> sb175(x.size()), ac128(x.size()), grid(x.size());
  const VectorCurveOutputs out{sb175.data(), ac128.data(), grid.data()};
  struct Path {
    ChainPath path;
    void (*curves)(const float*, int, float, float, const VectorCurveOutputs&);
  };
  // The copies this build has: x86-64's two or aarch64's one.
  const Path paths[] = {
#if defined(__aarch64__)
    {ChainPath::Neon, curves_neon::curves},
#else
    {ChainPath::Sse2, curves_sse2::curves},
    {ChainPath::Avx2, curves_avx2::curves},
#endif
  };
  for (const Path& p : paths) {
    if (!chainPathAvailable(p.path)) continue;
    for (float amount : {0.1f, 2.6f, 5.1f, 1.0f}) {
      const float amountInv = 1.0f / amount;
      p.curves(x.data(), count, amount, amountInv, out);
      int wrong = 0;
      for (size_t i = 0; i < x.size() && wrong < 5; ++i) {
        const float expected[3] = {shape2SB175(x[i]), shapeAC128(x[i]),
                                   amountInv * gridShape(amount * x[i])};
        const float actual[3] = {sb175[i], ac128[i], grid[i]};
        for (int c = 0; c < 3; ++c) {
          if (bitsOf(actual[c]) != bitsOf(expected[c])) {
            ++wrong;
            ADD_FAILURE() << "path " << static_cast<int>(p.path) << ", curve " << c << ", x "
                          << x[i] << " (bits " << std::hex << bitsOf(x[i]) << std::dec
                          << "), amount " << amount << ": " << actual[c] << " instead of "
                          << expected[c];
          }
        }
      }
    }
  }
}

} // namespace
