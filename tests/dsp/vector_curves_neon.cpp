#define SPARKWELL_CHAIN_NAMESPACE curves_neon
#define SPARKWELL_CHAIN_LANES 4
#include "vector_curves.inc"
