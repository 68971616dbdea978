#include "block_chain.h"

#include <algorithm>

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

} // namespace

const KneeConstants& chainKneeConstants() {
  static const KneeConstants knee = kneeConstants();
  return knee;
}

bool chainPathAvailable(ChainPath path) {
  switch (path) {
#if defined(__x86_64__)
  case ChainPath::Sse2:
    return true;
  case ChainPath::Avx2:
    return __builtin_cpu_supports("avx2");
  case ChainPath::Neon:
    return false;
#elif defined(__aarch64__)
  case ChainPath::Sse2:
  case ChainPath::Avx2:
    return false;
  case ChainPath::Neon:
    return true;
#else
#error "the block-wise chain has a copy for x86-64 and for aarch64 only"
#endif
  }
  return false;
}

ChainPath fastestChainPath() {
#if defined(__aarch64__)
  return ChainPath::Neon;
#else
  return chainPathAvailable(ChainPath::Avx2) ? ChainPath::Avx2 : ChainPath::Sse2;
#endif
}

void runChainPass(ChainPath path, ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch) {
  // A path this build does not have falls back to the build's own baseline copy.
#if defined(__x86_64__)
  if (path == ChainPath::Avx2)
    chain_avx2::runChainPass(states, channels, x, out, frames, settings, scratch,
                             chainKneeConstants());
  else
    chain_sse2::runChainPass(states, channels, x, out, frames, settings, scratch,
                             chainKneeConstants());
#else
  (void)path;
  chain_neon::runChainPass(states, channels, x, out, frames, settings, scratch,
                           chainKneeConstants());
#endif
}

void runChainBlock(ChainPath path, ChannelState& left, ChannelState& right, bool stereo,
                   const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                   int frames, const ChainSettings& settings, float inputGain,
                   ChainScratch& scratch) {
  ChannelState* const states[2] = {&left, &right};
  for (int done = 0; done < frames;) {
    const int count = std::min(kChainPassFrames, frames - done);
    if (stereo) {
      for (int i = 0; i < count; ++i) {
        scratch.input[0][i] = scaleStereoInput(inLeft[done + i], inputGain);
        scratch.input[1][i] = scaleStereoInput(inRight[done + i], inputGain);
      }
      const float* const x[2] = {scratch.input[0], scratch.input[1]};
      float* const out[2] = {outLeft + done, outRight + done};
      runChainPass(path, states, 2, x, out, count, settings, scratch);
    } else {
      for (int i = 0; i < count; ++i)
        scratch.input[0][i] = scaleMonoInput(inLeft[done + i], inRight[done + i], inputGain);
      const float* const x[1] = {scratch.input[0]};
      float* const out[1] = {outLeft + done};
      runChainPass(path, states, 1, x, out, count, settings, scratch);
      std::copy(outLeft + done, outLeft + done + count, outRight + done);
    }
    done += count;
  }
  // A NaN or an infinity in a filter memory would stay there for ever and silence the channel.
  if (!memoriesAreFinite(left)) left = ChannelState{};
  if (!memoriesAreFinite(right)) right = ChannelState{};
}
