// The block-wise chain for aarch64: the same code in NEON registers, four floats (one register)
// per curve evaluation and their doubles in two. Every aarch64 processor has NEON. The build
// turns off GCC's default contraction into fused multiply-adds there (-ffp-contract=off), so
// the samples are those of the x86-64 copies bit for bit.
#define SPARKWELL_CHAIN_NAMESPACE chain_neon
#define SPARKWELL_CHAIN_LANES 4
#include "block_chain_kernels.h"
