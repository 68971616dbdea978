// Processing: life-cycle calls between blocks, every block size, in place against out of
// place, denormals, recovery from non-finite input, the floating-point control state, the
// real-time rules of the audio thread, and many instances side by side.
#include "checks.h"

#include "buffers.h"
#include "editor_session.h"
#include "fpstate.h"
#include "realtime_monitor.h"
#include "system.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <numeric>
#include <thread>

namespace {

struct Signal {
  std::vector<float> left, right;
};

Signal noiseSignal(std::mt19937_64& rng, int frames, float amplitude = 0.5f) {
  Signal signal{std::vector<float>(static_cast<size_t>(frames)),
                std::vector<float>(static_cast<size_t>(frames))};
  fillNoise(signal.left.data(), frames, rng, amplitude);
  fillNoise(signal.right.data(), frames, rng, amplitude);
  return signal;
}

// Runs `signal` through `instance` in blocks of the given sizes, checking the buffer rules
// of every block; returns the interleaved output.
std::vector<float> renderInBlocks(CheckContext& ctx, Instance& instance, const Signal& signal,
                                  const std::vector<int>& sizes, const char* what) {
  std::vector<float> output;
  size_t position = 0;
  for (int size : sizes) {
    StereoBuffers buffers(size);
    std::copy_n(signal.left.begin() + static_cast<long>(position), size, buffers.input(0));
    std::copy_n(signal.right.begin() + static_cast<long>(position), size, buffers.input(1));
    buffers.prepare();
    instance.process(buffers.inputs(), buffers.outputs(), size);
    std::string broken = buffers.verify(true);
    if (!broken.empty()) {
      ctx.fail(format("%s, block of %d frames at frame %zu", what, size, position), "%s",
               broken.c_str());
      return output;
    }
    for (int i = 0; i < size; ++i) {
      output.push_back(buffers.output(0)[i]);
      output.push_back(buffers.output(1)[i]);
    }
    position += static_cast<size_t>(size);
  }
  return output;
}

// Index of the first differing float (bitwise), or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (bitsOf(a[i]) != bitsOf(b[i])) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(n);
}

std::string firstUnclean(const std::vector<float>& samples) {
  for (size_t i = 0; i < samples.size(); ++i)
    if (!isCleanSample(samples[i]))
      return format("frame %zu channel %zu is %g", i / 2, i % 2, static_cast<double>(samples[i]));
  return std::string();
}
} // namespace

void checkLifecycle(CheckContext& ctx, Validation& v) {
  // Before resume and after suspend: the plug-in processes whenever the host calls it.
  {
    Instance fresh(*v.plugin);
    processNoise(ctx, fresh, 256, 4, "processReplacing before effOpen and effMainsChanged");
    fresh.dispatch(effOpen);
    processNoise(ctx, fresh, 256, 4, "processReplacing before effMainsChanged(1)");
    fresh.dispatch(effMainsChanged, 0, 1);
    fresh.dispatch(effMainsChanged, 0, 0);
    processNoise(ctx, fresh, 256, 4, "processReplacing after effMainsChanged(0)");
  }
  // Mains off/on, rate and block size changes between blocks change nothing audible: by
  // design there is no reset on resume and the internal rate is fixed.
  Instance reference(*v.plugin), toggled(*v.plugin);
  reference.start(512);
  toggled.start(512);
  applyBusySettings(reference);
  applyBusySettings(toggled);
  const float rates[] = {48000.0f, 96000.0f, 22050.0f, 192000.0f, 44100.0f};
  for (int block = 0; block < 40 && !ctx.failed(); ++block) {
    Signal signal = noiseSignal(ctx.rng, 512);
    switch (block % 4) {
    case 0:
      toggled.dispatch(effMainsChanged, 0, 0);
      toggled.dispatch(effMainsChanged, 0, 1);
      break;
    case 1:
      toggled.dispatch(effSetSampleRate, 0, 0, nullptr, rates[block % 5]);
      break;
    case 2:
      toggled.dispatch(effSetBlockSize, 0, 64 << (block % 5));
      break;
    default:
      toggled.dispatch(effMainsChanged, 0, 0);
      toggled.dispatch(effSetSampleRate, 0, 0, nullptr, rates[(block + 2) % 5]);
      toggled.dispatch(effSetBlockSize, 0, 4096);
      toggled.dispatch(effMainsChanged, 0, 1);
      break;
    }
    std::vector<float> expected = renderBlock(reference, signal.left, signal.right);
    std::vector<float> got = renderBlock(toggled, signal.left, signal.right);
    std::string unclean = firstUnclean(got);
    if (!unclean.empty()) ctx.fail("processReplacing", "block %d: %s", block, unclean.c_str());
    long at = firstDifference(expected, got);
    if (at >= 0)
      ctx.fail("processReplacing",
               "block %d after mains, rate or block-size changes differs at frame %ld from an "
               "instance that had none (no reset on resume, fixed internal rate)",
               block, at / 2);
  }
}

