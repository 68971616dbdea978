// Sparkwell's parameter table at work: storing, deriving, reading back and showing values.
#include <cmath>
#include <cstring>

#include "aeffguieditor.h"
#include "filter_design.h"
#include "portable_math.h"
#include "sparkwell.h"
#include "vststring.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr VstInt32 kDisplayLength = kVstMaxParamStrLen;
} // namespace

void Sparkwell::setParameter(VstInt32 index, float value) {
  std::atomic<float>* stored = storedValue(index);
  if (stored) {
    programs[curProgram.load(kRelaxed)].value(index)->store(value, kRelaxed);
    stored->store(value, kRelaxed);
    deriveFrom(index, value);
  }
  // Every index reaches the editor, 8 (its panel tab) included.
  if (editor) static_cast<AEffGUIEditor*>(editor)->setParameter(index, value);
}

void Sparkwell::deriveFrom(VstInt32 index, float value) {
  switch (index) {
  case kGain:
    // -50 dB at 0 to +20 dB at 1: 10^(3.5 value - 2.5), the product in double precision.
    outputGain.store(
        static_cast<float>(portable::pow(10.0, kGainDecibels.slope() * static_cast<double>(value) +
                                                   kGainDecibels.offset())),
        kRelaxed);
    break;
  case kHpf: {
    const OnePolePair pair = designHpfPair(value, internalRate);
    hpfCoefA.store(pair.coefA, kRelaxed);
    hpfCoefB.store(pair.coefB, kRelaxed);
    hpfComplement.store(1.0f - value, kRelaxed);
    break;
  }
  case kInput:
    // -30 dB at 0 to +30 dB at 1: 10^(3 value - 1.5), the product with 3 in single precision.
    inputGain.store(
        static_cast<float>(portable::pow(
            10.0, static_cast<double>(value * static_cast<float>(kInputDecibels.slope())) +
                      kInputDecibels.offset())),
        kRelaxed);
    break;
  case kGridCurrent:
    deriveGridAmount(value);
    break;
  case kTreble: {
    const OnePolePair pair = designTreblePair(value, internalRate);
    trebleCoefA.store(pair.coefA, kRelaxed);
    trebleCoefB.store(pair.coefB, kRelaxed);
    break;
  }
  case kTransistor:
    ac128Model.store(value > 0.5f, kRelaxed);
    break;
  case kStereo:
    stereoMode.store(value < 0.5f, kRelaxed);
    break;
  default: // Pickup and Effect are read as stored.
    break;
  }
}

void Sparkwell::deriveGridAmount(float value) {
  const float amount = static_cast<float>(static_cast<double>(value * 5.0f) + 0.1);
  gridAmount.store(amount, kRelaxed);
  // At exactly 0 the grid stage is skipped and its reciprocal is left as it was.
  if (value != 0.0f) gridAmountInv.store(1.0f / amount, kRelaxed);
}

float Sparkwell::getParameter(VstInt32 index) {
  const std::atomic<float>* stored = storedValue(index);
  return stored ? stored->load(kRelaxed) : 0.0f;
}

float Sparkwell::linearGainOf(VstInt32 index) const {
  return (index == kGain ? outputGain : inputGain).load(kRelaxed);
}

void Sparkwell::getParameterName(VstInt32 index, char* text) {
  // Written in full: "Grid Current" takes 12 characters, more than the published 8.
  if (const ParameterInfo* info = parameterInfo(index)) std::strcpy(text, info->name);
}

void Sparkwell::getParameterLabel(VstInt32 index, char* label) {
  const ParameterInfo* info = parameterInfo(index);
  if (info && info->label) std::strcpy(label, info->label);
}

void Sparkwell::getParameterDisplay(VstInt32 index, char* text) {
  const ParameterInfo* info = parameterInfo(index);
  if (info == nullptr) return; // index 8 and out of range: the caller's text stays as it was
  const float value = storedValue(index)->load(kRelaxed);
  switch (info->display) {
  case DisplayKind::Decibels:
    dB2string(linearGainOf(index), text, kDisplayLength);
    break;
  case DisplayKind::GridCurrent:
    if (value <= 0.0f)
      vst_strncpy(text, kGridCurrentOffWord, kDisplayLength);
    else
      float2string(value, text, kDisplayLength);
    break;
  case DisplayKind::Switch:
    if (value < 0.0f)
      vst_strncpy(text, "-oo", kDisplayLength);
    else if (const char* word = switchWord(info->switchWords, value))
      vst_strncpy(text, word, kDisplayLength);
    else
      float2string(value, text, kDisplayLength);
    break;
  case DisplayKind::Number:
  case DisplayKind::None:
    float2string(value, text, kDisplayLength);
    break;
  }
}
