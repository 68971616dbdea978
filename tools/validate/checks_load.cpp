// Load and scan: the library loaded and unloaded repeatedly, a host's scan, odd orders of
// requests, text requests into canary-filled buffers, every opcode, and a silent host.
#include "checks.h"

#include "buffers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {
constexpr VstInt32 kIdentifyAnswer = CCONST('N', 'v', 'E', 'f');

std::string recordProblem(const AEffect* e) {
  if (e->magic != kEffectMagic) return format("magic 0x%08x, expected 'VstP'", e->magic);
  if (!e->dispatcher || !e->process || !e->setParameter || !e->getParameter || !e->processReplacing)
    return "an entry of the record is null";
  if (!e->object) return "object is null";
  if (e->numPrograms != facts().numPrograms || e->numParams != facts().numParams)
    return format("%d programs and %d parameters, the first instance had %d and %d", e->numPrograms,
                  e->numParams, facts().numPrograms, facts().numParams);
  if (e->numPrograms < 0 || e->numParams <= 0)
    return format("%d programs and %d parameters", e->numPrograms, e->numParams);
  if (e->numInputs != 2 || e->numOutputs != 2)
    return format("%d inputs and %d outputs, expected 2 and 2", e->numInputs, e->numOutputs);
  if (!(e->flags & effFlagsCanReplacing)) return "effFlagsCanReplacing is not set";
  if (e->flags & ~(effFlagsCanReplacing | effFlagsHasEditor))
    return format("flags 0x%x carry more than HasEditor and CanReplacing", e->flags);
  if (e->uniqueID == 0) return "the unique ID is 0";
  if (e->uniqueID != facts().uniqueID)
    return format("unique ID 0x%08x, the first instance had 0x%08x", e->uniqueID, facts().uniqueID);
  if (e->resvd1 != 0 || e->resvd2 != 0) return "the host's reserved fields are not zero";
  if (e->initialDelay != 0) return format("initial delay %d, expected 0", e->initialDelay);
  if (e->ioRatio != 1.0f) return "ioRatio is not 1.0";
  if (e->user != nullptr) return "user is not null";
  if (e->version != 1) return format("version %d, expected 1", e->version);
  return std::string();
}

struct ScanFootprint {
  int threads;
  int files;
  int topLevelWindows;
};

ScanFootprint footprint(Validation& v) {
  return ScanFootprint{processThreadCount(), processOpenFileCount(),
                       v.display ? v.display->topLevelWindowCount() : 0};
}

// The requests a host's scanner makes, on a fresh instance that it closes again.
void scanOnce(CheckContext& ctx, Plugin& plugin) {
  Instance instance(plugin);
  if (!instance) {
    ctx.fail("VSTPluginMain", "no instance");
    return;
  }
  char text[512];
  instance.dispatch(effOpen);
  instance.dispatch(effGetVstVersion);
  for (VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString}) {
    memset(text, 0, sizeof text);
    instance.dispatch(opcode, 0, 0, text);
  }
  instance.dispatch(effGetPlugCategory);
  for (const char* token : {"receiveVstEvents", "receiveVstMidiEvent", "bypass"})
    instance.dispatch(effCanDo, 0, 0, const_cast<char*>(token));
  for (int index = 0; index < facts().numParams; ++index) {
    instance.dispatch(effCanBeAutomated, index);
    for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
      memset(text, 0, sizeof text);
      instance.dispatch(opcode, index, 0, text);
    }
    instance.get(index);
  }
  for (int program = 0; program < facts().numPrograms; ++program) {
    memset(text, 0, sizeof text);
    instance.dispatch(effGetProgramNameIndexed, program, 0, text);
  }
  memset(text, 0, sizeof text);
  instance.dispatch(effGetProgramName, 0, 0, text);
  instance.dispatch(effMainsChanged, 0, 0);
  VstIntPtr closed = instance.close();
  if (closed != 1) ctx.fail("effClose", "answered %lld, expected 1", (long long)closed);
}
} // namespace

