#include "plugin_host.h"

#include "tool_error.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {

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
  auto library = std::make_unique<hostkit::PluginLibrary>(loadPath);
  if (!library->isLoaded()) {
    std::string text = library->loadError();
    std::replace(text.begin(), text.end(), '\n', ' ');
    throw failure("cannot load plug-in '" + path + "': " + text);
  }
  VstPluginMainProc entry = library->hostEntry();
  if (!entry)
    throw failure("cannot load plug-in '" + path + "': it exports no VSTPluginMain entry point");
  // The host's side of the conversation: the plug-in asks for the version before it creates an
  // instance; this host has nothing else to offer and answers every other request with 0.
  auto host = std::make_unique<hostkit::RecordingHost>();
  AEffect* effect = host->create(entry);
  if (!effect)
    throw failure("cannot load plug-in '" + path + "': its entry point made no instance");
  if (effect->magic != kEffectMagic || !effect->dispatcher) {
    // Without a valid record there is no safe way to close the instance; leave it loaded.
    library.release();
    throw failure("cannot load plug-in '" + path + "': it did not return a VST 2.4 instance");
  }
  if (!effect->processReplacing || !(effect->flags & effFlagsCanReplacing)) {
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    throw failure("cannot load plug-in '" + path + "': it cannot process 32-bit audio");
  }
  return std::unique_ptr<PluginHost>(
      new PluginHost(path, std::move(library), std::move(host), effect));
}

PluginHost::PluginHost(std::string path, std::unique_ptr<hostkit::PluginLibrary> library,
                       std::unique_ptr<hostkit::RecordingHost> host, AEffect* effect)
    : path_(std::move(path)), library_(std::move(library)), host_(std::move(host)),
      effect_(effect) {
  dispatch(effOpen);
}

PluginHost::~PluginHost() {
  if (processing_) setProcessing(false);
  dispatch(effClose);
  host_->forget(effect_);
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
