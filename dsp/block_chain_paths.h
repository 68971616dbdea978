// What block_chain.cpp and the translation units of its instruction-set paths share: the
// constants of the transistor curves' knee and one entry function per path.
#pragma once

#include "block_chain.h"

// log(1.8f) as the portable powf holds it (hi + lo), and hi split into halves of 26 bits.
struct KneeConstants {
  double logHi, logLo;
  double logHead, logTail;
};

// The constants for this module, computed once.
const KneeConstants& chainKneeConstants();

// The same code, compiled once per instruction set (block_chain_kernels.h). An x86-64 build has
// the SSE2 and AVX2 copies, an aarch64 build the NEON copy.
namespace chain_sse2 {
void runChainPass(ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch, const KneeConstants& knee);
}
namespace chain_avx2 {
void runChainPass(ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch, const KneeConstants& knee);
}
namespace chain_neon {
void runChainPass(ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch, const KneeConstants& knee);
}