void checkLoadUnload(CheckContext& ctx, Validation& v) {
  hostkit::RecordingHost& host = recordingHost();
  host.useAnswers(hostkit::Answers::VersionOnly);
  VstInt32 firstFlags = -1;
  for (int round = 0; round < 20 && !ctx.failed(); ++round) {
    Plugin plugin(v.pluginPath);
    if (!plugin.ok()) {
      ctx.fail("load", "round %d: %s", round, plugin.error().c_str());
      break;
    }
    if (plugin.mainEntry != plugin.entry)
      ctx.fail("dlsym(main)", "\"main\" is not the same function as \"VSTPluginMain\"");
    host.clearCalls();
    Instance first(plugin);
    Instance second(plugin, plugin.mainEntry ? plugin.mainEntry : plugin.entry);
    if (!first || !second) {
      ctx.fail("VSTPluginMain", "round %d: no instance for a host answering the version", round);
      break;
    }
    for (Instance* instance : {&first, &second}) {
      std::string problem = recordProblem(instance->record());
      if (!problem.empty()) ctx.fail("VSTPluginMain", "round %d: %s", round, problem.c_str());
      if (firstFlags < 0) firstFlags = instance->record()->flags;
      if (instance->record()->flags != firstFlags)
        ctx.fail("VSTPluginMain", "round %d: flags 0x%x differ from the first instance's 0x%x",
                 round, instance->record()->flags, firstFlags);
    }
    if (first.record() == second.record() || first.record()->object == second.record()->object)
      ctx.fail("VSTPluginMain", "two instances share their record or object");
    VstIntPtr closed = first.close();
    if (closed != 1) ctx.fail("effClose", "answered %lld, expected 1", (long long)closed);
  }
  host.useAnswers(hostkit::Answers::Accepting);
  ctx.note("20 loads, 40 instances, flags 0x%x", firstFlags);
}

void checkScan(CheckContext& ctx, Validation& v) {
  recordingHost().useAnswers(hostkit::Answers::VersionOnly);
  // One scan to let the system's own lazy set-up (loader caches, locale) settle first.
  {
    Plugin plugin(v.pluginPath);
    if (!plugin.ok()) {
      ctx.fail("load", "%s", plugin.error().c_str());
      return;
    }
    scanOnce(ctx, plugin);
  }
  ScanFootprint before = footprint(v);
  std::vector<double> durations;
  for (int round = 0; round < 5; ++round) {
    double start = threadCpuSeconds();
    {
      Plugin plugin(v.pluginPath);
      if (!plugin.ok()) break;
      scanOnce(ctx, plugin);
    }
    durations.push_back(threadCpuSeconds() - start);
  }
  recordingHost().useAnswers(hostkit::Answers::Accepting);
  ScanFootprint after = footprint(v);
  if (durations.empty()) return;
  std::sort(durations.begin(), durations.end());
  // The processor time of the fastest of five scans. Sanitizer builds get five times as
  // long: their instrumentation, not the plug-in, costs the difference.
  const double limit = underSanitizer() ? 0.5 : 0.1;
  if (durations.front() > limit)
    ctx.fail("scan",
             "the fastest of 5 scans took %.1f ms of processor time, expected well "
             "under %.0f ms",
             durations.front() * 1000.0, limit * 1000.0);
  if (after.threads != before.threads)
    ctx.fail("dlclose", "%d threads before the scans, %d after", before.threads, after.threads);
  if (after.files != before.files)
    ctx.fail("dlclose", "%d open files before the scans, %d after", before.files, after.files);
  if (after.topLevelWindows != before.topLevelWindows)
    ctx.fail("dlclose", "%d top-level windows before the scans, %d after", before.topLevelWindows,
             after.topLevelWindows);
  ctx.note("fastest scan %.1f ms, slowest %.1f ms", durations.front() * 1000.0,
           durations.back() * 1000.0);
}

