// A deliberately plain model of Sparkwell's sound, written stage by stage from the design's
// formulas: every intermediate of a frame has its own named field, each stage runs for both
// oversampled samples before the next stage starts, and the input scaling writes the scaled
// sample into a buffer that the chain reads back. The plug-in runs the same arithmetic sample by
// sample with its state in registers; the tests demand bit-identical output from both.
// Coefficient designs and curves come from the DSP library, whose check values are tested there.
#pragma once

#include <cmath>

#include "chain.h"
#include "curves.h"
#include "filter_design.h"
#include "pickup_band.h"
#include "pickup_sets.h"
#include "plugin_host.h"
#include "portable_math.h"

namespace sparkwell_test {

struct ReferenceBiquad {
  float x0 = 0, x1 = 0, x2 = 0, y0 = 0, y1 = 0, y2 = 0;
};

struct ReferenceChannel {
  float mid = 0, cur = 0, prevIn = 0, decimOut = 0, decimMem0 = 0, decimMem1 = 0;
  float peakOut[2] = {0, 0}, notchOut[2] = {0, 0}, drive[2] = {0, 0}, shaped[2] = {0, 0};
  float gridOut[2] = {0, 0};
  ReferenceBiquad peak, notch;
  float hpfZ = 0, hpOut[2] = {0, 0}, hpLow[2] = {0, 0};
  float dcZ = 0, dcOut[2] = {0, 0}, dcLow[2] = {0, 0};
  float trebleOut[2] = {0, 0}, trebleZ = 0;
};

class ReferenceSparkwell {
public:
  ReferenceSparkwell() {
    internalRate = 44100.0f * 2.0f;
    const float defaults[10] = {0.6f, 1.0f, 0.5f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f, 0.0f, 1.0f};
    for (int index = 0; index < 10; ++index)
      if (index != 8) setParameter(index, defaults[index]);
    sets = designPickupSets(internalRate);
    const OnePolePair hpfFixed = designFixedOnePole(-6660.0f, internalRate);
    hpfCoefB = hpfFixed.coefB;
    hpfCoefA = hpfFixed.coefA;
    const OnePolePair dc = designFixedOnePole(-200.0f, internalRate);
    dcCoefB = dc.coefB;
    dcCoefA = dc.coefA;
    const OnePolePair trebleFixed = designFixedOnePole(-125663.0f, internalRate);
    trebleCoefB = trebleFixed.coefB;
    trebleCoefA = trebleFixed.coefA;
    setGrid(gridCurrent);
  }

  void setParameter(int index, float value) {
    switch (index) {
    case 0:
      gain = value;
      outputGain = static_cast<float>(portable::pow(10.0, 3.5 * static_cast<double>(value) - 2.5));
      break;
    case 1: {
      hpf = value;
      const double d = portable::pow(10.0, static_cast<double>(value) * 1.33);
      const double p = portable::exp(d * -314.0 / static_cast<double>(internalRate));
      hpfCoefA = static_cast<float>(-p);
      hpfCoefB = hpfCoefA + 1.0f;
      hpfComplement = 1.0f - value;
      break;
    }
    case 2: {
      input = value;
      const double d = static_cast<double>(value * 3.0f);
      inputGain = static_cast<float>(portable::pow(10.0, d - 1.5));
      break;
    }
    case 3:
      gridCurrent = value;
      setGrid(value);
      break;
    case 4: {
      treble = value;
      const double d = portable::pow(10.0, static_cast<double>(value) * 1.6);
      const double p = portable::exp(d * -3142.0 / static_cast<double>(internalRate));
      trebleCoefA = static_cast<float>(-p);
      trebleCoefB = trebleCoefA + 1.0f;
      break;
    }
    case 5:
      pickup = value;
      break;
    case 6:
      transistor = value;
      ac128Model = value > 0.5f;
      break;
    case 7:
      stereo = value;
      stereoMode = value < 0.5f;
      break;
    case 9:
      effect = value;
      break;
    default:
      break;
    }
  }

