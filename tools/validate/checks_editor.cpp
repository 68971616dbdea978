// The editor in a real window: open / idle / close cycles with exact window and resource
// accounting, odd states hosts create, and idle calls while the audio thread is busy.
#include "checks.h"

#include "buffers.h"
#include "editor_session.h"
#include "system.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// Child windows of `parent`, waiting up to a second for the plug-in's connection to catch
// up until there are `expected` of them.
std::vector<ChildWindow> childrenSettled(HostDisplay& display, uintptr_t parent, size_t expected) {
  std::vector<ChildWindow> found = display.children(parent);
  for (int wait = 0; wait < 100 && found.size() != expected; ++wait) {
    sleepMilliseconds(10);
    found = display.children(parent);
  }
  return found;
}

std::string windowProblem(const std::vector<ChildWindow>& children) {
  if (children.size() != 1)
    return format("%zu child windows in the parent, expected exactly 1", children.size());
  const ChildWindow& child = children.front();
  if (child.width != facts().editorWidth || child.height != facts().editorHeight)
    return format("the child window is %d x %d, effEditGetRect said %d x %d", child.width,
                  child.height, facts().editorWidth, facts().editorHeight);
  if (!child.viewable) return "the child window is not mapped";
  return std::string();
}

bool resourcesSettled(HostDisplay& display, const ServerResources& expected, ServerResources& now) {
  for (int wait = 0; wait < 200; ++wait) {
    if (!display.resources(now)) return true;
    if (now == expected) return true;
    sleepMilliseconds(10);
  }
  return false;
}

std::string describe(const ServerResources& r) {
  return format("%ld clients, %ld windows, %ld pixmaps, %ld GCs, %ld resources", r.clients,
                r.windows, r.pixmaps, r.graphicContexts, r.total);
}

// One open / idle / close cycle in `parent`, checked window by window.
void cycle(CheckContext& ctx, Instance& instance, HostDisplay& display, uintptr_t parent,
           int round) {
  VstIntPtr opened = instance.dispatch(effEditOpen, 0, 0, display.editorParent(parent));
  if (opened != 1)
    ctx.fail(format("effEditOpen, cycle %d", round), "answered %lld", (long long)opened);
  instance.dispatch(effEditIdle);
  std::string problem = windowProblem(childrenSettled(display, parent, 1));
  if (!problem.empty())
    ctx.fail(format("effEditOpen + effEditIdle, cycle %d", round), "%s", problem.c_str());
  instance.dispatch(effEditIdle);
  instance.dispatch(effEditIdle);
  instance.dispatch(effEditClose);
  size_t left = childrenSettled(display, parent, 0).size();
  if (left != 0)
    ctx.fail(format("effEditClose, cycle %d", round), "%zu child windows remain", left);
}
} // namespace

void checkEditorCycles(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  if (!requireEditor(ctx, instance, v)) return;
  HostDisplay& display = *v.display;
  display.takeForeignErrors();

  ERect* rect = nullptr;
  VstIntPtr answer = instance.dispatch(effEditGetRect, 0, 0, &rect);
  if (answer != 1 || !rect)
    ctx.fail("effEditGetRect before effEditOpen", "answered %lld with %s", (long long)answer,
             rect ? "a rectangle" : "no rectangle");
  else if (rect->top != 0 || rect->left != 0 || rect->bottom != facts().editorHeight ||
           rect->right != facts().editorWidth || rect->bottom <= 0 || rect->right <= 0)
    ctx.fail("effEditGetRect before effEditOpen",
             "top %d left %d bottom %d right %d, expected 0 0 and a size that is not empty and the "
             "same for every instance (%d x %d)",
             rect->top, rect->left, rect->bottom, rect->right, facts().editorWidth,
             facts().editorHeight);

  // Requests for a window that is not there.
  instance.dispatch(effEditClose);
  instance.dispatch(effEditIdle);
  VstIntPtr key = instance.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f);
  if (key != 0) ctx.fail("effEditKeyDown with the editor closed", "answered %lld", (long long)key);

  uintptr_t shared = display.createParent(facts().editorWidth, facts().editorHeight);
  cycle(ctx, instance, display, shared, 0); // one-time set-up happens here
  ServerResources before, after;
  bool haveResources = display.resources(before);
  long long heapBefore = heapBytesInUse();
  int threadsBefore = processThreadCount(), filesBefore = processOpenFileCount();

  for (int round = 1; round <= 100 && ctx.faults.size() < 5; ++round) {
    if (round % 2 == 0) {
      cycle(ctx, instance, display, shared, round);
    } else {
      uintptr_t fresh = display.createParent(facts().editorWidth, facts().editorHeight);
      cycle(ctx, instance, display, fresh, round);
      display.destroyWindow(fresh);
    }
  }

  if (haveResources && !resourcesSettled(display, before, after))
    ctx.fail("100 open / idle / close cycles", "X server holds %s, before %s",
             describe(after).c_str(), describe(before).c_str());
  long long heapAfter = heapBytesInUse();
  // A leaked control or bitmap per cycle would add kilobytes; a leaked frame image far more.
  if (heapBefore >= 0 && heapAfter - heapBefore > 64 * 1024)
    ctx.fail("100 open / idle / close cycles", "the heap grew by %lld bytes",
             heapAfter - heapBefore);
  if (processThreadCount() != threadsBefore)
    ctx.fail("100 open / idle / close cycles", "%d threads before, %d after", threadsBefore,
             processThreadCount());
  if (processOpenFileCount() != filesBefore)
    ctx.fail("100 open / idle / close cycles", "%d open files before, %d after", filesBefore,
             processOpenFileCount());

  // Double close, and open while open: still exactly one window, then none.
  cycle(ctx, instance, display, shared, 101);
  instance.dispatch(effEditClose);
  instance.dispatch(effEditOpen, 0, 0, display.editorParent(shared));
  instance.dispatch(effEditOpen, 0, 0, display.editorParent(shared));
  instance.dispatch(effEditIdle);
  std::string problem = windowProblem(childrenSettled(display, shared, 1));
  if (!problem.empty()) ctx.fail("effEditOpen while open", "%s", problem.c_str());
  instance.dispatch(effEditClose);
  if (!childrenSettled(display, shared, 0).empty())
    ctx.fail("effEditClose after effEditOpen twice", "a child window remains");
  display.destroyWindow(shared);

  long errors = display.takeForeignErrors();
  if (errors) ctx.fail("editor cycles", "the plug-in caused %ld X protocol errors", errors);
  if (!display.errorHandlerIntact())
    ctx.fail("effEditOpen", "the plug-in replaced the process-wide X error handler");
  ctx.note("heap %+lld bytes after 100 cycles", heapAfter - heapBefore);
}

