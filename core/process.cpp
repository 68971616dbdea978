// The core's audio: the bypass, or the chain at twice the host rate, in "Mono" (one chain for
// the sum, on both outputs) or "Stereo" (one chain per channel). The mode and the parameters are
// read once per block; the chain runs block-wise (dsp/block_chain.h).
#include "denormal_flush.h"
#include "pickup_band.h"
#include "sparkwell_core.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
} // namespace

ChainSettings SparkwellCore::chainSettings() const {
  ChainSettings c;
  c.hpfCoefB = hpfCoefB.load(kRelaxed);
  c.hpfCoefA = hpfCoefA.load(kRelaxed);
  c.pickup = pickupFiltersFor(pickupSets, pickupBandOf(pickup.load(kRelaxed)));
  c.hpf = hpf.load(kRelaxed);
  c.hpfComplement = hpfComplement.load(kRelaxed);
  c.ac128Model = ac128Model.load(kRelaxed);
  c.gridCurrent = gridCurrent.load(kRelaxed);
  c.gridAmount = gridAmount.load(kRelaxed);
  c.gridAmountInv = gridAmountInv.load(kRelaxed);
  c.dcCoefB = dcCoefB;
  c.dcCoefA = dcCoefA;
  c.trebleCoefB = trebleCoefB.load(kRelaxed);
  c.trebleCoefA = trebleCoefA.load(kRelaxed);
  c.outputGain = outputGain.load(kRelaxed);
  return c;
}

void SparkwellCore::process(const float* inLeft, const float* inRight, float* outLeft,
                            float* outRight, int32_t frames) {
  if (frames <= 0) return;
  const bool separateChannels = stereoMode.load(kRelaxed);

  // The bypass is plain arithmetic in the host's floating-point mode, outside the chain's
  // flush-to-zero: "Mono" averages subnormal inputs exactly, "Stereo" copies every bit. Both
  // inputs of a frame are read before its outputs are written (in-place processing).
  if (effect.load(kRelaxed) <= 0.5f) {
    for (int32_t i = 0; i < frames; ++i) {
      const float inL = inLeft[i];
      const float inR = inRight[i];
      if (separateChannels) {
        outLeft[i] = inL;
        outRight[i] = inR;
      } else {
        const float average = monoBypass(inL, inR);
        outLeft[i] = average;
        outRight[i] = average;
      }
    }
    return;
  }

  const ChainSettings settings = chainSettings();
  const float gainIn = inputGain.load(kRelaxed);
  // Subnormal numbers count as zero inside the chain's arithmetic only.
  const DenormalFlush flushSubnormals;
  runChainBlock(chainPath, leftChannel, rightChannel, separateChannels, inLeft, inRight, outLeft,
                outRight, frames, settings, gainIn, chainScratch);
}
