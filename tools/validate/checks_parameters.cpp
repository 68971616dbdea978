// Parameters and programs: hostile values stored as given, no automation for host writes,
// balanced gestures from the editor, re-entrant hosts, three threads at once, and programs
// saved and restored the way hosts without chunks do it.
#include "checks.h"

#include "buffers.h"
#include "editor_session.h"
#include "system.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {
bool sameFloat(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return bitsOf(a) == bitsOf(b);
}

// Asks for the display text of `index` and records a fault when it breaks the rules.
void checkDisplay(CheckContext& ctx, Instance& instance, int index, float value) {
  unsigned char text[64];
  memset(text, 0xAA, sizeof text);
  instance.dispatch(effGetParamDisplay, index, 0, text);
  if (facts().isEmptySlot(index)) return;
  const void* end = memchr(text, 0, 9);
  if (!end) {
    ctx.fail(format("effGetParamDisplay(%d) after setParameter(%d, %g)", index, index,
                    static_cast<double>(value)),
             "no terminator within 9 bytes");
    return;
  }
  for (size_t i = 9; i < sizeof text; ++i)
    if (text[i] != 0xAA) {
      ctx.fail(format("effGetParamDisplay(%d) after setParameter(%d, %g)", index, index,
                      static_cast<double>(value)),
               "wrote byte %zu, beyond the 9 a display may use", i);
      return;
    }
}

// Collected edit traffic of one gesture: balanced begin/end pairs of `index` with at least
// one automation of `index` in between and nothing outside.
std::string gestureProblem(const std::vector<HostCall>& calls, VstInt32 index, float& last) {
  int open = 0, automations = 0, begins = 0;
  for (const HostCall& call : calls) {
    if (call.opcode == audioMasterBeginEdit) {
      if (call.index != index) return format("begin-edit for index %d", call.index);
      if (open) return "a begin-edit inside an open edit";
      open = 1;
      ++begins;
    } else if (call.opcode == audioMasterEndEdit) {
      if (call.index != index) return format("end-edit for index %d", call.index);
      if (!open) return "an end-edit without a begin-edit";
      open = 0;
    } else if (call.opcode == audioMasterAutomate) {
      if (call.index != index) return format("automation of index %d", call.index);
      if (!open) return "automation outside a begin-edit / end-edit pair";
      ++automations;
      last = call.opt;
    }
  }
  if (begins == 0) return "no begin-edit";
  if (open) return "the edit was never ended";
  if (automations == 0) return "no automation between begin-edit and end-edit";
  return std::string();
}
} // namespace

void checkParameterValues(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start(64);
  std::vector<float> sane;
  for (int index = 0; index < facts().numParams; ++index)
    sane.push_back(instance.get(index));
  const float hostile[] = {-1.0f,     2.0f,   1e9f,    -1e9f, NAN, INFINITY,
                           -INFINITY, 1e-40f, -1e-40f, 0.0f,  1.0f};
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  int values = 0;
  for (int index = 0; index < facts().numParams && !ctx.failed(); ++index) {
    std::vector<float> sweep;
    for (int step = 0; step <= 100; ++step)
      sweep.push_back(static_cast<float>(step) * 0.01f);
    for (int i = 0; i < 20; ++i)
      sweep.push_back(unit(ctx.rng));
    for (float value : hostile)
      sweep.push_back(value);
    for (float value : sweep) {
      ++values;
      instance.set(index, value);
      float read = instance.get(index);
      float expected = facts().isEmptySlot(index) ? 0.0f : value;
      if (!sameFloat(read, expected))
        ctx.fail(format("getParameter(%d) after setParameter(%d, %g)", index, index,
                        static_cast<double>(value)),
                 "read back %.9g, expected %.9g (stored as given)", static_cast<double>(read),
                 static_cast<double>(expected));
      checkDisplay(ctx, instance, index, value);
      bool isHostile = !(value >= 0.0f && value <= 1.0f) || (value != 0.0f && value < 1e-30f);
      if (!isHostile) continue;
      // Whatever the output is while the value is hostile, the process keeps running and
      // comes back as soon as the host sends a sane value again.
      std::string what =
          format("processReplacing with parameter %d at %g", index, static_cast<double>(value));
      processNoise(ctx, instance, 64, 2, what.c_str(), false);
      instance.set(index, sane[static_cast<size_t>(index)]);
      what =
          format("processReplacing after parameter %d went from %g back to %g", index,
                 static_cast<double>(value), static_cast<double>(sane[static_cast<size_t>(index)]));
      processNoise(ctx, instance, 64, 2, what.c_str(), true);
    }
    instance.set(index, sane[static_cast<size_t>(index)]);
  }
  ctx.note("%d values", values);
}

