// The validator's side of the VST 2.4 interface: the host kit's recording host, watched for
// nesting and for calls from the audio thread, and thin wrappers over the plug-in module and
// its instances that watch the floating-point control state on every call.
#pragma once

#include "../../shell/aeffect.h"
#include "hostkit.h"
#include "system.h"

#include <atomic>
#include <string>
#include <vector>

using hostkit::HostCall;

// The validator's host: the kit's recording host, answering every instance the validator makes
// (and any call with a record it does not know). It starts, and each check starts, with
// hostkit::Answers::Accepting.
hostkit::RecordingHost& recordingHost();

// What the host saw of how the plug-in calls it.
struct HostWatch {
  std::atomic<int> deepestNesting{0};       // most host calls in progress at once
  std::atomic<int> callsFromArmedThread{0}; // host calls made inside processReplacing
};
HostWatch& hostWatch();

// Floating-point control state changed by a plug-in call: how often, and the first call.
long fpViolationCount();
std::string fpFirstViolation();
void fpViolationsReset();

// The loaded plug-in module and its entry point.
class Plugin {
public:
  explicit Plugin(const std::string& path);
  bool ok() const { return library.isLoaded() && entry != nullptr; }
  std::string error() const;
  void* moduleHandle() const { return library.nativeHandle(); }
  VstPluginMainProc entry = nullptr;     // "VSTPluginMain"
  VstPluginMainProc mainEntry = nullptr; // "main"

private:
  hostkit::PluginLibrary library;
};

// One instance; closed (effClose) by close() or the destructor.
class Instance {
public:
  Instance() = default;
  explicit Instance(Plugin& plugin, VstPluginMainProc entry = nullptr);
  ~Instance();
  Instance(Instance&& other) noexcept;
  Instance& operator=(Instance&& other) noexcept;
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  explicit operator bool() const { return effect != nullptr; }
  AEffect* record() const { return effect; }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void set(VstInt32 index, float value);
  float get(VstInt32 index);
  void process(float** inputs, float** outputs, VstInt32 frames);
  // effClose; answers what the record's dispatcher returned.
  VstIntPtr close();

  // Usual host start: open, rate 44100, block size, resume.
  void start(int blockSize = 512);
  bool hasEditor() const { return effect && (effect->flags & effFlagsHasEditor) != 0; }

private:
  AEffect* effect = nullptr;
};

// Names of the effect opcodes for messages ("effGetParamDisplay" or "opcode 123").
std::string opcodeName(VstInt32 opcode);
