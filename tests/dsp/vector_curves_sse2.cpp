#define SPARKWELL_CHAIN_NAMESPACE curves_sse2
#define SPARKWELL_CHAIN_LANES 2
#include "vector_curves.inc"
