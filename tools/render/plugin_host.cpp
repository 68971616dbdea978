#include "plugin_host.h"

#include "tool_error.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {

// The host's side of the conversation. The plug-in asks for the version before it creates an
// instance; this host has nothing else to offer and answers every other request with 0.
VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return 2400;
  return 0;
}

// Text requests get a zeroed buffer far larger than any limit of the interface, and its last
// byte is zeroed again after the call, so a plug-in that writes past its limit, or nothing at
// all, still leaves a terminated string.
constexpr size_t kTextBuffer = 512;

} // namespace

std::unique_ptr<PluginHost> PluginHost::load(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    throw failure("cannot load plug-in '" + path + "': " + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) {
    throw failure("cannot load plug-in '" + path + "': it is a directory");
  }
  // A name without a slash would send dlopen searching the system's library folders; the
  // user means the file of that name here.
  std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
  void* module = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = dlerror();
    std::string text = reason ? reason : "unknown reason";
    std::replace(text.begin(), text.end(), '\n', ' ');
    throw failure("cannot load plug-in '" + path + "': " + text);
  }
  // Hosts look for VSTPluginMain first and fall back to the older name "main".
  void* symbol = dlsym(module, "VSTPluginMain");
  if (!symbol) symbol = dlsym(module, "main");
  if (!symbol) {
    dlclose(module);
    throw failure("cannot load plug-in '" + path + "': it exports no VSTPluginMain entry point");
  }
  VstPluginMainProc entry;
  std::memcpy(&entry, &symbol, sizeof entry);
  AEffect* effect = entry(hostCallback);
  if (!effect) {
    dlclose(module);
    throw failure("cannot load plug-in '" + path + "': its entry point made no instance");
  }
  if (effect->magic != kEffectMagic || !effect->dispatcher) {
    // Without a valid record there is no safe way to close the instance; leave it loaded.
    throw failure("cannot load plug-in '" + path + "': it did not return a VST 2.4 instance");
  }
  if (!effect->processReplacing || !(effect->flags & effFlagsCanReplacing)) {
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    dlclose(module);
    throw failure("cannot load plug-in '" + path + "': it cannot process 32-bit audio");
  }
  return std::unique_ptr<PluginHost>(new PluginHost(path, module, effect));
}

PluginHost::PluginHost(std::string path, void* module, AEffect* effect)
    : path_(std::move(path)), module_(module), effect_(effect) {
  dispatch(effOpen);
}

PluginHost::~PluginHost() {
  if (processing_) setProcessing(false);
  dispatch(effClose);
  dlclose(module_);
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) const {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginHost::textRequest(VstInt32 opcode, VstInt32 index) const {
  char text[kTextBuffer + 1] = {};
  dispatch(opcode, index, 0, text);
  text[kTextBuffer] = '\0';
  return text;
}

std::string PluginHost::effectName() const {
  return textRequest(effGetEffectName, 0);
}
std::string PluginHost::vendorString() const {
  return textRequest(effGetVendorString, 0);
}
std::string PluginHost::productString() const {
  return textRequest(effGetProductString, 0);
}
VstIntPtr PluginHost::vendorVersion() const {
  return dispatch(effGetVendorVersion);
}
VstIntPtr PluginHost::vstVersion() const {
  return dispatch(effGetVstVersion);
}
VstIntPtr PluginHost::category() const {
  return dispatch(effGetPlugCategory);
}

std::string PluginHost::parameterName(int index) const {
  return textRequest(effGetParamName, index);
}
std::string PluginHost::parameterLabel(int index) const {
  return textRequest(effGetParamLabel, index);
}
std::string PluginHost::parameterDisplay(int index) const {
  return textRequest(effGetParamDisplay, index);
}
float PluginHost::getParameter(int index) const {
  return effect_->getParameter(effect_, index);
}
void PluginHost::setParameter(int index, float value) {
  effect_->setParameter(effect_, index, value);
}

int PluginHost::currentProgram() const {
  return static_cast<int>(dispatch(effGetProgram));
}
void PluginHost::setProgram(int program) {
  dispatch(effSetProgram, 0, program);
}
std::string PluginHost::programName() const {
  return textRequest(effGetProgramName, 0);
}

bool PluginHost::programNameIndexed(int program, std::string& name) const {
  char text[kTextBuffer + 1] = {};
  // Category -1 asks for the whole list rather than one category's programs.
  bool answered = dispatch(effGetProgramNameIndexed, program, -1, text) != 0;
  text[kTextBuffer] = '\0';
  name = text;
  return answered;
}

void PluginHost::setSampleRate(float rate) {
  dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}
void PluginHost::setBlockSize(int frames) {
  dispatch(effSetBlockSize, 0, frames);
}
void PluginHost::setProcessing(bool on) {
  dispatch(effMainsChanged, 0, on ? 1 : 0);
  processing_ = on;
}

int PluginHost::inputChannels() const {
  return std::max(effect_->numInputs, 2);
}
int PluginHost::outputChannels() const {
  return std::max(effect_->numOutputs, 2);
}

void PluginHost::process(float** inputs, float** outputs, int frames) {
  effect_->processReplacing(effect_, inputs, outputs, frames);
}
