// ThreadSanitizer: parameters and programs change from a second thread while the audio thread
// processes blocks, as hosts do with automation and the user interface.
#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using ConcurrencyTest = SparkwellTest;

TEST_F(ConcurrencyTest, ParameterChangesDuringProcessingRaceOnNothing) {
  auto instance = makeInstance();
  AEffect* record = instance->effect();
  std::atomic<bool> done{false};
  std::atomic<long> changes{0};

  std::thread setter([&] {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> index(0, 9);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    while (!done.load()) {
      record->setParameter(record, index(random), value(random));
      record->getParameter(record, index(random));
      changes.fetch_add(1);
    }
  });

  const size_t frames = 64;
  StereoBuffer input = noise(frames, 0.5f, 3);
  std::vector<float> outLeft(frames), outRight(frames);
  float* inputs[2] = {input.left.data(), input.right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  bool finite = true;
  // Enough blocks that the setter has made many changes while processing ran.
  for (int block = 0; block < 4000 || changes.load() < 1000; ++block) {
    record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(frames));
    for (size_t i = 0; i < frames; ++i)
      finite = finite && std::isfinite(outLeft[i]) && std::isfinite(outRight[i]);
  }
  done.store(true);
  setter.join();
  EXPECT_TRUE(finite);
  EXPECT_GE(changes.load(), 1000);
}

TEST_F(ConcurrencyTest, ProgramSelectionDuringProcessingRacesOnNothing) {
  auto instance = makeInstance();
  AEffect* record = instance->effect();
  std::atomic<bool> done{false};
  std::atomic<long> selections{0};

  std::thread userInterface([&] {
    VstIntPtr program = 0;
    char name[kVstMaxProgNameLen];
    while (!done.load()) {
      record->dispatcher(record, effSetProgram, 0, program, nullptr, 0.0f);
      record->dispatcher(record, effGetProgramName, 0, 0, name, 0.0f);
      record->dispatcher(record, effGetParamDisplay, static_cast<VstInt32>(program), 0, name, 0.0f);
      record->setParameter(record, kGain, 0.1f * static_cast<float>(program));
      program = (program + 1) % 8;
      selections.fetch_add(1);
    }
  });

  const size_t frames = 64;
  StereoBuffer input = noise(frames, 0.5f, 4);
  std::vector<float> outLeft(frames), outRight(frames);
  float* inputs[2] = {input.left.data(), input.right.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  for (int block = 0; block < 4000 || selections.load() < 200; ++block)
    record->processReplacing(record, inputs, outputs, static_cast<VstInt32>(frames));
  done.store(true);
  userInterface.join();
  EXPECT_GE(selections.load(), 200);
}

} // namespace
} // namespace sparkwell_test
