// The block-wise chain for every x86-64 processor: SSE2, two samples per curve evaluation.
#define SPARKWELL_CHAIN_NAMESPACE chain_sse2
#define SPARKWELL_CHAIN_LANES 2
#include "block_chain_kernels.h"
