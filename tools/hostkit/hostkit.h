// A small VST 2.4 host for our tools and tests: loads a plug-in library by path, creates
// instances through its exported entry point with a recording host callback, and drives them
// through the AEffect record as a real host would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "aeffect.h"

namespace hostkit {

// One loaded plug-in library (dlopen on Linux, LoadLibraryW on Windows). Unloads on destruction.
class PluginLibrary {
public:
  explicit PluginLibrary(const std::string& path);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  bool isLoaded() const { return handle != nullptr; }
  const std::string& loadError() const { return error; }
  // The exported function of that name, or null.
  VstPluginMainProc entry(const char* name) const;
  VstPluginMainProc vstPluginMain() const { return entry("VSTPluginMain"); }
  VstPluginMainProc mainEntry() const { return entry("main"); }
  // The entry point a host calls: "VSTPluginMain", or the older "main" when that is missing.
  VstPluginMainProc hostEntry() const {
    VstPluginMainProc found = vstPluginMain();
    return found != nullptr ? found : mainEntry();
  }
  // The system's handle of the loaded library (dlopen handle, HMODULE); null when not loaded.
  void* nativeHandle() const { return handle; }

private:
  void* handle = nullptr;
  std::string error;
};

// One call the plug-in made to the host. `text` holds ptr read as a C string for the requests
// whose ptr is text (audioMasterCanDo); it is empty otherwise.
struct HostCall {
  AEffect* effect;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  bool hasPtr;
  std::string text;
  float opt;
};

// Ready-made sets of answers (see RecordingHost::useAnswers).
enum class Answers {
  Nothing,     // 0 to everything, the version query included: a host a plug-in must refuse
  VersionOnly, // 2400 to audioMasterVersion, 0 to everything else (as scanners answer)
  Accepting,   // the version, and 1 to audioMasterSizeWindow, audioMasterBeginEdit,
               // audioMasterEndEdit and audioMasterCanDo "sizeWindow" (an editing host)
};

// The host side of every instance it creates: records each call and answers it. By default it
// answers as Answers::VersionOnly; answers can be set per opcode, and a handler may take over
// an opcode completely (for re-entrant hosts).
class RecordingHost {
public:
  using Handler = std::function<VstIntPtr(const HostCall& call)>;
  // Sees every call this host answers, on the calling thread, once before the answer
  // (`answered` false) and once after it (true), outside the host's lock.
  using Observer = std::function<void(const HostCall& call, bool answered)>;

  RecordingHost();
  ~RecordingHost();
  RecordingHost(const RecordingHost&) = delete;
  RecordingHost& operator=(const RecordingHost&) = delete;

  void setAnswer(VstInt32 opcode, VstIntPtr answer);
  // An empty handler removes the opcode's handler.
  void setHandler(VstInt32 opcode, Handler handler);
  // Replaces every answer and handler with the preset.
  void useAnswers(Answers preset);
  void setObserver(Observer observer);

  // Calls the entry point with this host's callback. Returns the record or null; the record
  // belongs to the caller (close it with effClose or hand it to a PluginInstance).
  AEffect* create(VstPluginMainProc entry);

  // Answers for a record made without an entry point (tests that link the shell directly and
  // construct effects with RecordingHost::callback).
  void adopt(AEffect* effect);
  // Stops answering for a record that was closed (PluginInstance does this itself).
  void forget(AEffect* effect);
  // Also answers calls whose record no host knows (null, closed, or not a record at all), so
  // that a plug-in calling with the wrong pointer is still seen. The last host to ask wins.
  void takeStrays();

  std::vector<HostCall> calls() const;
  std::vector<HostCall> callsOf(VstInt32 opcode) const;
  size_t countOf(VstInt32 opcode) const;
  void clearCalls();
  // The calls recorded so far; the record starts empty again.
  std::vector<HostCall> takeCalls();

  // The callback every instance of every RecordingHost receives. During creation it answers for the
  // host that is creating on this thread; afterwards it finds the host through the record.
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt);

private:
  VstIntPtr answer(const HostCall& call);

  mutable std::mutex mutex;
  std::vector<HostCall> recorded;
  std::map<VstInt32, VstIntPtr> answers;
  std::map<VstInt32, Handler> handlers;
  Observer observer;
};

// The answer of a text request and what it did to the caller's buffer.
struct TextAnswer {
  VstIntPtr answer = 0;
  std::string text;        // up to the first zero (or the whole buffer if there is none)
  bool terminated = false; // a zero lies inside the buffer
  bool untouched = false;  // every byte still holds the canary
  size_t bytesWritten = 0; // one past the last byte that no longer holds the canary
};

// Two channels of samples.
struct StereoBuffer {
  std::vector<float> left;
  std::vector<float> right;
};

// What one processReplacing call did.
struct ProcessResult {
  StereoBuffer output;
  bool inputsUnchanged = false; // the plug-in left its inputs alone
  bool canariesIntact = false;  // nothing was written past the end of any buffer
};

// One instance created through an entry point, closed with effClose when destroyed unless
// the test closed it itself.
class PluginInstance {
public:
  static constexpr unsigned char kCanary = 0xAA;
  static constexpr size_t kTextBufferSize = 512;

  PluginInstance(RecordingHost& host, VstPluginMainProc entry);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  AEffect* effect() const { return record; }
  explicit operator bool() const { return record != nullptr; }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // A request whose ptr is a text buffer of `bufferSize` bytes pre-filled with the canary.
  TextAnswer dispatchText(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          size_t bufferSize = kTextBufferSize, float opt = 0.0f);
  // effClose through the record; the instance is gone afterwards. Returns the answer.
  VstIntPtr close();

  void setParameter(VstInt32 index, float value);
  float getParameter(VstInt32 index);

  // One processReplacing call with separate input and output buffers. Outputs start as a
  // quiet NaN so that unwritten samples show; each buffer carries canaries past its end.
  ProcessResult process(const StereoBuffer& input);
  // The same block processed in place: inputs and outputs are the same buffers.
  StereoBuffer processInPlace(const StereoBuffer& input);
  // Runs `input` through in blocks of `blockSize` frames and joins the outputs.
  StereoBuffer processInBlocks(const StereoBuffer& input, size_t blockSize);

private:
  RecordingHost& host;
  AEffect* record = nullptr;
};

// Reads a text request's buffer the way TextAnswer reports it.
TextAnswer readTextBuffer(const std::vector<char>& buffer, unsigned char canary);

} // namespace hostkit