void checkHostAutomation(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  hostkit::RecordingHost& host = recordingHost();
  host.clearCalls();
  std::uniform_int_distribution<int> anyIndex(0, facts().numParams - 1);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int write = 0; write < 500; ++write) {
    instance.set(anyIndex(ctx.rng), unit(ctx.rng));
    if (write % 100 == 99) instance.dispatch(effSetProgram, 0, write / 100);
  }
  std::vector<HostCall> calls = host.takeCalls();
  for (const HostCall& call : calls)
    if (call.opcode == audioMasterAutomate || call.opcode == audioMasterBeginEdit ||
        call.opcode == audioMasterEndEdit) {
      ctx.fail("setParameter", "500 host writes made the plug-in send host opcode %d (index %d)",
               call.opcode, call.index);
      break;
    }
  ctx.note("500 writes, 5 program changes, %zu host calls", calls.size());
}

namespace {
// Frame coordinates of the controls the gestures use.
constexpr int kTabX = 400, kTabY = 12;      // panel tab, index 8
constexpr int kBoostX = 104, kBoostY = 186; // BOOST switch, index 9
constexpr int kSetX = 224, kSetY = 186;     // SET knob, index 0

struct Gesture {
  const char* name;
  VstInt32 index;
  bool drag;
  int x, y;
};
const Gesture kGestures[] = {{"click on the panel tab", 8, false, kTabX, kTabY},
                             {"second click on the panel tab", 8, false, kTabX, kTabY},
                             {"click on BOOST", 9, false, kBoostX, kBoostY},
                             {"upward drag on SET", 0, true, kSetX, kSetY}};

void runGestures(CheckContext& ctx, Instance& instance, EditorSession& editor) {
  hostkit::RecordingHost& host = recordingHost();
  for (const Gesture& gesture : kGestures) {
    host.clearCalls();
    if (gesture.drag)
      editor.drag(gesture.x, gesture.y, gesture.x + 10, gesture.y - 60);
    else
      editor.click(gesture.x, gesture.y);
    std::vector<HostCall> calls = host.takeCalls();
    float last = 0.0f;
    std::string problem = gestureProblem(calls, gesture.index, last);
    if (!problem.empty()) {
      ctx.fail(gesture.name, "%s (%zu host calls)", problem.c_str(), calls.size());
      continue;
    }
    float stored = instance.get(gesture.index);
    float expected = facts().isEmptySlot(gesture.index) ? 0.0f : last;
    if (!sameFloat(stored, expected))
      ctx.fail(gesture.name, "the host was sent %g but getParameter(%d) answers %g",
               static_cast<double>(last), gesture.index, static_cast<double>(stored));
  }
}
} // namespace

void checkEditorGestures(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  if (!requireEditor(ctx, instance, v)) return;
  EditorSession editor(instance, *v.display);
  if (editor.open() != 1) {
    ctx.fail("effEditOpen", "did not answer 1");
    return;
  }
  editor.pump();
  runGestures(ctx, instance, editor);
}

