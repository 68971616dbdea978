#include "block_chain.h"

#include "block_chain_paths.h"
#include "portable_math.h"

namespace {

KneeConstants kneeConstants() {
  using namespace portable::kernels;
  const DoubleDouble logBase = logFromTable(1.8f);
  KneeConstants k;
  k.logHi = logBase.hi;
  k.logLo = logBase.lo;
  split(logBase.hi, k.logHead, k.logTail);
  return k;
}

const KneeConstants kKnee = kneeConstants();

} // namespace

bool chainPathAvailable(ChainPath path) {
  switch (path) {
  case ChainPath::Sse2:
    return true;
  case ChainPath::Avx2:
#if defined(__x86_64__) && defined(__GNUC__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
  }
  return false;
}

ChainPath fastestChainPath() {
  return chainPathAvailable(ChainPath::Avx2) ? ChainPath::Avx2 : ChainPath::Sse2;
}

void runChainPass(ChainPath path, ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch) {
  if (path == ChainPath::Avx2)
    chain_avx2::runChainPass(states, channels, x, out, frames, settings, scratch, kKnee);
  else
    chain_sse2::runChainPass(states, channels, x, out, frames, settings, scratch, kKnee);
}
