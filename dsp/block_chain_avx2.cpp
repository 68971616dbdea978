// The block-wise chain for processors with AVX2, four samples per curve evaluation. Compiled
// with -mavx2 (and without FMA, which would change the bits); called only after
// chainPathAvailable(ChainPath::Avx2).
#define SPARKWELL_CHAIN_NAMESPACE chain_avx2
#define SPARKWELL_CHAIN_LANES 4
#include "block_chain_kernels.h"