void checkOddOrders(CheckContext& ctx, Validation& v) {
  Plugin& plugin = *v.plugin;
  {
    Instance instance(plugin);
    VstIntPtr closed = instance.close();
    if (closed != 1) ctx.fail("effClose without effOpen", "answered %lld", (long long)closed);
  }
  {
    Instance instance(plugin);
    instance.dispatch(effMainsChanged, 0, 1);
    VstIntPtr closed = instance.close();
    if (closed != 1) ctx.fail("effClose while resumed", "answered %lld", (long long)closed);
  }
  Instance odd(plugin);
  ERect* rect = nullptr;
  odd.dispatch(effGetPlugCategory);
  odd.dispatch(effEditGetRect, 0, 0, &rect);
  odd.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  odd.dispatch(effSetBlockSize, 0, 256);
  odd.dispatch(effOpen);
  odd.dispatch(effOpen);
  odd.dispatch(effStopProcess);
  odd.dispatch(effMainsChanged, 0, 0);
  odd.dispatch(effMainsChanged, 0, 0);
  odd.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  odd.dispatch(effMainsChanged, 0, 1);
  odd.dispatch(effStartProcess);

  // The odd orders change nothing a host can hear: the instance processes exactly as one
  // that was started the usual way.
  Instance usual(plugin);
  usual.start(256);
  std::vector<float> left(256), right(256);
  for (int block = 0; block < 8 && !ctx.failed(); ++block) {
    fillNoise(left.data(), 256, ctx.rng, 0.5f);
    fillNoise(right.data(), 256, ctx.rng, 0.5f);
    std::vector<float> expected = renderBlock(usual, left, right);
    std::vector<float> got = renderBlock(odd, left, right);
    if (memcmp(expected.data(), got.data(), expected.size() * sizeof(float)) != 0)
      ctx.fail("processReplacing",
               "block %d after the odd orders differs from a normally "
               "started instance",
               block);
    for (float sample : got)
      if (!isCleanSample(sample)) {
        ctx.fail("processReplacing", "block %d after the odd orders is not finite", block);
        break;
      }
  }
}

namespace {
constexpr unsigned char kFill = 0xAA;

struct TextRequest {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  size_t limit;     // bytes the answer may occupy, terminator included; 0: the answer's own
  bool mayBeEmpty;  // an untouched buffer is a valid answer
  bool mustBeEmpty; // the buffer must stay untouched
};

// Bytes changed from the fill, counted from the end: the last byte written + 1.
size_t touchedLength(const unsigned char* buffer, size_t size) {
  for (size_t i = size; i > 0; --i)
    if (buffer[i - 1] != kFill) return i;
  return 0;
}

std::string describe(const TextRequest& r) {
  return format("%s(index %d, value %lld)", opcodeName(r.opcode).c_str(), r.index,
                (long long)r.value);
}
} // namespace

void checkTextRequests(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  std::vector<TextRequest> requests;
  std::vector<VstInt32> indices = {-1, INT_MAX};
  for (VstInt32 i = 0; i <= facts().numParams; ++i) // one past the last
    indices.push_back(i);
  for (VstInt32 index : indices) {
    bool real = facts().isParameter(index);
    requests.push_back({effGetParamName, index, 0, 0, !real, !real});
    // A parameter without a unit may leave its label untouched.
    requests.push_back({effGetParamLabel, index, 0, 9, true, !real});
    requests.push_back({effGetParamDisplay, index, 0, 9, !real, !real});
  }
  for (VstInt32 index = -1; index <= facts().numPrograms; ++index) {
    bool real = index >= 0 && index < facts().numPrograms;
    requests.push_back({effGetProgramNameIndexed, index, 0, 25, !real, !real});
    requests.push_back({effGetProgramNameIndexed, index, 1, 25, !real, !real});
  }
  requests.push_back({effGetProgramName, 0, 0, 25, false, false});
  requests.push_back({effGetEffectName, 0, 0, 33, false, false});
  requests.push_back({effGetVendorString, 0, 0, 65, false, false});
  requests.push_back({effGetProductString, 0, 0, 65, false, false});

  int programs[] = {0, 5};
  for (int program : programs) {
    instance.dispatch(effSetProgram, 0, program);
    for (const TextRequest& request : requests) {
      unsigned char first[512], second[512];
      memset(first, kFill, sizeof first);
      memset(second, kFill, sizeof second);
      instance.dispatch(request.opcode, request.index, request.value, first);
      instance.dispatch(request.opcode, request.index, request.value, second);
      std::string call = describe(request);
      if (memcmp(first, second, sizeof first) != 0)
        ctx.fail(call, "two identical requests gave different answers");
      size_t touched = touchedLength(first, sizeof first);
      if (touched == 0) {
        if (!request.mayBeEmpty) ctx.fail(call, "nothing was written");
        continue;
      }
      if (request.mustBeEmpty) {
        ctx.fail(call, "wrote %zu bytes for an index without an answer", touched);
        continue;
      }
      const void* end = memchr(first, 0, sizeof first);
      if (!end) {
        ctx.fail(call, "the answer is not terminated");
        continue;
      }
      size_t length = static_cast<size_t>(static_cast<const unsigned char*>(end) - first);
      size_t limit = request.limit ? request.limit : std::max<size_t>(9, length + 1);
      if (touched > limit)
        ctx.fail(call, "wrote %zu bytes, the limit is %zu (answer \"%s\")", touched, limit,
                 reinterpret_cast<const char*>(first));
      if (request.opcode == effGetParamDisplay && length > 8)
        ctx.fail(call, "display \"%s\" is longer than 8 characters",
                 reinterpret_cast<const char*>(first));
    }
  }

  // Identity: answered, not empty, and the same as the first instance's.
  struct Identity {
    VstInt32 opcode;
    const std::string& text;
  } identity[] = {{effGetEffectName, facts().effectName},
                  {effGetVendorString, facts().vendorString},
                  {effGetProductString, facts().productString}};
  for (const Identity& expected : identity) {
    char text[512];
    memset(text, 0, sizeof text);
    VstIntPtr answer = instance.dispatch(expected.opcode, 0, 0, text);
    if (answer != 1 || text[0] == '\0' || expected.text != text)
      ctx.fail(opcodeName(expected.opcode),
               "answered %lld with \"%s\", expected 1 with the first instance's \"%s\"",
               (long long)answer, text, expected.text.c_str());
  }
  ctx.note("%zu requests, 2 programs", requests.size());
}

