// The validator's side of the VST 2.4 interface: the host callback (with behaviours the
// checks choose), the log of calls the plug-in made to the host, and thin wrappers over the
// plug-in module and its instances that watch the floating-point control state on every call.
#pragma once

#include "../../shell/aeffect.h"
#include "hostkit.h"
#include "system.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// How the host callback answers.
enum class HostStyle {
  Normal,      // answers the version (2400) and accepts window resizing; 0 otherwise
  VersionOnly, // answers the version, 0 to everything else (scanners do this)
  Silent,      // answers 0 to everything, the version query included
};

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  float opt;
  AEffect* effect; // the record the plug-in passed (null for the version query)
};

// Process-wide state of the host callback (the callback is a plain function).
struct HostState {
  std::atomic<HostStyle> style{HostStyle::Normal};
  // Called for audioMasterAutomate after it is logged (re-entrancy check); null for none.
  std::function<void(AEffect*, VstInt32, float)> onAutomate;
  std::atomic<int> depth{0};
  std::atomic<int> deepestNesting{0};
  std::atomic<int> callsFromArmedThread{0};

  std::mutex logLock;
  std::vector<HostCall> log;

  void clearLog();
  std::vector<HostCall> takeLog();
};

HostState& hostState();
VstIntPtr validatorHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                        void* ptr, float opt);

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
