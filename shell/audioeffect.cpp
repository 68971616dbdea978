#include "audioeffect.h"

#include <cstring>

#include "aeffeditor.h"

namespace {

AudioEffect* effectOf(AEffect* e) {
  return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

// The record entries: plain functions the host calls through the AEffect record. Each finds
// the effect object in `object` and forwards the call. No exception may cross into the host,
// so each entry swallows whatever an operation throws and answers as if nothing was done.
// The dispatcher's entry is AudioEffect::dispatchEntry, below.

void setParameterEntry(AEffect* e, VstInt32 index, float value) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return;
  try {
    effect->setParameter(index, value);
  } catch (...) {
  }
}

float getParameterEntry(AEffect* e, VstInt32 index) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return 0.0f;
  try {
    return effect->getParameter(index);
  } catch (...) {
    return 0.0f;
  }
}

void processReplacingEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return;
  try {
    effect->processReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs,
                                 VstInt32 sampleFrames) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return;
  try {
    effect->processDoubleReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return;
  try {
    effect->process(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

} // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), editor(nullptr), sampleRate(44100.0f), blockSize(1024),
      numPrograms(numPrograms), numParams(numParams), curProgram(0) {
  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEntry;
  cEffect.process = processEntry;
  cEffect.setParameter = setParameterEntry;
  cEffect.getParameter = getParameterEntry;
  cEffect.numPrograms = numPrograms;
  cEffect.numParams = numParams;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = effFlagsCanReplacing;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = CCONST('N', 'o', 'E', 'f');
  cEffect.version = 1;
  cEffect.processReplacing = processReplacingEntry;
  cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() {
  // Cleared first: the editor's destructor looks at whether it is still the attached one.
  AEffEditor* owned = editor;
  editor = nullptr;
  delete owned;
}

VstIntPtr AudioEffect::dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                     void* ptr, float opt) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return 0;
  effect->enterCall();
  VstIntPtr answer = 0;
  try {
    answer = effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    answer = 0;
  }
  if (opcode == effClose) {
    // The host is done with this instance even if its close failed. The record lives inside
    // the object: after this the host's pointer is gone. A call still under way (the host
    // closes from inside one of its callbacks) keeps the object until that call returns.
    try {
      effect->closedByHost();
    } catch (...) {
    }
    answer = 1;
  }
  leaveCall(effect);
  return answer;
}

void AudioEffect::enterCall() {
  callDepth.fetch_add(1, std::memory_order_relaxed);
}

void AudioEffect::leaveCall(AudioEffect* effect) {
  if (effect->callDepth.fetch_sub(1, std::memory_order_relaxed) == 1 &&
      effect->hostClosed.load(std::memory_order_relaxed) != 0)
    delete effect;
}

void AudioEffect::closedByHost() {
  hostClosed.store(1, std::memory_order_relaxed);
  // Destroyed at once (the destructor closes the window) unless an earlier call is still under
  // way: then the window cannot wait, and whatever that call still does stays in the plug-in.
  if (callDepth.load(std::memory_order_relaxed) == 1) return;
  if (editor) editor->close();
  hostSilenced.store(1, std::memory_order_relaxed);
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  if (editor)
    cEffect.flags |= effFlagsHasEditor;
  else
    cEffect.flags &= ~effFlagsHasEditor;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  if (!audioMaster || hostSilenced.load(std::memory_order_relaxed) != 0) return 0;
  return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

// Requests 0 to 24. The extended dispatcher of AudioEffectX passes everything outside 25 to 79
// here; whatever has no case is answered 0.
VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
  case effOpen:
    open();
    return 0;
  case effClose:
    close();
    return 0;
  case effSetProgram:
    // Compared before narrowing so that a huge 64-bit value cannot wrap into range.
    if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
    return 0;
  case effGetProgram:
    return getProgram();
  case effSetProgramName:
    if (text) setProgramName(text);
    return 0;
  case effGetProgramName:
    if (text) getProgramName(text);
    return 0;
  case effGetParamLabel:
    if (text) getParameterLabel(index, text);
    return 0;
  case effGetParamDisplay:
    if (text) getParameterDisplay(index, text);
    return 0;
  case effGetParamName:
    if (text) getParameterName(index, text);
    return 0;
  case effSetSampleRate:
    setSampleRate(opt);
    return 0;
  case effSetBlockSize:
    setBlockSize(static_cast<VstInt32>(value));
    return 0;
  case effMainsChanged:
    if (value == 0)
      suspend();
    else
      resume();
    return 0;
  case effEditGetRect:
    // A null ptr would leave the editor nowhere to put the rectangle's address.
    if (!editor || !ptr) return 0;
    return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
  case effEditOpen:
    if (!editor) return 0;
    if (editor->open(ptr)) return 1;
    // No window came of it: the host takes the editor as closed, so nothing may stay open.
    editor->close();
    return 0;
  case effEditClose:
    if (editor) editor->close();
    return 0;
  case effEditIdle:
    if (editor) editor->idle();
    return 0;
  case effIdentify:
    return CCONST('N', 'v', 'E', 'f');
  case effGetChunk:
    return getChunk(static_cast<void**>(ptr), index != 0);
  case effSetChunk:
    return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
  default:
    return 0;
  }
}

void AudioEffect::processReplacing(float** /*inputs*/, float** /*outputs*/,
                                   VstInt32 /*sampleFrames*/) {}
void AudioEffect::processDoubleReplacing(double** /*inputs*/, double** /*outputs*/,
                                         VstInt32 /*sampleFrames*/) {}
void AudioEffect::process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}

void AudioEffect::setParameter(VstInt32 /*index*/, float /*value*/) {}
float AudioEffect::getParameter(VstInt32 /*index*/) {
  return 0.0f;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

// The base keeps no program names or parameter texts: the text requests leave the caller's
// buffer as it was.
void AudioEffect::setProgramName(char* /*name*/) {}
void AudioEffect::getProgramName(char* /*name*/) {}
void AudioEffect::getParameterLabel(VstInt32 /*index*/, char* /*label*/) {}
void AudioEffect::getParameterDisplay(VstInt32 /*index*/, char* /*text*/) {}
void AudioEffect::getParameterName(VstInt32 /*index*/, char* /*text*/) {}

VstInt32 AudioEffect::getChunk(void** /*data*/, bool /*isPreset*/) {
  return 0;
}
VstInt32 AudioEffect::setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) {
  return 0;
}

void AudioEffect::canProcessReplacing(bool state) {
  if (state)
    cEffect.flags |= effFlagsCanReplacing;
  else
    cEffect.flags &= ~effFlagsCanReplacing;
}

void AudioEffect::canDoubleReplacing(bool state) {
  if (state)
    cEffect.flags |= effFlagsCanDoubleReplacing;
  else
    cEffect.flags &= ~effFlagsCanDoubleReplacing;
}

void AudioEffect::programsAreChunks(bool state) {
  if (state)
    cEffect.flags |= effFlagsProgramChunks;
  else
    cEffect.flags &= ~effFlagsProgramChunks;
}

VstInt32 AudioEffect::getMasterVersion() {
  return static_cast<VstInt32>(callHost(audioMasterVersion));
}

VstInt32 AudioEffect::getCurrentUniqueId() {
  return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
  callHost(audioMasterIdle);
}
