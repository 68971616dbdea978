#include "host.h"

#include "fpstate.h"
#include "report.h"

#include <cstring>

namespace {
std::atomic<long> fpViolations{0};
std::mutex fpFirstLock;
std::string fpFirst;

// Compares the control state around one plug-in call and remembers the first change.
class FpWatch {
public:
  FpWatch(const char* call, long long a) : call(call), a(a), before(fpControlState()) {
    setCurrentCall(call, a, 0);
  }
  ~FpWatch() {
    unsigned after = fpControlState();
    if (after == before) return;
    // Put the host's state back so that one fault does not spread to every later call.
    setFpControlState(before);
    if (fpViolations.fetch_add(1) == 0) {
      std::lock_guard<std::mutex> hold(fpFirstLock);
      fpFirst = format("%s(%lld): MXCSR 0x%04x before, 0x%04x after", call, a, before, after);
    }
  }

private:
  const char* call;
  long long a;
  unsigned before;
};

const char* const kOpcodeNames[] = {"effOpen",
                                    "effClose",
                                    "effSetProgram",
                                    "effGetProgram",
                                    "effSetProgramName",
                                    "effGetProgramName",
                                    "effGetParamLabel",
                                    "effGetParamDisplay",
                                    "effGetParamName",
                                    "effGetVu",
                                    "effSetSampleRate",
                                    "effSetBlockSize",
                                    "effMainsChanged",
                                    "effEditGetRect",
                                    "effEditOpen",
                                    "effEditClose",
                                    "effEditDraw",
                                    "effEditMouse",
                                    "effEditKey",
                                    "effEditIdle",
                                    "effEditTop",
                                    "effEditSleep",
                                    "effIdentify",
                                    "effGetChunk",
                                    "effSetChunk",
                                    "effProcessEvents",
                                    "effCanBeAutomated",
                                    "effString2Parameter",
                                    "effGetNumProgramCategories",
                                    "effGetProgramNameIndexed",
                                    "effCopyProgram",
                                    "effConnectInput",
                                    "effConnectOutput",
                                    "effGetInputProperties",
                                    "effGetOutputProperties",
                                    "effGetPlugCategory",
                                    "effGetCurrentPosition",
                                    "effGetDestinationBuffer",
                                    "effOfflineNotify",
                                    "effOfflinePrepare",
                                    "effOfflineRun",
                                    "effProcessVarIo",
                                    "effSetSpeakerArrangement",
                                    "effSetBlockSizeAndSampleRate",
                                    "effSetBypass",
                                    "effGetEffectName",
                                    "effGetErrorText",
                                    "effGetVendorString",
                                    "effGetProductString",
                                    "effGetVendorVersion",
                                    "effVendorSpecific",
                                    "effCanDo",
                                    "effGetTailSize",
                                    "effIdle",
                                    "effGetIcon",
                                    "effSetViewPosition",
                                    "effGetParameterProperties",
                                    "effKeysRequired",
                                    "effGetVstVersion",
                                    "effEditKeyDown",
                                    "effEditKeyUp",
                                    "effSetEditKnobMode",
                                    "effGetMidiProgramName",
                                    "effGetCurrentMidiProgram",
                                    "effGetMidiProgramCategory",
                                    "effHasMidiProgramsChanged",
                                    "effGetMidiKeyName",
                                    "effBeginSetProgram",
                                    "effEndSetProgram",
                                    "effGetSpeakerArrangement",
                                    "effShellGetNextPlugin",
                                    "effStartProcess",
                                    "effStopProcess",
                                    "effSetTotalSampleToProcess",
                                    "effSetPanLaw",
                                    "effBeginLoadBank",
                                    "effBeginLoadProgram",
                                    "effSetProcessPrecision",
                                    "effGetNumMidiInputChannels",
                                    "effGetNumMidiOutputChannels"};
static_assert(sizeof(kOpcodeNames) / sizeof(kOpcodeNames[0]) == 80, "one name per opcode");
} // namespace

std::string opcodeName(VstInt32 opcode) {
  if (opcode >= 0 && opcode < 80) return kOpcodeNames[opcode];
  return format("opcode %d", opcode);
}