void checkReentrancy(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  if (!requireEditor(ctx, instance, v)) return;
  hostkit::RecordingHost& host = recordingHost();
  HostWatch& watch = hostWatch();
  std::atomic<int> mismatches{0}, answered{0};
  watch.deepestNesting = 0;
  host.setHandler(audioMasterAutomate, [&](const HostCall& call) -> VstIntPtr {
    AEffect* effect = call.effect;
    const VstInt32 index = call.index;
    const float value = call.opt;
    // A host that reads the value back and writes it again while handling the automation.
    float read = effect->getParameter(effect, index);
    if (!facts().isEmptySlot(index) && !sameFloat(read, value)) mismatches.fetch_add(1);
    effect->setParameter(effect, index, value);
    effect->setParameter(effect, (index + 1) % facts().numParams, effect->getParameter(effect, 0));
    answered.fetch_add(1);
    return 0;
  });
  {
    EditorSession editor(instance, *v.display);
    if (editor.open() == 1) {
      editor.pump();
      runGestures(ctx, instance, editor);
    } else {
      ctx.fail("effEditOpen", "did not answer 1");
    }
  }
  host.setHandler(audioMasterAutomate, nullptr);
  if (mismatches.load())
    ctx.fail("getParameter inside audioMasterAutomate",
             "%d reads did not answer the value being automated", mismatches.load());
  if (watch.deepestNesting.load() > 1)
    ctx.fail("setParameter inside audioMasterAutomate",
             "the host callback was re-entered (nesting %d)", watch.deepestNesting.load());
  if (answered.load() == 0 && !ctx.failed())
    ctx.fail("editor gestures", "no audioMasterAutomate arrived to re-enter from");
  ctx.note("%d automations answered re-entrantly", answered.load());
}

void checkConcurrency(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start(64);
  bool withEditor = instance.hasEditor() && v.display;
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0}, writes{0}, editorCycles{0};
  std::atomic<int> badBlocks{0};
  std::string firstBad;
  const uint64_t seed = ctx.rng();

  std::thread audio([&] {
    std::mt19937_64 rng(seed);
    StereoBuffers buffers(64);
    while (!stop.load(std::memory_order_relaxed)) {
      for (int c = 0; c < kChannels; ++c)
        fillNoise(buffers.input(c), 64, rng, 0.5f);
      buffers.prepare();
      instance.process(buffers.inputs(), buffers.outputs(), 64);
      std::string broken = buffers.verify(true);
      if (broken.empty()) broken = buffers.verifyFinite();
      if (!broken.empty() && badBlocks.fetch_add(1) == 0) firstBad = broken;
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });
  std::thread parameters([&] {
    std::mt19937_64 rng(seed + 1);
    std::uniform_int_distribution<int> anyIndex(0, facts().numParams - 1);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    while (!stop.load(std::memory_order_relaxed)) {
      instance.set(anyIndex(rng), unit(rng));
      long done = writes.fetch_add(1, std::memory_order_relaxed);
      if (done % 997 == 0) {
        // Program changes come through the dispatcher, as a host's do.
        instance.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(rng() % facts().numPrograms));
      }
      if (done % 64 == 0) std::this_thread::yield();
    }
  });
  double until = monotonicSeconds() + 3.0;
  if (withEditor) {
    // The user-interface thread: this one.
    while (monotonicSeconds() < until) {
      EditorSession editor(instance, *v.display);
      if (editor.open() != 1) {
        ctx.fail("effEditOpen", "did not answer 1 while audio and parameters ran");
        break;
      }
      for (int i = 0; i < 10; ++i) {
        instance.dispatch(effEditIdle);
        sleepMilliseconds(5);
      }
      editor.close();
      editorCycles.fetch_add(1);
    }
  }
  while (monotonicSeconds() < until)
    sleepMilliseconds(20);
  stop = true;
  audio.join();
  parameters.join();
  if (badBlocks.load())
    ctx.fail("processReplacing", "%d of %ld blocks broke the rules, the first: %s",
             badBlocks.load(), blocks.load(), firstBad.c_str());
  ctx.note("%ld blocks, %ld parameter writes, %ld editor cycles%s", blocks.load(), writes.load(),
           editorCycles.load(), withEditor ? "" : " (no editor)");
}

