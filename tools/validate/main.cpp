// sparkwell-validate PLUGIN [--seed N] [--only CHECK[,CHECK...]] [--list]
//
// Loads the plug-in through its exported entry point, as a host does, and runs every check
// on it. One line per check; the last line counts them: "N passed, N failed" (and
// ", N skipped" when a check could not run). The exit status is 0 only when none failed.
#include "checks.h"
#include "system.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

const CheckEntry* allChecks(int& count) {
  static const CheckEntry checks[] = {
      {"load-unload", checkLoadUnload},
      {"scan", checkScan},
      {"odd-orders", checkOddOrders},
      {"text-requests", checkTextRequests},
      {"opcodes", checkOpcodeSweep},
      {"silent-host", checkSilentHost},
      {"parameters", checkParameterValues},
      {"host-automation", checkHostAutomation},
      {"editor-gestures", checkEditorGestures},
      {"reentrancy", checkReentrancy},
      {"concurrency", checkConcurrency},
      {"programs", checkPrograms},
      {"lifecycle", checkLifecycle},
      {"block-sizes", checkBlockSizes},
      {"in-place", checkInPlace},
      {"denormals", checkDenormals},
      {"non-finite", checkNonFiniteRecovery},
      {"fp-state", checkFpState},
      {"real-time", checkRealTime},
      {"instances", checkInstances},
      {"editor-cycles", checkEditorCycles},
      {"editor-odd-states", checkEditorOddStates},
      {"editor-idle", checkEditorIdle},
  };
  count = static_cast<int>(sizeof checks / sizeof checks[0]);
  return checks;
}

namespace {
void usage() {
  int count = 0;
  const CheckEntry* checks = allChecks(count);
  fprintf(stderr, "usage: sparkwell-validate PLUGIN [--seed N] [--only CHECK[,CHECK...]] | --list\n"
                  "checks:");
  for (int i = 0; i < count; ++i)
    fprintf(stderr, " %s", checks[i].name);
  fprintf(stderr, "\n");
}

bool selected(const std::string& only, const char* name) {
  if (only.empty()) return true;
  size_t start = 0;
  while (start <= only.size()) {
    size_t end = only.find(',', start);
    if (end == std::string::npos) end = only.size();
    if (only.compare(start, end - start, name) == 0) return true;
    start = end + 1;
  }
  return false;
}

// A check that makes no progress for this long has deadlocked inside the plug-in.
constexpr int kDeadlockSeconds = 300;

class Watchdog {
public:
  Watchdog() : thread([this] { watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> hold(lock);
      finished = true;
    }
    wake.notify_all();
    thread.join();
  }
  void starting(const char* name) {
    std::lock_guard<std::mutex> hold(lock);
    current = name;
    ++generation;
    wake.notify_all();
  }

private:
  void watch() {
    std::unique_lock<std::mutex> hold(lock);
    while (!finished) {
      long seen = generation;
      bool moved = wake.wait_for(hold, std::chrono::seconds(kDeadlockSeconds),
                                 [&] { return finished || generation != seen; });
      if (!moved) {
        printf("FAIL %s: no progress for %d s (deadlock inside the plug-in?)\n", current,
               kDeadlockSeconds);
        fflush(stdout);
        std::_Exit(2);
      }
    }
  }
  std::mutex lock;
  std::condition_variable wake;
  const char* current = "(start)";
  long generation = 0;
  bool finished = false;
  std::thread thread;
};
} // namespace

int main(int argc, char** argv) {
  std::string pluginPath, only;
  unsigned long long seed = 1;
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--seed") && i + 1 < argc) {
      seed = strtoull(argv[++i], nullptr, 10);
    } else if (!strcmp(argv[i], "--only") && i + 1 < argc) {
      only = argv[++i];
    } else if (!strcmp(argv[i], "--list")) {
      int count = 0;
      const CheckEntry* checks = allChecks(count);
      for (int c = 0; c < count; ++c)
        printf("%s\n", checks[c].name);
      return 0;
    } else if (argv[i][0] == '-' || !pluginPath.empty()) {
      usage();
      return 2;
    } else {
      pluginPath = argv[i];
    }
  }
  if (pluginPath.empty()) {
    usage();
    return 2;
  }
  int count = 0;
  const CheckEntry* checks = allChecks(count);
  if (!only.empty()) {
    bool any = false;
    for (int i = 0; i < count; ++i)
      any = any || selected(only, checks[i].name);
    if (!any) {
      fprintf(stderr, "sparkwell-validate: no check named '%s'\n", only.c_str());
      usage();
      return 2;
    }
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);
  installCrashReporter();

  Validation validation;
  validation.pluginPath = pluginPath;
  Plugin plugin(pluginPath);
  if (!plugin.ok()) {
    printf("FAIL load: %s: %s\n0 passed, 1 failed\n", pluginPath.c_str(), plugin.error().c_str());
    return 1;
  }
  validation.plugin = &plugin;
  std::string noFacts;
  if (!learnPluginFacts(plugin, noFacts)) {
    printf("FAIL load: %s: %s\n0 passed, 1 failed\n", pluginPath.c_str(), noFacts.c_str());
    return 1;
  }
  const PluginFacts& learned = facts();
  fprintf(stderr, "%s (%s, %s): %d parameters (%zu empty slots), %d programs, editor %d x %d\n",
          learned.effectName.c_str(), learned.vendorString.c_str(), learned.productString.c_str(),
          learned.numParams, learned.emptySlots.size(), learned.numPrograms, learned.editorWidth,
          learned.editorHeight);
  std::unique_ptr<HostDisplay> display = HostDisplay::open(validation.displayProblem);
  validation.display = display.get();

  int passed = 0, failed = 0, skipped = 0;
  Watchdog watchdog;
  for (int i = 0; i < count; ++i) {
    if (!selected(only, checks[i].name)) continue;
    // Each check gets its own seed, so one can be rerun alone with the same randomness.
    uint64_t checkSeed = seed * 1000003ULL + static_cast<uint64_t>(i);
    CheckContext ctx(checks[i].name, seed, checkSeed);
    setCurrentCheck(checks[i].name);
    watchdog.starting(checks[i].name);
    fprintf(stderr, "running %s\n", checks[i].name);
    double start = monotonicSeconds();
    checks[i].run(ctx, validation);
    double took = monotonicSeconds() - start;
    recordingHost().useAnswers(hostkit::Answers::Accepting);
    if (ctx.skipped() && !ctx.failed()) {
      ++skipped;
      printf("SKIP %s: %s\n", ctx.name, ctx.skipReason.c_str());
    } else if (ctx.failed()) {
      ++failed;
      printf("FAIL %s: %s", ctx.name, ctx.faults.front().c_str());
      if (ctx.faults.size() > 1) printf(" (and %zu more faults)", ctx.faults.size() - 1);
      printf("\n");
      for (size_t f = 1; f < ctx.faults.size() && f < 8; ++f)
        fprintf(stderr, "  also: %s\n", ctx.faults[f].c_str());
    } else {
      ++passed;
      printf("PASS %s (%.2f s%s%s)\n", ctx.name, took, ctx.notes.empty() ? "" : "; ",
             ctx.notes.c_str());
    }
  }
  if (skipped)
    printf("%d passed, %d failed, %d skipped\n", passed, failed, skipped);
  else
    printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
