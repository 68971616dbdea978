#include "audioeffectx.h"

#include <cmath>

#include "aeffeditor.h"
#include "aeffguieditor.h"
#include "editorchannel.h"

namespace {

// The low byte of a key request's opt, which carries the modifier bits as a float. Values that
// an integer cannot hold (NaN, infinities, huge numbers from a careless host) give no modifier.
unsigned char modifierFromOpt(float opt) {
  if (!(opt > -2147483648.0f && opt < 2147483648.0f)) return 0;
  return static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xff);
}

VstKeyCode keyCodeOf(VstInt32 index, VstIntPtr value, float opt) {
  VstKeyCode key{};
  key.character = index;
  key.virt = static_cast<unsigned char>(value & 0xff);
  key.modifier = modifierFromOpt(opt);
  return key;
}

} // namespace

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms,
                           VstInt32 numParams)
    : AudioEffect(audioMaster, numPrograms, numParams) {}

// Requests 25 to 79; everything else, negative opcodes included, goes to the base.
VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
  case effProcessEvents:
    return processEvents(static_cast<VstEvents*>(ptr));
  case effCanBeAutomated:
    return canParameterBeAutomated(index) ? 1 : 0;
  case effString2Parameter:
    if (!text) return 0;
    return string2parameter(index, text) ? 1 : 0;
  case effGetProgramNameIndexed:
    if (!text) return 0;
    return getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
  case effGetInputProperties:
    return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
  case effGetOutputProperties:
    return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
  case effGetPlugCategory:
    return getPlugCategory();
  case effOfflineNotify:
    return offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value), index != 0)
               ? 1
               : 0;
  case effOfflinePrepare:
    return offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)) ? 1 : 0;
  case effOfflineRun:
    return offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)) ? 1 : 0;
  case effProcessVarIo:
    return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
  case effSetSpeakerArrangement:
    return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                 static_cast<VstSpeakerArrangement*>(ptr))
               ? 1
               : 0;
  case effSetBypass:
    return setBypass(value != 0) ? 1 : 0;
  case effGetEffectName:
    if (!text) return 0;
    return getEffectName(text) ? 1 : 0;
  case effGetVendorString:
    if (!text) return 0;
    return getVendorString(text) ? 1 : 0;
  case effGetProductString:
    if (!text) return 0;
    return getProductString(text) ? 1 : 0;
  case effGetVendorVersion:
    return getVendorVersion();
  case effVendorSpecific:
    if (index == kSparkwellChannelIndex && value == kSparkwellChannelOpenEditor) {
      auto* guiEditor = dynamic_cast<AEffGUIEditor*>(editor);
      return guiEditor != nullptr &&
                     guiEditor->openInMemory(static_cast<SparkwellOffscreenTarget*>(ptr))
                 ? 1
                 : 0;
    }
    if (index == kHostScaleIndex && value == kHostScaleValue) {
      // The host's scale factor for the editor, in opt, before or while the window is open.
      auto* guiEditor = dynamic_cast<AEffGUIEditor*>(editor);
      return guiEditor != nullptr && guiEditor->setHostScaleFactor(opt) ? 1 : 0;
    }
    return vendorSpecific(index, value, ptr, opt);
  case effCanDo:
    if (!text) return 0;
    return canDo(text);
  case effGetTailSize:
    return getGetTailSize();
  case effGetParameterProperties:
    return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
  case effGetVstVersion:
    return getVstVersion();
  case effEditKeyDown: {
    if (!editor) return 0;
    VstKeyCode key = keyCodeOf(index, value, opt);
    return editor->onKeyDown(key) ? 1 : 0;
  }
  case effEditKeyUp: {
    if (!editor) return 0;
    VstKeyCode key = keyCodeOf(index, value, opt);
    return editor->onKeyUp(key) ? 1 : 0;
  }
  case effSetEditKnobMode:
    if (!editor) return 0;
    return editor->setKnobMode(static_cast<VstInt32>(value)) ? 1 : 0;
  case effGetMidiProgramName:
    return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
  case effGetCurrentMidiProgram:
    return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
  case effGetMidiProgramCategory:
    return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
  case effHasMidiProgramsChanged:
    return hasMidiProgramsChanged(index) ? 1 : 0;
  case effGetMidiKeyName:
    return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
  case effBeginSetProgram:
    return beginSetProgram() ? 1 : 0;
  case effEndSetProgram:
    return endSetProgram() ? 1 : 0;
  case effGetSpeakerArrangement:
    return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                 static_cast<VstSpeakerArrangement**>(ptr))
               ? 1
               : 0;
  case effShellGetNextPlugin:
    if (!text) return 0;
    return getNextShellPlugin(text);
  case effStartProcess:
    return startProcess();
  case effStopProcess:
    return stopProcess();
  case effSetTotalSampleToProcess:
    return setTotalSampleToProcess(static_cast<VstInt32>(value));
  case effSetPanLaw:
    return setPanLaw(static_cast<VstInt32>(value), opt) ? 1 : 0;
  case effBeginLoadBank:
    return beginLoadBank(ptr);
  case effBeginLoadProgram:
    return beginLoadProgram(ptr);
  case effSetProcessPrecision:
    return setProcessPrecision(static_cast<VstInt32>(value)) ? 1 : 0;
  case effGetNumMidiInputChannels:
    return getNumMidiInputChannels();
  case effGetNumMidiOutputChannels:
    return getNumMidiOutputChannels();
  default:
    return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

