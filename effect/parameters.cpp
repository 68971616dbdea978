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

std::atomic<float>* Sparkwell::storedValue(VstInt32 index) {
  return parameterField(*this, index);
}

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
    // -50 dB at 0 to +20 dB at 1.
    outputGain.store(
        static_cast<float>(portable::pow(10.0, 3.5 * static_cast<double>(value) - 2.5)), kRelaxed);
    break;
  case kHpf: {
    const OnePolePair pair = designHpfPair(value, internalRate);
    hpfCoefA.store(pair.coefA, kRelaxed);
    hpfCoefB.store(pair.coefB, kRelaxed);
    hpfComplement.store(1.0f - value, kRelaxed);
    break;
  }
  case kInput:
    // -30 dB at 0 to +30 dB at 1; the product with 3 is single precision.
    inputGain.store(
        static_cast<float>(portable::pow(10.0, static_cast<double>(value * 3.0f) - 1.5)), kRelaxed);
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

void Sparkwell::getParameterName(VstInt32 index, char* text) {
  // Written in full: "Grid Current" takes 12 characters, more than the published 8.
  if (const ParameterTexts* texts = parameterTexts(index)) std::strcpy(text, texts->name);
}

void Sparkwell::getParameterLabel(VstInt32 index, char* label) {
  const ParameterTexts* texts = parameterTexts(index);
  if (texts && texts->label) std::strcpy(label, texts->label);
}

void Sparkwell::getParameterDisplay(VstInt32 index, char* text) {
  switch (index) {
  case kGain:
    dB2string(outputGain.load(kRelaxed), text, kDisplayLength);
    break;
  case kHpf:
    float2string(hpf.load(kRelaxed), text, kDisplayLength);
    break;
  case kInput:
    dB2string(inputGain.load(kRelaxed), text, kDisplayLength);
    break;
  case kGridCurrent:
    gridCurrent2string(gridCurrent.load(kRelaxed), text, kDisplayLength);
    break;
  case kTreble:
    float2string(treble.load(kRelaxed), text, kDisplayLength);
    break;
  case kPickup:
    pickup2string(pickup.load(kRelaxed), text, kDisplayLength);
    break;
  case kTransistor:
    transistor2string(transistor.load(kRelaxed), text, kDisplayLength);
    break;
  case kStereo:
    stereo2string(stereo.load(kRelaxed), text, kDisplayLength);
    break;
  case kEffect:
    effect2string(effect.load(kRelaxed), text, kDisplayLength);
    break;
  default: // index 8 and out of range: the caller's text stays as it was
    break;
  }
}

void Sparkwell::gridCurrent2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0.0f)
    vst_strncpy(text, "Off", maxLen);
  else
    float2string(value, text, maxLen);
}

void Sparkwell::pickup2string(float value, char* text, VstInt32 maxLen) {
  static const char* const bandNames[] = {"None", "Hot HB", "HB", "P90", "SC"};
  // The processing chooses its band with the same edges; only the display knows about values
  // outside 0 to 1.
  const PickupBand band = pickupBandOf(value);
  if (value < 0.0f)
    vst_strncpy(text, "-oo", maxLen);
  else if (band == PickupBand::SingleCoil && !(value <= 1.0f))
    float2string(value, text, maxLen);
  else
    vst_strncpy(text, bandNames[static_cast<int>(band)], maxLen);
}

namespace {
// The display of a two-way switch: "-oo" below 0, offText below 0.5 (the band includes 0.5 on
// the upper side), onText up to 1; above 1 the caller shows the number.
const char* switchText(float value, const char* offText, const char* onText) {
  if (value < 0.0f) return "-oo";
  if (value < 0.5f) return offText;
  if (value <= 1.0f) return onText;
  return nullptr;
}
} // namespace

void Sparkwell::transistor2string(float value, char* text, VstInt32 maxLen) {
  if (const char* s = switchText(value, "2SB175", "AC128"))
    vst_strncpy(text, s, maxLen);
  else
    float2string(value, text, maxLen);
}

void Sparkwell::stereo2string(float value, char* text, VstInt32 maxLen) {
  if (const char* s = switchText(value, "Stereo", "Mono"))
    vst_strncpy(text, s, maxLen);
  else
    float2string(value, text, maxLen);
}

void Sparkwell::effect2string(float value, char* text, VstInt32 maxLen) {
  if (const char* s = switchText(value, "Off", "On"))
    vst_strncpy(text, s, maxLen);
  else
    float2string(value, text, maxLen);
}