void checkBlockSizes(CheckContext& ctx, Validation& v) {
  const int sizes[] = {1, 16, 32, 64, 512, 2027, 4096, 7984, 16384};
  Instance instance(*v.plugin);
  instance.start(16384);
  for (int size : sizes)
    processNoise(ctx, instance, size, 2, "processReplacing");
  std::uniform_int_distribution<int> anySize(1, 3000);
  for (int i = 0; i < 50; ++i)
    processNoise(ctx, instance, anySize(ctx.rng), 1, "processReplacing");

  // 0 and negative counts write nothing and change nothing.
  Instance reference(*v.plugin), probed(*v.plugin);
  reference.start();
  probed.start();
  for (int frames : {0, -1, -512, -2147483647 - 1}) {
    StereoBuffers buffers(frames);
    buffers.prepare();
    probed.process(buffers.inputs(), buffers.outputs(), frames);
    std::string broken = buffers.verify(false);
    if (!broken.empty())
      ctx.fail(format("processReplacing(%d frames)", frames), "%s", broken.c_str());
  }
  Signal signal = noiseSignal(ctx.rng, 512);
  if (firstDifference(renderBlock(reference, signal.left, signal.right),
                      renderBlock(probed, signal.left, signal.right)) >= 0)
    ctx.fail("processReplacing(0 or negative frames)",
             "changed the state: the next block "
             "differs from an instance that never had such a call");

  // One 4096-frame call equals the same audio in random chunks.
  for (bool busy : {false, true}) {
    Instance whole(*v.plugin), chunked(*v.plugin);
    whole.start(4096);
    chunked.start(4096);
    if (busy) {
      applyBusySettings(whole);
      applyBusySettings(chunked);
    }
    Signal audio = noiseSignal(ctx.rng, 4096);
    std::vector<int> chunks;
    for (int left = 4096; left > 0;) {
      int size = std::min(left, std::uniform_int_distribution<int>(1, 700)(ctx.rng));
      chunks.push_back(size);
      left -= size;
    }
    std::vector<float> once = renderInBlocks(ctx, whole, audio, {4096}, "processReplacing");
    std::vector<float> pieces = renderInBlocks(ctx, chunked, audio, chunks, "processReplacing");
    long at = firstDifference(once, pieces);
    if (at >= 0)
      ctx.fail(format("processReplacing in %zu random chunks%s", chunks.size(),
                      busy ? " (stereo settings)" : ""),
               "differs from one 4096-frame call at frame %ld", at / 2);
  }
}

void checkInPlace(CheckContext& ctx, Validation& v) {
  for (bool busy : {false, true}) {
    Instance separate(*v.plugin), inPlace(*v.plugin);
    separate.start();
    inPlace.start();
    if (busy) {
      applyBusySettings(separate);
      applyBusySettings(inPlace);
    }
    for (int block = 0; block < 20 && !ctx.failed(); ++block) {
      int frames = block % 3 == 0 ? 1 + static_cast<int>(ctx.rng() % 1000) : 512;
      StereoBuffers apart(frames), shared(frames, true);
      for (int c = 0; c < kChannels; ++c) {
        fillNoise(apart.input(c), frames, ctx.rng, 0.5f);
        std::copy_n(apart.input(c), frames, shared.input(c));
      }
      apart.prepare();
      shared.prepare();
      separate.process(apart.inputs(), apart.outputs(), frames);
      inPlace.process(shared.inputs(), shared.outputs(), frames);
      std::string broken = apart.verify(true);
      if (broken.empty()) broken = shared.verify(true);
      if (!broken.empty()) ctx.fail("processReplacing", "block %d: %s", block, broken.c_str());
      for (int c = 0; c < kChannels; ++c)
        if (memcmp(apart.output(c), shared.output(c), sizeof(float) * static_cast<size_t>(frames)))
          ctx.fail(format("processReplacing in place%s, block %d", busy ? " (stereo)" : "", block),
                   "output %d differs from the same call with separate buffers", c);
    }
  }
}