namespace {
struct ProgramState {
  std::string name;
  std::vector<float> values = std::vector<float>(static_cast<size_t>(facts().numParams));
};

std::vector<ProgramState> readPrograms(Instance& instance) {
  std::vector<ProgramState> programs;
  for (int program = 0; program < facts().numPrograms; ++program) {
    instance.dispatch(effSetProgram, 0, program);
    ProgramState state;
    char name[512] = {0};
    instance.dispatch(effGetProgramName, 0, 0, name);
    state.name = name;
    for (int index = 0; index < facts().numParams; ++index)
      state.values[index] = instance.get(index);
    programs.push_back(state);
  }
  return programs;
}
} // namespace

void checkPrograms(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  for (int program = 0; program < facts().numPrograms; ++program) {
    instance.dispatch(effSetProgram, 0, program);
    VstIntPtr current = instance.dispatch(effGetProgram);
    if (current != program)
      ctx.fail(format("effGetProgram after effSetProgram(%d)", program), "answered %lld",
               (long long)current);
  }
  instance.dispatch(effSetProgram, 0, 3);
  for (VstIntPtr ignored : {VstIntPtr(8), VstIntPtr(-1), VstIntPtr(1000)}) {
    instance.dispatch(effSetProgram, 0, ignored);
    VstIntPtr current = instance.dispatch(effGetProgram);
    if (current != 3)
      ctx.fail(format("effSetProgram(%lld)", (long long)ignored),
               "changed the program to %lld; it must be ignored", (long long)current);
  }

  // A 100-character name is kept cut to what the record holds, terminator inside.
  std::string longName;
  for (int i = 0; i < 100; ++i)
    longName += static_cast<char>('A' + i % 26);
  instance.dispatch(effSetProgramName, 0, 0, &longName[0]);
  char name[512];
  memset(name, 0xAA, sizeof name);
  instance.dispatch(effGetProgramName, 0, 0, name);
  if (!memchr(name, 0, 24) || longName.compare(0, strlen(name), name) != 0 || strlen(name) != 23)
    ctx.fail("effGetProgramName after a 100-character effSetProgramName",
             "expected the first 23 characters, got \"%.40s\"", name);
  memset(name, 0xAA, sizeof name);
  instance.dispatch(effGetProgramNameIndexed, 3, 0, name);
  if (!memchr(name, 0, 24) || strlen(name) != 23)
    ctx.fail("effGetProgramNameIndexed(3) after a 100-character name",
             "expected 23 characters, got \"%.40s\"", name);

  // Host-style state without chunks: walk every program, write values and names into a
  // fresh instance, compare by walking again.
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int program = 0; program < facts().numPrograms; ++program) {
    instance.dispatch(effSetProgram, 0, program);
    for (int index = 0; index < facts().numParams; ++index)
      instance.set(index, unit(ctx.rng));
    if (program % 2 == 1) {
      std::string programName = format("Saved %d", program);
      instance.dispatch(effSetProgramName, 0, 0, &programName[0]);
    }
  }
  std::vector<ProgramState> saved = readPrograms(instance);
  Instance restored(*v.plugin);
  restored.start();
  for (int program = 0; program < facts().numPrograms; ++program) {
    restored.dispatch(effSetProgram, 0, program);
    const ProgramState& state = saved[static_cast<size_t>(program)];
    for (int index = 0; index < facts().numParams; ++index)
      restored.set(index, state.values[index]);
    std::string programName = state.name;
    restored.dispatch(effSetProgramName, 0, 0, &programName[0]);
  }
  std::vector<ProgramState> reread = readPrograms(restored);
  for (int program = 0; program < facts().numPrograms; ++program) {
    const ProgramState& a = saved[static_cast<size_t>(program)];
    const ProgramState& b = reread[static_cast<size_t>(program)];
    if (a.name != b.name)
      ctx.fail(format("effGetProgramName of restored program %d", program), "\"%s\", saved \"%s\"",
               b.name.c_str(), a.name.c_str());
    for (int index = 0; index < facts().numParams; ++index)
      if (!sameFloat(a.values[index], b.values[index]))
        ctx.fail(format("getParameter(%d) of restored program %d", index, program),
                 "%.9g, saved %.9g", static_cast<double>(b.values[index]),
                 static_cast<double>(a.values[index]));
  }
}
