// Sparkwell: a treble booster into a valve amp input, as a stereo VST 2.4 effect. The object
// holds the parameter table, the eight programs, the filter coefficients and the processing
// state of both channels.
//
// Threads: the user interface (dispatcher requests, the editor) and the audio thread
// (processReplacing) run at the same time, and either may set parameters. Everything that
// setParameter writes and processReplacing reads is a single 32-bit std::atomic accessed with
// relaxed loads and stores: no lock, no read-modify-write, so a frame may see some values of a
// parameter change before others, never a torn value.
#pragma once

#include <atomic>
#include <memory>

#include "audioeffectx.h"
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
class Sparkwell : public AudioEffectX, private ParameterValues {
public:
  explicit Sparkwell(audioMasterCallback audioMaster);
  ~Sparkwell() override;

  // Audio thread. Writes exactly sampleFrames samples to both outputs and never writes the
  // inputs; inputs and outputs may be the same buffers.
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

  // Any thread. Values are stored as given, without clamping.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;

  // User-interface thread.
  void setProgram(VstInt32 program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;

  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;

private:
  // The effect's own field for a parameter index; null for 8 and indices outside 0 to 9.
  std::atomic<float>* storedValue(VstInt32 index) { return field(index); }
  // Recomputes what the processing reads from a parameter that has just been stored.
  void deriveFrom(VstInt32 index, float value);
  void deriveGridAmount(float value);
  // The linear gain a dB parameter has set, which its display shows.
  float linearGainOf(VstInt32 index) const;
  // Construction: the pickup sets and the three one-pole pairs at their fixed corners.
  void designFixedFilters();
  void clearFilterMemories();
  // What the chain reads in one frame, taken from the parameter-derived fields.
  ChainSettings chainSettings() const;

  std::unique_ptr<ProgramRecord[]> programs;

  // Derived values.
  std::atomic<float> hpfComplement{1.0f};  // 1 - hpf: weight of the plain high-passed signal
  std::atomic<float> inputGain{1.0f};      // linear, -30 dB to +30 dB
  std::atomic<float> gridAmountInv{10.0f}; // 1 / gridAmount, kept while Grid Current is 0
  std::atomic<float> gridAmount{0.1f};     // 0.1 to 5.1: how early the grid compresses
  std::atomic<float> outputGain{1.0f};     // linear, -50 dB to +20 dB
  std::atomic<bool> ac128Model{false};     // transistor above 0.5
  std::atomic<bool> stereoMode{false};     // stereo below 0.5: channels processed separately

  // Twice the sample rate at construction; every coefficient is designed for it.
  float internalRate = 0.0f;

  // Fixed after construction.
  PickupSets pickupSets{};
  float dcCoefB = 0.0f;
  float dcCoefA = 0.0f;

  // Redesigned by setParameter (A is written before B).
  std::atomic<float> hpfCoefB{0.0f};
  std::atomic<float> hpfCoefA{0.0f};
  std::atomic<float> trebleCoefB{0.0f};
  std::atomic<float> trebleCoefA{0.0f};

  // Touched only by processReplacing after construction. "Mono" runs the left one only.
  ChannelState leftChannel;
  ChannelState rightChannel;
  ChainScratch chainScratch{};
  // The widest instruction set of this processor for the chain's curves.
  const ChainPath chainPath = fastestChainPath();
};
