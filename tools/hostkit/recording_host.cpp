#include <cstring>

#include "hostkit.h"

namespace hostkit {

namespace {

// Which RecordingHost answers for which record. An instance calls the host during its own
// construction, before its record is registered; those calls go to the host that is creating
// on this thread (which also wins over a closed record that left its address behind).
std::mutex registryMutex;
std::map<AEffect*, RecordingHost*>& registry() {
  static std::map<AEffect*, RecordingHost*> hosts;
  return hosts;
}
thread_local RecordingHost* creatingHost = nullptr;
RecordingHost* strayHost = nullptr; // guarded by registryMutex

RecordingHost* hostFor(AEffect* effect) {
  if (creatingHost) return creatingHost;
  std::lock_guard<std::mutex> lock(registryMutex);
  if (effect) {
    auto found = registry().find(effect);
    if (found != registry().end()) return found->second;
  }
  return strayHost;
}

// Host requests whose ptr carries a text from the plug-in.
bool ptrIsText(VstInt32 opcode) {
  return opcode == audioMasterCanDo;
}

constexpr size_t kMaxRecordedText = 4096;

} // namespace

RecordingHost::RecordingHost() {
  useAnswers(Answers::VersionOnly);
}

RecordingHost::~RecordingHost() {
  std::lock_guard<std::mutex> lock(registryMutex);
  if (strayHost == this) strayHost = nullptr;
  for (auto it = registry().begin(); it != registry().end();) {
    if (it->second == this)
      it = registry().erase(it);
    else
      ++it;
  }
}

void RecordingHost::setAnswer(VstInt32 opcode, VstIntPtr answer) {
  std::lock_guard<std::mutex> lock(mutex);
  answers[opcode] = answer;
}

void RecordingHost::setHandler(VstInt32 opcode, Handler handler) {
  std::lock_guard<std::mutex> lock(mutex);
  handlers[opcode] = std::move(handler);
}

void RecordingHost::useAnswers(Answers preset) {
  std::lock_guard<std::mutex> lock(mutex);
  answers.clear();
  handlers.clear();
  if (preset == Answers::Nothing) return;
  answers[audioMasterVersion] = 2400;
  if (preset == Answers::VersionOnly) return;
  answers[audioMasterSizeWindow] = 1;
  answers[audioMasterBeginEdit] = 1;
  answers[audioMasterEndEdit] = 1;
  handlers[audioMasterCanDo] = [](const HostCall& call) -> VstIntPtr {
    return call.hasPtr && call.text == "sizeWindow" ? 1 : 0;
  };
}

void RecordingHost::setObserver(Observer watcher) {
  std::lock_guard<std::mutex> lock(mutex);
  observer = std::move(watcher);
}

AEffect* RecordingHost::create(VstPluginMainProc entry) {
  if (!entry) return nullptr;
  RecordingHost* previous = creatingHost;
  creatingHost = this;
  AEffect* effect = entry(&RecordingHost::callback);
  creatingHost = previous;
  if (effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry()[effect] = this;
  }
  return effect;
}

void RecordingHost::adopt(AEffect* effect) {
  std::lock_guard<std::mutex> lock(registryMutex);
  registry()[effect] = this;
}

void RecordingHost::forget(AEffect* effect) {
  std::lock_guard<std::mutex> lock(registryMutex);
  auto found = registry().find(effect);
  if (found != registry().end() && found->second == this) registry().erase(found);
}

void RecordingHost::takeStrays() {
  std::lock_guard<std::mutex> lock(registryMutex);
  strayHost = this;
}

std::vector<HostCall> RecordingHost::calls() const {
  std::lock_guard<std::mutex> lock(mutex);
  return recorded;
}

std::vector<HostCall> RecordingHost::callsOf(VstInt32 opcode) const {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<HostCall> selected;
  for (const HostCall& call : recorded)
    if (call.opcode == opcode) selected.push_back(call);
  return selected;
}

size_t RecordingHost::countOf(VstInt32 opcode) const {
  return callsOf(opcode).size();
}

void RecordingHost::clearCalls() {
  std::lock_guard<std::mutex> lock(mutex);
  recorded.clear();
}

std::vector<HostCall> RecordingHost::takeCalls() {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<HostCall> taken;
  taken.swap(recorded);
  return taken;
}

VstIntPtr RecordingHost::answer(const HostCall& call) {
  Handler handler;
  Observer watcher;
  VstIntPtr fixed = 0;
  {
    std::lock_guard<std::mutex> lock(mutex);
    recorded.push_back(call);
    auto h = handlers.find(call.opcode);
    if (h != handlers.end()) handler = h->second;
    auto a = answers.find(call.opcode);
    if (a != answers.end()) fixed = a->second;
    watcher = observer;
  }
  // The handler and observer run unlocked: they may call back into the plug-in, which may
  // call the host.
  if (watcher) watcher(call, false);
  const VstIntPtr result = handler ? handler(call) : fixed;
  if (watcher) watcher(call, true);
  return result;
}

VstIntPtr RecordingHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt) {
  HostCall call{effect, opcode, index, value, ptr != nullptr, std::string(), opt};
  if (ptr && ptrIsText(opcode)) {
    const char* text = static_cast<const char*>(ptr);
    call.text.assign(text, strnlen(text, kMaxRecordedText));
  }
  RecordingHost* host = hostFor(effect);
  return host ? host->answer(call) : 0;
}

} // namespace hostkit