void checkDenormals(CheckContext& ctx, Validation& v) {
  for (bool busy : {false, true}) {
    const char* setting = busy ? "stereo settings" : "default program";
    // Three instances side by side, timed block by block in turn, so that whatever else
    // the machine does slows all three alike: a tone, the silence after an impulse, and
    // subnormal input.
    Instance tone(*v.plugin), silence(*v.plugin), tiny(*v.plugin);
    StereoBuffers toneBuffers(512), silenceBuffers(512), tinyBuffers(512);
    for (Instance* instance : {&tone, &silence, &tiny}) {
      instance->start(512);
      if (busy) applyBusySettings(*instance);
    }
    // Each block is timed, and the processor's denormal-operand flag tells whether the
    // plug-in computed with subnormal numbers inside it: the cause of such slowdowns, seen
    // without depending on how busy the machine is.
    int subnormalBlocks = 0;
    bool bufferFault = false;
    auto timeBlock = [&](Instance& instance, StereoBuffers& buffers, const char* what) {
      buffers.prepare();
      clearFpExceptionFlags();
      double start = threadCpuSeconds();
      instance.process(buffers.inputs(), buffers.outputs(), 512);
      double elapsed = threadCpuSeconds() - start;
      if (fpExceptionFlags() & kMxcsrDenormalOperandFlag) ++subnormalBlocks;
      std::string broken = buffers.verify(true);
      if (broken.empty()) broken = buffers.verifyFinite();
      if (!broken.empty()) {
        bufferFault = true;
        ctx.fail(format("processReplacing with %s (%s)", what, setting), "%s", broken.c_str());
      }
      return elapsed;
    };
    // An impulse, then 10 seconds of silence: the filters ring down towards zero.
    for (int c = 0; c < kChannels; ++c)
      std::fill_n(silenceBuffers.input(c), 512, 0.0f);
    silenceBuffers.input(0)[0] = silenceBuffers.input(1)[0] = 1.0f;
    timeBlock(silence, silenceBuffers, "an impulse");
    silenceBuffers.input(0)[0] = silenceBuffers.input(1)[0] = 0.0f;
    for (int block = 0; block < 660 && !bufferFault; ++block)
      timeBlock(silence, silenceBuffers, "silence after an impulse");
    std::uniform_real_distribution<float> subnormal(-1e-39f, 1e-39f);
    std::vector<double> toneTimes, silenceTimes, tinyTimes;
    int silenceSubnormal = 0, tinySubnormal = 0;
    for (int block = 0; block < 200 && !bufferFault; ++block) {
      for (int c = 0; c < kChannels; ++c) {
        fillTone(toneBuffers.input(c), 512, block * 512, 0.5f);
        for (int i = 0; i < 512; ++i)
          tinyBuffers.input(c)[i] = subnormal(ctx.rng);
      }
      toneTimes.push_back(timeBlock(tone, toneBuffers, "a tone"));
      subnormalBlocks = 0;
      silenceTimes.push_back(timeBlock(silence, silenceBuffers, "silence after an impulse"));
      silenceSubnormal += subnormalBlocks;
      subnormalBlocks = 0;
      tinyTimes.push_back(timeBlock(tiny, tinyBuffers, "subnormal input"));
      tinySubnormal += subnormalBlocks;
    }
    // Sustained subnormal arithmetic: in more than a tenth of the blocks.
    if (silenceSubnormal > 20)
      ctx.fail(format("processReplacing, 10 s of silence after an impulse (%s)", setting),
               "computed with subnormal numbers in %d of the last 200 blocks", silenceSubnormal);
    if (tinySubnormal > 20)
      ctx.fail(format("processReplacing, subnormal input (%s)", setting),
               "computed with subnormal numbers in %d of 200 blocks", tinySubnormal);
    if (bufferFault) return;
    auto median = [](std::vector<double> times) {
      std::sort(times.begin(), times.end());
      return times[times.size() / 2];
    };
    double base = median(toneTimes), quiet = median(silenceTimes), small = median(tinyTimes);
    if (quiet > 2.0 * base)
      ctx.fail(format("processReplacing, 10 s of silence after an impulse (%s)", setting),
               "%.1f us per block against %.1f us for a tone: more than 2x slower", quiet * 1e6,
               base * 1e6);
    if (small > 2.0 * base)
      ctx.fail(format("processReplacing, subnormal input (%s)", setting),
               "%.1f us per block against %.1f us for a tone: more than 2x slower", small * 1e6,
               base * 1e6);
    ctx.note("%s: tone %.1f us, silence tail %.1f us, subnormal input %.1f us per 512 frames",
             setting, base * 1e6, quiet * 1e6, small * 1e6);
  }
}