  // What the model's parameters give the plug-in's chain to read, and its input gain: for
  // driving the chain of the DSP library with the model's settings.
  ChainSettings chainSettings() const {
    ChainSettings c;
    c.hpfCoefB = hpfCoefB;
    c.hpfCoefA = hpfCoefA;
    c.pickup = pickupFiltersFor(sets, pickupBandOf(pickup));
    c.hpf = hpf;
    c.hpfComplement = hpfComplement;
    c.ac128Model = ac128Model;
    c.gridCurrent = gridCurrent;
    c.gridAmount = gridAmount;
    c.gridAmountInv = gridAmountInv;
    c.dcCoefB = dcCoefB;
    c.dcCoefA = dcCoefA;
    c.trebleCoefB = trebleCoefB;
    c.trebleCoefA = trebleCoefA;
    c.outputGain = outputGain;
    return c;
  }
  float linearInputGain() const { return inputGain; }
  bool separateChannels() const { return stereoMode; }
  bool processing() const { return effect > 0.5f; }

  StereoBuffer process(const StereoBuffer& input) {
    StereoBuffer output{std::vector<float>(input.left.size()),
                        std::vector<float>(input.left.size())};
    process(input.left.data(), input.right.data(), output.left.data(), output.right.data(),
            static_cast<int>(input.left.size()));
    return output;
  }

  // `scratch` holds the scaled inputs, as the design keeps them in the input buffers.
  void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
               int frames) {
    for (int i = 0; i < frames; ++i) {
      float in[2] = {inLeft[i], inRight[i]};
      if (!stereoMode) {
        if (effect <= 0.5f) {
          const float s = in[0] + in[1];
          outLeft[i] = s * 0.5f;
          outRight[i] = s * 0.5f;
          continue;
        }
        scratch[0] = static_cast<float>(static_cast<double>(in[0] + in[1]) * 0.09 *
                                        static_cast<double>(inputGain));
        const float y = chain(left, scratch[0]);
        outLeft[i] = y;
        outRight[i] = y;
      } else {
        if (effect <= 0.5f) {
          outLeft[i] = in[0];
          outRight[i] = in[1];
          continue;
        }
        for (int c = 0; c < 2; ++c)
          scratch[c] = static_cast<float>(static_cast<double>(in[c] * inputGain) * 0.18);
        outLeft[i] = chain(left, scratch[0]);
        outRight[i] = chain(right, scratch[1]);
      }
    }
    resetIfNotFinite(left);
    resetIfNotFinite(right);
  }

private:
  void setGrid(float value) {
    gridAmount = static_cast<float>(static_cast<double>(value * 5.0f) + 0.1);
    if (value != 0.0f) gridAmountInv = 1.0f / gridAmount;
  }

  template <class C> static float biquad(ReferenceBiquad& b, const C& c, float u) {
    const float y = c.b0 * u + c.b1 * b.x1 + c.b2 * b.x2 - c.a1 * b.y1 - c.a2 * b.y2;
    b.x2 = b.x1;
    b.x1 = u;
    b.x0 = u;
    b.y2 = b.y1;
    b.y1 = y;
    b.y0 = y;
    return y;
  }

