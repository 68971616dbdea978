// Sparkwell's parameters as the VST host sees them: setting and reading values (the core stores
// and derives them), names, labels and displays.
#include <cstring>

#include "aeffguieditor.h"
#include "sparkwell.h"
#include "vststring.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr VstInt32 kDisplayLength = kVstMaxParamStrLen;
} // namespace

void Sparkwell::setParameter(VstInt32 index, float value) {
  core.setParameter(curProgram.load(kRelaxed), index, value);
  // Every index reaches the editor, 8 (its panel tab) included.
  if (editor) static_cast<AEffGUIEditor*>(editor)->setParameter(index, value);
}

float Sparkwell::getParameter(VstInt32 index) {
  return core.getParameter(index);
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
  const float value = core.getParameter(index);
  switch (info->display) {
  case DisplayKind::Decibels:
    dB2string(core.linearGain(index), text, kDisplayLength);
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