void checkEditorOddStates(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start(64);
  if (!requireEditor(ctx, instance, v)) return;
  HostDisplay& display = *v.display;
  display.takeForeignErrors();
  ServerResources before, after;
  bool haveResources = display.resources(before);

  // Open while audio runs and parameters change from another thread.
  {
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    const uint64_t audioSeed = ctx.rng(), parameterSeed = ctx.rng();
    std::thread audio([&] {
      std::mt19937_64 rng(audioSeed);
      StereoBuffers buffers(64);
      while (!stop.load()) {
        for (int c = 0; c < kChannels; ++c)
          fillNoise(buffers.input(c), 64, rng, 0.5f);
        buffers.prepare();
        instance.process(buffers.inputs(), buffers.outputs(), 64);
        if (!buffers.verify(true).empty() || !buffers.verifyFinite().empty()) bad.fetch_add(1);
      }
    });
    std::thread parameters([&] {
      std::mt19937_64 rng(parameterSeed);
      while (!stop.load()) {
        instance.set(static_cast<VstInt32>(rng() % facts().numParams),
                     static_cast<float>(rng() % 1001) / 1000.0f);
        std::this_thread::yield();
      }
    });
    for (int round = 0; round < 10; ++round) {
      EditorSession editor(instance, display);
      if (editor.open() != 1) ctx.fail("effEditOpen while audio runs", "did not answer 1");
      editor.pump(10);
    }
    stop = true;
    audio.join();
    parameters.join();
    if (bad.load())
      ctx.fail("processReplacing while the editor opened and closed",
               "%d blocks broke the rules or were not finite", bad.load());
  }

  // The host destroys the parent window before it closes the editor. X errors on the
  // plug-in's connection are expected here (its window is gone); a crash is not.
  {
    uintptr_t parent = display.createParent(facts().editorWidth, facts().editorHeight);
    instance.dispatch(effEditOpen, 0, 0, display.editorParent(parent));
    instance.dispatch(effEditIdle);
    display.destroyWindow(parent);
    for (int i = 0; i < 5; ++i) {
      instance.dispatch(effEditIdle);
      sleepMilliseconds(5);
    }
    instance.dispatch(effEditClose);
    display.takeForeignErrors();
    // The editor still works afterwards.
    uintptr_t again = display.createParent(facts().editorWidth, facts().editorHeight);
    instance.dispatch(effEditOpen, 0, 0, display.editorParent(again));
    instance.dispatch(effEditIdle);
    std::string problem = windowProblem(childrenSettled(display, again, 1));
    if (!problem.empty())
      ctx.fail("effEditOpen after the last parent was destroyed", "%s", problem.c_str());
    instance.dispatch(effEditClose);
    display.destroyWindow(again);
  }

  // effClose with the editor still open: the window goes with the instance.
  {
    Instance closing(*v.plugin);
    closing.start();
    uintptr_t parent = display.createParent(facts().editorWidth, facts().editorHeight);
    closing.dispatch(effEditOpen, 0, 0, display.editorParent(parent));
    closing.dispatch(effEditIdle);
    VstIntPtr closed = closing.close();
    if (closed != 1) ctx.fail("effClose with the editor open", "answered %lld", (long long)closed);
    size_t left = childrenSettled(display, parent, 0).size();
    if (left) ctx.fail("effClose with the editor open", "%zu child windows remain", left);
    display.destroyWindow(parent);
  }

  // Two instances' editors at once: each its own window, input reaches only its own.
  {
    Instance other(*v.plugin);
    other.start();
    EditorSession first(instance, display), second(other, display);
    instance.set(9, 1.0f);
    other.set(9, 1.0f);
    if (first.open() != 1 || second.open() != 1)
      ctx.fail("effEditOpen on two instances", "did not answer 1 for both");
    for (int i = 0; i < 5; ++i) {
      first.pump(1);
      second.pump(1);
    }
    for (EditorSession* session : {&first, &second}) {
      std::string problem = windowProblem(childrenSettled(display, session->parent(), 1));
      if (!problem.empty()) ctx.fail("two editors open at once", "%s", problem.c_str());
    }
    recordingHost().clearCalls();
    first.click(104, 186); // BOOST of the first instance only
    second.pump(3);
    for (const HostCall& call : recordingHost().takeCalls())
      if (call.opcode == audioMasterAutomate && call.effect != instance.record())
        ctx.fail("click on the first editor", "automation arrived for the other instance");
    if (other.get(9) != 1.0f) ctx.fail("click on the first editor", "changed the other instance");
    if (instance.get(9) == 1.0f) ctx.fail("click on BOOST of the first editor", "changed nothing");
  }

  if (haveResources && !resourcesSettled(display, before, after))
    ctx.fail("odd editor states", "X server holds %s, before %s", describe(after).c_str(),
             describe(before).c_str());
  long errors = display.takeForeignErrors();
  if (errors) ctx.fail("odd editor states", "the plug-in caused %ld X protocol errors", errors);
}

