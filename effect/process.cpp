// Sparkwell's audio callback: per frame either the bypass or the chain at twice the host rate,
// in "Mono" (one chain for the sum, on both outputs) or "Stereo" (one chain per channel).
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
  const DenormalFlush flushSubnormals;
  const float* inLeft = inputs[0];
  const float* inRight = inputs[1];
  float* outLeft = outputs[0];
  float* outRight = outputs[1];
  // Local copies: the output buffers cannot alias them, so the filter memories stay in
  // registers across the frame loop.
  ChannelState left = leftChannel;
  ChannelState right = rightChannel;

  for (VstInt32 i = 0; i < sampleFrames; ++i) {
    // Both inputs are read before an output is written (in-place processing). The inputs are
    // never written: the scaled samples live in locals.
    const float inL = inLeft[i];
    const float inR = inRight[i];
    // The mode and the bypass switch are read afresh for every frame.
    const bool separateChannels = stereoMode.load(kRelaxed);
    const bool bypassed = effect.load(kRelaxed) <= 0.5f;
    if (!separateChannels) {
      if (bypassed) {
        const float average = monoBypass(inL, inR);
        outLeft[i] = average;
        outRight[i] = average;
        continue;
      }
      const float gainIn = inputGain.load(kRelaxed);
      const ChainSettings settings = chainSettings();
      const float out = runChain(left, scaleMonoInput(inL, inR, gainIn), settings);
      outLeft[i] = out;
      outRight[i] = out;
    } else {
      if (bypassed) {
        outLeft[i] = inL;
        outRight[i] = inR;
        continue;
      }
      const float gainIn = inputGain.load(kRelaxed);
      const ChainSettings settings = chainSettings();
      float outL, outR;
      runChainPair(left, right, scaleStereoInput(inL, gainIn), scaleStereoInput(inR, gainIn),
                   settings, outL, outR);
      outLeft[i] = outL;
      outRight[i] = outR;
    }
  }

  // A NaN or an infinity in a filter memory would stay there for ever and silence the
  // channel; such a channel starts over from its construction state with the next block.
  if (!memoriesAreFinite(left)) left = ChannelState{};
  if (!memoriesAreFinite(right)) right = ChannelState{};
  leftChannel = left;
  rightChannel = right;
}
