#include "host.h"

#include "fpstate.h"
#include "report.h"

#include <mutex>

namespace {
std::atomic<long> fpViolations{0};
std::mutex fpFirstLock;
std::string fpFirst;

// Compares the control state around one plug-in call and remembers the first change.
class FpWatch {
public:
  FpWatch(const char* what, long long argument)
      : call(what), a(argument), before(fpControlState()) {
    setCurrentCall(what, argument, 0);
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

namespace {
// Set while this thread runs inside a real-time call (processReplacing on the audio thread).
thread_local bool insideAudioCall = false;
std::atomic<int> callsInProgress{0};

void watchCall(const HostCall&, bool answered) {
  HostWatch& watch = hostWatch();
  if (answered) {
    callsInProgress.fetch_sub(1);
    return;
  }
  if (insideAudioCall) watch.callsFromArmedThread.fetch_add(1);
  int depth = callsInProgress.fetch_add(1) + 1;
  int deepest = watch.deepestNesting.load();
  while (depth > deepest && !watch.deepestNesting.compare_exchange_weak(deepest, depth)) {
  }
}
} // namespace

HostWatch& hostWatch() {
  static HostWatch watch;
  return watch;
}

hostkit::RecordingHost& recordingHost() {
  static hostkit::RecordingHost* recording = [] {
    // Never destroyed: instances may still call it while the process exits.
    auto* made = new hostkit::RecordingHost;
    made->useAnswers(hostkit::Answers::Accepting);
    made->setObserver(watchCall);
    made->takeStrays();
    return made;
  }();
  return *recording;
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
  effect = recordingHost().create(call);
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
  VstIntPtr answer;
  {
    FpWatch watch("dispatcher", effClose);
    answer = closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
  }
  recordingHost().forget(closing);
  return answer;
}

void Instance::start(int blockSize) {
  dispatch(effOpen);
  dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  dispatch(effSetBlockSize, 0, blockSize);
  dispatch(effMainsChanged, 0, 1);
}