void checkNonFiniteRecovery(CheckContext& ctx, Validation& v) {
  const float poisons[] = {NAN, INFINITY, -INFINITY};
  for (bool busy : {false, true})
    for (float poison : poisons)
      for (int where : {0, 17, 511}) {
        Instance instance(*v.plugin);
        instance.start(512);
        if (busy) applyBusySettings(instance);
        processNoise(ctx, instance, 512, 2, "processReplacing before the poisoned block");
        StereoBuffers buffers(512);
        for (int c = 0; c < kChannels; ++c)
          fillNoise(buffers.input(c), 512, ctx.rng, 0.5f);
        buffers.input(where % 2)[where] = poison;
        buffers.prepare();
        instance.process(buffers.inputs(), buffers.outputs(), 512);
        std::string broken = buffers.verify(true);
        if (!broken.empty())
          ctx.fail("processReplacing with a non-finite sample", "%s", broken.c_str());
        std::string what = format("processReplacing after a block with %g at frame %d (%s)",
                                  static_cast<double>(poison), where,
                                  busy ? "stereo settings" : "default program");
        processNoise(ctx, instance, 512, 3, what.c_str(), true);
      }
}

void checkFpState(CheckContext& ctx, Validation& v) {
  // The wrappers compare the control state around every call; here the host runs with
  // unusual but legal settings, and a whole session goes through.
  const unsigned original = fpControlState();
  const unsigned settings[] = {original, original | kMxcsrFlushToZero | kMxcsrDenormalsAreZero,
                               (original & ~kMxcsrRoundTowardZero) | kMxcsrRoundTowardZero};
  for (unsigned setting : settings) {
    fpViolationsReset();
    setFpControlState(setting);
    {
      Instance instance(*v.plugin);
      instance.start();
      char text[512];
      for (int index = 0; index < facts().numParams; ++index) {
        instance.set(index, 0.37f);
        instance.dispatch(effGetParamDisplay, index, 0, text);
        instance.get(index);
      }
      instance.dispatch(effSetProgram, 0, 2);
      processNoise(ctx, instance, 512, 4, "processReplacing", false);
      applyBusySettings(instance);
      processNoise(ctx, instance, 512, 4, "processReplacing", false);
      instance.dispatch(effMainsChanged, 0, 0);
    }
    unsigned after = fpControlState();
    setFpControlState(original);
    if (fpViolationCount() > 0)
      ctx.fail(fpFirstViolation(),
               "%ld calls changed the floating-point control state "
               "(host setting 0x%04x)",
               fpViolationCount(), setting);
    else if (after != setting)
      ctx.fail("session", "control state 0x%04x at the end, 0x%04x at the start", after, setting);
  }
}

void checkRealTime(CheckContext& ctx, Validation& v) {
  realtimeMonitorAttach(v.plugin->moduleHandle());
  if (!realtimeMonitorAvailable()) {
    ctx.skip("no real-time call monitor on this system");
    return;
  }
  // The monitor must see what it is there to see, or a pass would mean nothing.
  std::string why;
  if (!realtimeMonitorSelfTest(why)) {
    ctx.fail("monitor self-test", "%s", why.c_str());
    return;
  }
  for (bool busy : {false, true}) {
    Instance instance(*v.plugin);
    instance.start(512);
    if (busy) applyBusySettings(instance);
    // The second round runs with the editor open, idled by this (the user-interface) thread,
    // so that parameter changes on the audio thread take the editor's path as well.
    std::unique_ptr<EditorSession> editor;
    if (busy && instance.hasEditor() && v.display) {
      editor.reset(new EditorSession(instance, *v.display));
      if (editor->open() != 1) ctx.fail("effEditOpen", "did not answer 1");
    }
    std::vector<double> times;
    std::atomic<bool> done{false};
    realtimeMonitorReset();
    std::thread audio([&] {
      StereoBuffers buffers(512);
      for (int block = 0; block < 400; ++block) {
        for (int c = 0; c < kChannels; ++c)
          fillTone(buffers.input(c), 512, block * 512, 0.4f);
        buffers.prepare();
        // The first block may do one-time work; from the second on nothing may block.
        bool armed = block > 0;
        if (armed && block % 4 == 0) {
          // Automation playback on the audio thread, within the processing range (the
          // bypass and the channel mode stay as they are).
          realtimeMonitorArm(true);
          instance.set((block / 4) % 7, 0.3f + 0.1f * static_cast<float>(block % 7));
          realtimeMonitorArm(false);
        }
        double start = threadCpuSeconds();
        realtimeMonitorArm(armed);
        instance.process(buffers.inputs(), buffers.outputs(), 512);
        realtimeMonitorArm(false);
        times.push_back(threadCpuSeconds() - start);
      }
      done = true;
    });
    while (!done.load()) {
      if (editor) instance.dispatch(effEditIdle);
      sleepMilliseconds(10);
    }
    audio.join();
    editor.reset();
    const char* setting = busy ? "stereo settings" : "default program";
    if (realtimeMonitorCount() > 0)
      ctx.fail(format("processReplacing / setParameter on the audio thread (%s)", setting),
               "%ld calls a real-time thread must not make, the first: %s", realtimeMonitorCount(),
               realtimeMonitorFirstCall() ? realtimeMonitorFirstCall() : "?");
    if (hostWatch().callsFromArmedThread.exchange(0) > 0)
      ctx.fail("processReplacing", "called the host from the audio thread");
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2];
    const double blockDuration = 512.0 / 44100.0;
    // Generous: a quarter of the block's duration, on a shared machine and in sanitizer builds.
    if (median > blockDuration / 4.0)
      ctx.fail(format("processReplacing (%s)", setting),
               "median block cost %.2f ms of processor time for 512 frames (%.2f ms of audio)",
               median * 1e3, blockDuration * 1e3);
    ctx.note("%s: median %.3f ms of processor time per 11.6 ms block", setting, median * 1e3);
  }
}