namespace {
// What the dispatcher answers by design for an opcode, given the arguments; `program` is
// the current program before the call.
VstIntPtr designedAnswer(VstInt32 opcode, VstInt32 index, VstIntPtr value, int program,
                         bool hasEditor) {
  switch (opcode) {
  case effGetProgram:
    return program;
  case effEditGetRect:
    return hasEditor ? 1 : 0;
  case effIdentify:
    return kIdentifyAnswer;
  case effCanBeAutomated:
    return 1;
  case effGetProgramNameIndexed:
    return index >= 0 && index < facts().numPrograms ? 1 : 0;
  case effGetEffectName:
  case effGetVendorString:
  case effGetProductString:
    return 1;
  case effGetVstVersion:
    return 2400;
  case effGetCurrentMidiProgram:
    return -1;
  case effSetTotalSampleToProcess:
    return static_cast<VstInt32>(value);
  case effEditOpen:
    return hasEditor ? 1 : 0;
  default:
    return 0;
  }
}

const char* const kCanDoTokens[] = {
    // What hosts ask a plug-in.
    "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline", "midiProgramNames", "bypass", "MPE",
    "midiSingleNoteTuningChange", "midiKeyBasedInstrumentControl", "conformsToWindowRules",
    "plugAsChannelInsert", "plugAsSend", "mixDryWet", "noRealTime", "multipass", "metapass",
    "1in1out", "1in2out", "2in1out", "2in2out", "2in4out", "4in2out", "4in4out", "4in8out",
    "8in4out", "8in8out",
    // What plug-ins ask a host; a confused host may send them either way.
    "sendVstTimeInfo", "reportConnectionChanges", "acceptIOChanges", "sizeWindow",
    "openFileSelector", "closeFileSelector", "startStopProcess", "shellCategory",
    "sendVstMidiEventFlagIsRealtime", "supplyIdle", "editFile", "supportShell"};
} // namespace