  float chain(ReferenceChannel& S, float x) {
    const float guard = 1e-25f;
    S.mid = static_cast<float>(0.5 * static_cast<double>(S.prevIn) + 0.5 * static_cast<double>(x));
    S.cur = x;
    S.prevIn = x;
    const float s[2] = {S.mid, S.cur};
    for (int k = 0; k < 2; ++k) {
      S.hpLow[k] = hpfCoefB * s[k] - hpfCoefA * S.hpfZ;
      S.hpfZ = S.hpLow[k];
      S.hpOut[k] = s[k] - S.hpLow[k];
    }
    const double p = pickup;
    const PeakCoeffs* peakSet = nullptr;
    const NotchCoeffs* notchSet = nullptr;
    if (p < 0.2) {
    } else if (p < 0.4) {
      peakSet = &sets.peakHotHumbucker;
      notchSet = &sets.notchHumbucker;
    } else if (p < 0.6) {
      peakSet = &sets.peakHumbucker;
      notchSet = &sets.notchHumbucker;
    } else if (p < 0.8) {
      peakSet = &sets.peakP90;
      notchSet = &sets.notchSingleCoil;
    } else {
      peakSet = &sets.peakSingleCoil;
      notchSet = &sets.notchSingleCoil;
    }
    if (peakSet) {
      for (int k = 0; k < 2; ++k)
        S.peakOut[k] = biquad(S.peak, *peakSet, S.hpOut[k] + guard);
      for (int k = 0; k < 2; ++k)
        S.notchOut[k] = biquad(S.notch, *notchSet, S.peakOut[k] + guard);
    } else {
      for (int k = 0; k < 2; ++k) {
        S.peakOut[k] = S.hpOut[k];
        S.notchOut[k] = S.hpOut[k];
      }
    }
    const double G = ac128Model ? -31.66667 : -50.0;
    for (int k = 0; k < 2; ++k) {
      const double m =
          (static_cast<double>(S.peakOut[k]) * 0.2 + static_cast<double>(S.notchOut[k]) * 0.8) *
          static_cast<double>(hpf);
      S.drive[k] = static_cast<float>((m + static_cast<double>(hpfComplement * S.hpOut[k])) * G);
    }
    for (int k = 0; k < 2; ++k)
      S.shaped[k] = ac128Model ? shapeAC128(S.drive[k]) : shape2SB175(S.drive[k]);
    for (int k = 0; k < 2; ++k) {
      S.dcLow[k] = dcCoefB * S.shaped[k] - dcCoefA * S.dcZ;
      S.dcZ = S.dcLow[k];
      S.dcOut[k] = S.shaped[k] - S.dcLow[k];
    }
    for (int k = 0; k < 2; ++k)
      S.gridOut[k] =
          gridCurrent == 0.0f ? S.dcOut[k] : gridAmountInv * gridShape(gridAmount * S.dcOut[k]);
    for (int k = 0; k < 2; ++k) {
      S.trebleOut[k] = (trebleCoefB * S.gridOut[k] - trebleCoefA * S.trebleZ) + guard;
      S.trebleZ = S.trebleOut[k];
    }
    S.decimOut = static_cast<float>(0.25 * static_cast<double>(S.trebleOut[0]) +
                                    0.5 * static_cast<double>(S.decimMem1) +
                                    0.25 * static_cast<double>(S.decimMem0));
    S.decimMem0 = S.trebleOut[0];
    S.decimMem1 = S.trebleOut[1];
    return S.decimOut * outputGain;
  }

  static void resetIfNotFinite(ReferenceChannel& S) {
    const float memories[] = {S.prevIn,   S.decimMem0, S.decimMem1, S.hpfZ,     S.peak.x1,
                              S.peak.x2,  S.peak.y1,   S.peak.y2,   S.notch.x1, S.notch.x2,
                              S.notch.y1, S.notch.y2,  S.dcZ,       S.trebleZ};
    for (float v : memories)
      if (!std::isfinite(v)) {
        S = ReferenceChannel{};
        return;
      }
  }

  float internalRate;
  float gain = 0, hpf = 0, input = 0, gridCurrent = 0, treble = 0, pickup = 0, transistor = 0,
        stereo = 0, effect = 0;
  float hpfComplement = 0, inputGain = 0, gridAmountInv = 0, gridAmount = 0, outputGain = 0;
  bool ac128Model = false, stereoMode = false;
  PickupSets sets{};
  float hpfCoefB = 0, hpfCoefA = 0, dcCoefB = 0, dcCoefA = 0, trebleCoefB = 0, trebleCoefA = 0;
  ReferenceChannel left, right;
  float scratch[2] = {0, 0};
};

} // namespace sparkwell_test