void checkEditorIdle(CheckContext& ctx, Validation& v) {
  Instance instance(*v.plugin);
  instance.start();
  if (!requireEditor(ctx, instance, v)) return;

  // A block long enough to be obvious: the settings that cost most, and up to 2^21 frames
  // (32 MB of buffers) or 0.3 s of work.
  applyBusySettings(instance);
  int frames = 1 << 16;
  double blockTime = 0.0;
  for (;;) {
    StereoBuffers buffers(frames);
    for (int c = 0; c < kChannels; ++c)
      fillNoise(buffers.input(c), frames, ctx.rng, 0.5f);
    buffers.prepare();
    double start = monotonicSeconds();
    instance.process(buffers.inputs(), buffers.outputs(), frames);
    blockTime = monotonicSeconds() - start;
    if (blockTime >= 0.3 || frames >= (1 << 21)) break;
    frames *= 2;
  }

  EditorSession editor(instance, *v.display);
  if (editor.open() != 1) {
    ctx.fail("effEditOpen", "did not answer 1");
    return;
  }
  editor.pump(3);
  std::atomic<bool> inside{false}, stop{false};
  std::atomic<int> blocksDone{0};
  const uint64_t audioSeed = ctx.rng();
  std::thread audio([&] {
    StereoBuffers buffers(frames);
    std::mt19937_64 rng(audioSeed);
    for (int c = 0; c < kChannels; ++c)
      fillNoise(buffers.input(c), frames, rng, 0.5f);
    while (!stop.load()) {
      buffers.prepare();
      inside = true;
      instance.process(buffers.inputs(), buffers.outputs(), frames);
      inside = false;
      blocksDone.fetch_add(1);
    }
  });
  double longest = 0.0;
  int measured = 0;
  double until = monotonicSeconds() + 3.0 * blockTime + 1.0;
  while (monotonicSeconds() < until && measured < 200) {
    if (!inside.load()) {
      sleepMilliseconds(1);
      continue;
    }
    double start = monotonicSeconds();
    instance.dispatch(effEditIdle);
    double took = monotonicSeconds() - start;
    if (inside.load()) {
      ++measured;
      if (took > longest) longest = took;
    }
    sleepMilliseconds(10);
  }
  stop = true;
  audio.join();
  if (measured == 0)
    ctx.fail("effEditIdle", "no idle call overlapped a block (blocks of %.0f ms)", blockTime * 1e3);
  else if (longest > blockTime / 4.0)
    ctx.fail(format("effEditIdle while processReplacing runs a %.0f ms block", blockTime * 1e3),
             "the longest idle took %.1f ms: it waits for the audio thread", longest * 1e3);
  ctx.note("%d idles inside %.0f ms blocks of %d frames, longest %.1f ms", measured,
           blockTime * 1e3, frames, longest * 1e3);
}