void checkOpcodeSweep(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  bool hasEditor = instance.hasEditor();
  uintptr_t parent = 0;
  if (v.display && hasEditor)
    parent = v.display->createParent(facts().editorWidth, facts().editorHeight);

  alignas(16) unsigned char buffer[4096];
  void* speakerSlots[2] = {buffer, buffer};
  std::uniform_int_distribution<int> smallIndex(-1000, 1000);
  std::uniform_int_distribution<int> anyInt(INT_MIN, INT_MAX);
  const float odd[] = {0.0f, 1.0f, -1.0f, 0.5f, 1e9f, -1e9f, NAN, INFINITY, 1e-40f, 44100.0f};
  int program = 0;
  long calls = 0;
  for (int pass = 0; pass < 3; ++pass) {
    for (VstInt32 opcode = -100; opcode <= 300; ++opcode) {
      if (opcode == effClose) continue; // ends the instance: done last
      if (opcode == effEditOpen && !parent) continue;
      memset(buffer, 0, sizeof buffer);
      VstInt32 index = pass == 0 ? smallIndex(ctx.rng) : anyInt(ctx.rng);
      VstIntPtr value =
          pass == 0 ? smallIndex(ctx.rng) : static_cast<VstIntPtr>(ctx.rng()) >> (ctx.rng() % 64);
      float opt = odd[ctx.rng() % (sizeof odd / sizeof odd[0])];
      void* ptr = buffer;
      if (opcode == effGetSpeakerArrangement || opcode == effSetSpeakerArrangement)
        value = reinterpret_cast<VstIntPtr>(&speakerSlots[0]);
      if (opcode == effEditOpen) ptr = v.display->editorParent(parent);
      if (opcode == effSetProgramName) memcpy(buffer, "Sweep", 6);
      VstIntPtr answer = instance.dispatch(opcode, index, value, ptr, opt);
      ++calls;
      VstIntPtr expected = designedAnswer(opcode, index, value, program, hasEditor);
      if (answer != expected)
        ctx.fail(format("%s(index %d, value %lld, opt %g)", opcodeName(opcode).c_str(), index,
                        (long long)value, static_cast<double>(opt)),
                 "answered %lld, expected %lld", (long long)answer, (long long)expected);
      if (opcode == effSetProgram && value >= 0 && value < facts().numPrograms)
        program = static_cast<int>(value);
      if (opcode == effEditOpen) instance.dispatch(effEditClose);
    }
  }

  std::string longToken(1000, 'x');
  std::vector<const char*> tokens(std::begin(kCanDoTokens), std::end(kCanDoTokens));
  tokens.push_back("");
  tokens.push_back(longToken.c_str());
  for (const char* token : tokens) {
    VstIntPtr answer = instance.dispatch(effCanDo, 0, 0, const_cast<char*>(token));
    ++calls;
    if (answer != 0)
      ctx.fail(format("effCanDo(\"%.40s\")", token), "answered %lld, expected 0",
               (long long)answer);
  }

  instance.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  instance.dispatch(effMainsChanged, 0, 1);
  processNoise(ctx, instance, 512, 4, "processReplacing after the opcode sweep");
  if (parent) v.display->destroyWindow(parent);
  ctx.note("%ld requests", calls);
}

void checkSilentHost(CheckContext& ctx, Validation& v) {
  hostkit::RecordingHost& host = recordingHost();
  host.useAnswers(hostkit::Answers::Nothing);
  host.clearCalls();
  {
    Instance refused(*v.plugin);
    std::vector<HostCall> calls = host.takeCalls();
    if (refused) ctx.fail("VSTPluginMain", "made an instance for a host that answers version 0");
    if (calls.size() != 1 || calls[0].opcode != audioMasterVersion || calls[0].effect != nullptr)
      ctx.fail("VSTPluginMain",
               "made %zu host calls, expected exactly one version query with "
               "a null effect",
               calls.size());
  }
  // Scanners answer the version and 0 to everything else: a whole session must still work.
  host.useAnswers(hostkit::Answers::VersionOnly);
  {
    Instance instance(*v.plugin);
    if (!instance) {
      ctx.fail("VSTPluginMain", "no instance for a host that answers only the version");
      host.useAnswers(hostkit::Answers::Accepting);
      return;
    }
    instance.start();
    for (int index = 0; index < facts().numParams; ++index)
      instance.set(index, 0.3f);
    instance.dispatch(effSetProgram, 0, 3);
    processNoise(ctx, instance, 512, 8, "processReplacing with a silent host");
    if (v.display && instance.hasEditor()) {
      uintptr_t parent = v.display->createParent(facts().editorWidth, facts().editorHeight);
      ERect* rect = nullptr;
      instance.dispatch(effEditGetRect, 0, 0, &rect);
      if (instance.dispatch(effEditOpen, 0, 0, v.display->editorParent(parent)) != 1)
        ctx.fail("effEditOpen", "the editor did not open for a host that answers only the "
                                "version");
      for (int i = 0; i < 5; ++i)
        instance.dispatch(effEditIdle);
      v.display->click(parent, 400, 12); // the panel tab: begin, automate, end
      for (int i = 0; i < 5; ++i) {
        v.display->sync();
        instance.dispatch(effEditIdle);
      }
      instance.dispatch(effEditClose);
      v.display->destroyWindow(parent);
    }
    instance.dispatch(effMainsChanged, 0, 0);
  }
  host.useAnswers(hostkit::Answers::Accepting);
}