void checkInstances(CheckContext& ctx, Validation& v) {
  constexpr int kInstances = 33, kBlocks = 24;
  struct Setup {
    std::vector<float> values = std::vector<float>(static_cast<size_t>(facts().numParams));
    std::vector<int> sizes;
    Signal signal;
  };
  std::vector<Setup> setups(kInstances);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (Setup& setup : setups) {
    for (float& value : setup.values)
      value = unit(ctx.rng);
    int total = 0;
    for (int block = 0; block < kBlocks; ++block) {
      int size = 1 + static_cast<int>(ctx.rng() % 600);
      setup.sizes.push_back(size);
      total += size;
    }
    setup.signal = noiseSignal(ctx.rng, total);
  }
  auto configure = [&](Instance& instance, const Setup& setup) {
    instance.start();
    for (int index = 0; index < facts().numParams; ++index)
      instance.set(index, setup.values[index]);
  };

  // Interleaved: each round, every instance processes its next block, in a random order.
  std::vector<Instance> instances;
  for (int i = 0; i < kInstances; ++i) {
    instances.emplace_back(*v.plugin);
    configure(instances.back(), setups[static_cast<size_t>(i)]);
  }
  std::vector<std::vector<float>> together(kInstances);
  std::vector<size_t> positions(kInstances, 0);
  std::vector<int> order(kInstances);
  std::iota(order.begin(), order.end(), 0);
  for (int block = 0; block < kBlocks; ++block) {
    std::shuffle(order.begin(), order.end(), ctx.rng);
    for (int i : order) {
      Setup& setup = setups[static_cast<size_t>(i)];
      int size = setup.sizes[static_cast<size_t>(block)];
      size_t at = positions[static_cast<size_t>(i)];
      std::vector<float> left(setup.signal.left.begin() + static_cast<long>(at),
                              setup.signal.left.begin() + static_cast<long>(at) + size);
      std::vector<float> right(setup.signal.right.begin() + static_cast<long>(at),
                               setup.signal.right.begin() + static_cast<long>(at) + size);
      std::vector<float> out = renderBlock(instances[static_cast<size_t>(i)], left, right);
      together[static_cast<size_t>(i)].insert(together[static_cast<size_t>(i)].end(), out.begin(),
                                              out.end());
      positions[static_cast<size_t>(i)] += static_cast<size_t>(size);
    }
  }
  std::shuffle(order.begin(), order.end(), ctx.rng);
  for (int i : order)
    instances[static_cast<size_t>(i)].close();
  instances.clear();

  for (int i = 0; i < kInstances; ++i) {
    Instance alone(*v.plugin);
    const Setup& setup = setups[static_cast<size_t>(i)];
    configure(alone, setup);
    std::vector<float> output =
        renderInBlocks(ctx, alone, setup.signal, setup.sizes, "processReplacing alone");
    long at = firstDifference(together[static_cast<size_t>(i)], output);
    if (at >= 0)
      ctx.fail(format("processReplacing of instance %d among 33", i),
               "differs at frame %ld from the same instance run alone", at / 2);
  }
}