long fpViolationCount() {
  return fpViolations.load();
}
std::string fpFirstViolation() {
  std::lock_guard<std::mutex> hold(fpFirstLock);
  return fpFirst;
}
void fpViolationsReset() {
  fpViolations.store(0);
  std::lock_guard<std::mutex> hold(fpFirstLock);
  fpFirst.clear();
}

HostState& hostState() {
  static HostState state;
  return state;
}

void HostState::clearLog() {
  std::lock_guard<std::mutex> hold(logLock);
  log.clear();
}

std::vector<HostCall> HostState::takeLog() {
  std::lock_guard<std::mutex> hold(logLock);
  std::vector<HostCall> taken;
  taken.swap(log);
  return taken;
}

namespace {
// Set while this thread runs inside a real-time call (processReplacing on the audio thread).
thread_local bool insideAudioCall = false;

struct NestingDepth {
  explicit NestingDepth(HostState& state) : state(state) {
    int depth = state.depth.fetch_add(1) + 1;
    int deepest = state.deepestNesting.load();
    while (depth > deepest && !state.deepestNesting.compare_exchange_weak(deepest, depth)) {
    }
  }
  ~NestingDepth() { state.depth.fetch_sub(1); }
  HostState& state;
};
} // namespace

VstIntPtr validatorHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                        void* ptr, float opt) {
  HostState& state = hostState();
  if (insideAudioCall) state.callsFromArmedThread.fetch_add(1);
  NestingDepth nesting(state);
  {
    std::lock_guard<std::mutex> hold(state.logLock);
    state.log.push_back(HostCall{opcode, index, value, opt, effect});
  }
  HostStyle style = state.style.load();
  if (style == HostStyle::Silent) return 0;
  if (opcode == audioMasterVersion) return 2400;
  if (style == HostStyle::VersionOnly) return 0;
  switch (opcode) {
  case audioMasterAutomate:
    if (state.onAutomate) state.onAutomate(effect, index, opt);
    return 0;
  case audioMasterCanDo:
    return ptr && strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? 1 : 0;
  case audioMasterSizeWindow:
    return 1;
  case audioMasterBeginEdit:
  case audioMasterEndEdit:
    return 1;
  default:
    return 0;
  }
}

namespace {

// A bare file name means the file here, as on a command line, not a library-path search.
std::string fileHere(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return path.find('/') == std::string::npos ? "./" + path : path;
#endif
}

} // namespace

Plugin::Plugin(const std::string& path) : library(fileHere(path)) {
  entry = library.vstPluginMain();
  mainEntry = library.mainEntry();
}

std::string Plugin::error() const {
  if (!library.isLoaded()) return library.loadError();
  if (!entry) return "no exported VSTPluginMain";
  return std::string();
}

Instance::Instance(Plugin& plugin, VstPluginMainProc chosenEntry) {
  VstPluginMainProc call = chosenEntry ? chosenEntry : plugin.entry;
  FpWatch watch("VSTPluginMain", 0);
  effect = call ? call(validatorHost) : nullptr;
}

Instance::~Instance() {
  if (effect) close();
}

Instance::Instance(Instance&& other) noexcept : effect(other.effect) {
  other.effect = nullptr;
}

Instance& Instance::operator=(Instance&& other) noexcept {
  if (this != &other) {
    if (effect) close();
    effect = other.effect;
    other.effect = nullptr;
  }
  return *this;
}

VstIntPtr Instance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  FpWatch watch("dispatcher", opcode);
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Instance::set(VstInt32 index, float value) {
  FpWatch watch("setParameter", index);
  effect->setParameter(effect, index, value);
}

float Instance::get(VstInt32 index) {
  FpWatch watch("getParameter", index);
  return effect->getParameter(effect, index);
}

void Instance::process(float** inputs, float** outputs, VstInt32 frames) {
  FpWatch watch("processReplacing", frames);
  insideAudioCall = true;
  effect->processReplacing(effect, inputs, outputs, frames);
  insideAudioCall = false;
}

VstIntPtr Instance::close() {
  AEffect* closing = effect;
  effect = nullptr;
  FpWatch watch("dispatcher", effClose);
  return closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
}

void Instance::start(int blockSize) {
  dispatch(effOpen);
  dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  dispatch(effSetBlockSize, 0, blockSize);
  dispatch(effMainsChanged, 0, 1);
}