// Only an instrument, or an effect that takes MIDI events, asks the host for them when it is
// switched on.
void AudioEffectX::resume() {
  char receiveMidi[] = "receiveVstMidiEvent";
  if ((cEffect.flags & effFlagsIsSynth) || canDo(receiveMidi) == 1)
    callHost(audioMasterWantMidi, 0, 1);
}

VstInt32 AudioEffectX::processEvents(VstEvents* /*events*/) {
  return 0;
}
bool AudioEffectX::canParameterBeAutomated(VstInt32 /*index*/) {
  return true;
}
bool AudioEffectX::string2parameter(VstInt32 /*index*/, char* /*text*/) {
  return false;
}
bool AudioEffectX::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/,
                                         char* /*text*/) {
  return false;
}
bool AudioEffectX::getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
  return false;
}
bool AudioEffectX::getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
  return false;
}
VstInt32 AudioEffectX::getPlugCategory() {
  return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}
bool AudioEffectX::offlineNotify(VstAudioFile* /*ptr*/, VstInt32 /*numAudioFiles*/,
                                 bool /*start*/) {
  return false;
}
bool AudioEffectX::offlinePrepare(VstOfflineTask* /*offline*/, VstInt32 /*count*/) {
  return false;
}
bool AudioEffectX::offlineRun(VstOfflineTask* /*offline*/, VstInt32 /*count*/) {
  return false;
}
bool AudioEffectX::processVariableIo(VstVariableIo* /*varIo*/) {
  return false;
}
bool AudioEffectX::setSpeakerArrangement(VstSpeakerArrangement* /*pluginInput*/,
                                         VstSpeakerArrangement* /*pluginOutput*/) {
  return false;
}
bool AudioEffectX::setBypass(bool /*onOff*/) {
  return false;
}
bool AudioEffectX::getEffectName(char* /*name*/) {
  return false;
}
bool AudioEffectX::getVendorString(char* /*text*/) {
  return false;
}
bool AudioEffectX::getProductString(char* /*text*/) {
  return false;
}
VstInt32 AudioEffectX::getVendorVersion() {
  return 0;
}
VstIntPtr AudioEffectX::vendorSpecific(VstInt32 /*lArg*/, VstIntPtr /*lArg2*/, void* /*ptrArg*/,
                                       float /*floatArg*/) {
  return 0;
}
// Neither yes (1) nor no (-1): 0 for every capability.
VstInt32 AudioEffectX::canDo(char* /*text*/) {
  return 0;
}
VstInt32 AudioEffectX::getGetTailSize() {
  return 0;
}
bool AudioEffectX::getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) {
  return false;
}
VstInt32 AudioEffectX::getVstVersion() {
  return 2400;
}
VstInt32 AudioEffectX::getMidiProgramName(VstInt32 /*channel*/,
                                          MidiProgramName* /*midiProgramName*/) {
  return 0;
}
VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32 /*channel*/,
                                             MidiProgramName* /*currentProgram*/) {
  return -1;
}
VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32 /*channel*/,
                                              MidiProgramCategory* /*category*/) {
  return 0;
}
bool AudioEffectX::hasMidiProgramsChanged(VstInt32 /*channel*/) {
  return false;
}
bool AudioEffectX::getMidiKeyName(VstInt32 /*channel*/, MidiKeyName* /*keyName*/) {
  return false;
}
bool AudioEffectX::beginSetProgram() {
  return false;
}
bool AudioEffectX::endSetProgram() {
  return false;
}

// Nothing is arranged: both answers are set to null, and a null argument is skipped.
bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) {
  if (pluginInput) *pluginInput = nullptr;
  if (pluginOutput) *pluginOutput = nullptr;
  return false;
}

VstInt32 AudioEffectX::getNextShellPlugin(char* /*name*/) {
  return 0;
}
VstInt32 AudioEffectX::startProcess() {
  return 0;
}
VstInt32 AudioEffectX::stopProcess() {
  return 0;
}
VstInt32 AudioEffectX::setTotalSampleToProcess(VstInt32 value) {
  return value;
}
bool AudioEffectX::setPanLaw(VstInt32 /*type*/, float /*val*/) {
  return false;
}
VstInt32 AudioEffectX::beginLoadBank(void* /*ptr*/) {
  return 0;
}
VstInt32 AudioEffectX::beginLoadProgram(void* /*ptr*/) {
  return 0;
}
bool AudioEffectX::setProcessPrecision(VstInt32 /*precision*/) {
  return false;
}
VstInt32 AudioEffectX::getNumMidiInputChannels() {
  return 0;
}
VstInt32 AudioEffectX::getNumMidiOutputChannels() {
  return 0;
}

bool AudioEffectX::beginEdit(VstInt32 index) {
  return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
  return callHost(audioMasterEndEdit, index) != 0;
}

// Any nonzero answer counts as 1, the host's -1 ("no") included.
VstInt32 AudioEffectX::canHostDo(char* text) {
  return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(audioMasterSizeWindow, width, height) != 0;
}
