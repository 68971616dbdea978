// The sound of Sparkwell, whatever plug-in format carries it: the stored parameter values and
// what a change derives from them, the coefficient designs, the eight programs' values and
// names, and the chain of both channels. It knows no plug-in interface and no editor: the VST
// effect (effect/) and the LV2 plug-in (lv2/) each own one and add their format's side.
//
// Threads: the user interface and the audio thread may both set parameters while process runs.
// Everything a change writes and process reads is a single 32-bit std::atomic accessed with
// relaxed loads and stores: no lock, no read-modify-write, so a block may see some values of a
// parameter change before others, never a torn value.
#pragma once

#include <atomic>
#include <cstdint>

#include "block_chain.h"
#include "chain.h"
#include "channel_state.h"
#include "parameters.h"
#include "pickup_sets.h"
#include "program_record.h"

static_assert(std::atomic<float>::is_always_lock_free, "parameter fields must be lock-free");
static_assert(std::atomic<bool>::is_always_lock_free, "mode flags must be lock-free");

// The stored parameter values (gain, hpf, ..., effect), as the host sent them, are the
// ParameterValues base.
class SparkwellCore : private ParameterValues {
public:
  // Every coefficient is designed for twice `sampleRate`, once: later rate changes of the host
  // reach none. Starts with program 0's values and cleared filter memories.
  explicit SparkwellCore(float sampleRate);

  // Any thread. Stores `value` (as given, without clamping) in program `program`'s record and as
  // the current value, then derives what the processing reads from it. False, with nothing
  // stored, for index 8 and indices outside 0 to 9.
  bool setParameter(int32_t program, int32_t index, float value);
  // The stored value; 0 for an index without one.
  float getParameter(int32_t index) const;
  // The linear gain Gain or Input has set (Input for any other index), which their displays show.
  float linearGain(int32_t index) const;

  // Programs 0 to kNumPrograms - 1; the caller checks the number.
  const ProgramRecord& program(int32_t number) const { return programs[number]; }
  // Stores a program's name, cut so that the terminator stays inside the record.
  void setProgramName(int32_t number, const char* name);

  // Audio thread. Writes exactly `frames` samples to both outputs and never writes the inputs;
  // inputs and outputs may be the same buffers. Nothing happens for `frames` of 0 or less.
  void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
               int32_t frames);

private:
  void deriveFrom(int32_t index, float value);
  void deriveGridAmount(float value);
  // Construction: the pickup sets and the three one-pole pairs at their fixed corners.
  void designFixedFilters();
  // What the chain reads in one block, taken from the parameter-derived fields.
  ChainSettings chainSettings() const;

  ProgramRecord programs[kNumPrograms];

  // Derived values.
  std::atomic<float> hpfComplement{1.0f};  // 1 - hpf: weight of the plain high-passed signal
  std::atomic<float> inputGain{1.0f};      // linear, -30 dB to +30 dB
  std::atomic<float> gridAmountInv{10.0f}; // 1 / gridAmount, kept while Grid Current is 0
  std::atomic<float> gridAmount{0.1f};     // 0.1 to 5.1: how early the grid compresses
  std::atomic<float> outputGain{1.0f};     // linear, -50 dB to +20 dB
  std::atomic<bool> ac128Model{false};     // transistor above 0.5
  std::atomic<bool> stereoMode{false};     // stereo below 0.5: channels processed separately

  // Twice the sample rate at construction; every coefficient is designed for it.
  const float internalRate;

  // Fixed after construction.
  PickupSets pickupSets{};
  float dcCoefB = 0.0f;
  float dcCoefA = 0.0f;

  // Redesigned by setParameter (A is written before B).
  std::atomic<float> hpfCoefB{0.0f};
  std::atomic<float> hpfCoefA{0.0f};
  std::atomic<float> trebleCoefB{0.0f};
  std::atomic<float> trebleCoefA{0.0f};

  // Touched only by process after construction. "Mono" runs the left one only.
  ChannelState leftChannel{};
  ChannelState rightChannel{};
  ChainScratch chainScratch{};
  // The widest instruction set of this processor for the chain's curves.
  const ChainPath chainPath = fastestChainPath();
};
