// Sparkwell's audio callback: the bypass, or the chain at twice the host rate, in "Mono" (one
// chain for the sum, on both outputs) or "Stereo" (one chain per channel). The mode and the
// parameters are read once per block; the chain runs block-wise (dsp/block_chain.h).
#include <algorithm>

#include "denormal_flush.h"
#include "sparkwell.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
} // namespace

ChainSettings Sparkwell::chainSettings() const {
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

void Sparkwell::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (sampleFrames <= 0) return;
  const float* inLeft = inputs[0];
  const float* inRight = inputs[1];
  float* outLeft = outputs[0];
  float* outRight = outputs[1];
  const bool separateChannels = stereoMode.load(kRelaxed);

  // The bypass is plain arithmetic in the host's floating-point mode, outside the chain's
  // flush-to-zero: "Mono" averages subnormal inputs exactly, "Stereo" copies every bit. Both
  // inputs of a frame are read before its outputs are written (in-place processing).
  if (effect.load(kRelaxed) <= 0.5f) {
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
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
  ChannelState* const states[2] = {&leftChannel, &rightChannel};
  ChainScratch& scratch = chainScratch;
  {
    // Subnormal numbers count as zero inside the chain's arithmetic only.
    const DenormalFlush flushSubnormals;
    for (VstInt32 done = 0; done < sampleFrames;) {
      const int frames =
          static_cast<int>(std::min<VstInt32>(kChainPassFrames, sampleFrames - done));
      // The pass's inputs are taken before any of its outputs is written, and the input
      // buffers are never written.
      if (separateChannels) {
        for (int i = 0; i < frames; ++i) {
          scratch.input[0][i] = scaleStereoInput(inLeft[done + i], gainIn);
          scratch.input[1][i] = scaleStereoInput(inRight[done + i], gainIn);
        }
        const float* const x[2] = {scratch.input[0], scratch.input[1]};
        float* const out[2] = {outLeft + done, outRight + done};
        runChainPass(chainPath, states, 2, x, out, frames, settings, scratch);
      } else {
        for (int i = 0; i < frames; ++i)
          scratch.input[0][i] = scaleMonoInput(inLeft[done + i], inRight[done + i], gainIn);
        const float* const x[1] = {scratch.input[0]};
        float* const out[1] = {outLeft + done};
        runChainPass(chainPath, states, 1, x, out, frames, settings, scratch);
        std::copy(outLeft + done, outLeft + done + frames, outRight + done);
      }
      done += frames;
    }
  }

  // A NaN or an infinity in a filter memory would stay there for ever and silence the
  // channel; such a channel starts over from its construction state with the next block.
  if (!memoriesAreFinite(leftChannel)) leftChannel = ChannelState{};
  if (!memoriesAreFinite(rightChannel)) rightChannel = ChannelState{};
}
