// The vector curves of the block-wise chain, compiled in a test file of their own for each
// instruction set from the same source as the plug-in's (block_chain_kernels.h).
#pragma once

#include "block_chain_paths.h"

// For every input x: shape2SB175(x), shapeAC128(x) and amountInv x gridShape(amount x x), as the
// vector code computes them.
struct VectorCurveOutputs {
  float* shape2SB175;
  float* shapeAC128;
  float* grid;
};

namespace curves_sse2 {
void curves(const float* x, int count, float amount, float amountInv,
            const VectorCurveOutputs& out);
}
namespace curves_avx2 {
void curves(const float* x, int count, float amount, float amountInv,
            const VectorCurveOutputs& out);
}
namespace curves_neon {
void curves(const float* x, int count, float amount, float amountInv,
            const VectorCurveOutputs& out);
}
