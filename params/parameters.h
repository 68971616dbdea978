// Sparkwell's parameters, one row per index: name, label, how the value is shown, the value a
// new program starts with, every constant that maps the value to what the sound reads (dB
// range, corner sweep, grid amount, switch edges and words), the LV2 port that carries it, and
// the field that holds it. The core, the VST effect, the editor, the LV2 port map and
// description, the renderer and the tests read their parameter facts from here and nowhere
// else: a new parameter is a row here and its use in the chain.
//
// No plug-in interface types: plain C++ with std::atomic, so a wrapper of any format can
// include it.
#pragma once

#include <atomic>
#include <cstdint>

#include "value_bands.h"

enum {
  kGain = 0,
  kHpf = 1,
  kInput = 2,
  kGridCurrent = 3,
  kTreble = 4,
  kPickup = 5,
  kTransistor = 6,
  kStereo = 7,
  // Index 8 carries no parameter: the editor's panel tab uses it as its tag.
  kEffect = 9,
  kNumParams = 10,
};

// How a parameter's value reads as text.
enum class DisplayKind : uint8_t {
  None,        // index 8: nothing to show
  Decibels,    // the linear gain the value sets, in dB (see DecibelRange)
  Number,      // the value itself
  GridCurrent, // the word "Off" at 0 and below, the value otherwise
  Switch,      // a word per band of the value (see SwitchWords)
};

// A gain parameter: 0 sets `low` dB, 1 sets `high` dB, in a straight line on the dB scale, so
// the linear gain is 10^(slope * value + offset).
struct DecibelRange {
  double low;
  double high;
  constexpr double slope() const { return (high - low) / 20.0; }
  constexpr double offset() const { return low / 20.0; }
};

// A switch: words[band] names the band of the value between ascending edges (bandBetween of
// value_bands.h, compared in double precision). Below 0 the display reads "-oo", above 1 and
// NaN the number. The sound follows the bands too, except where `soundStrictlyAbove` says that
// a two-way switch's upper position sounds only strictly above its edge (the display's upper
// word includes the edge).
struct SwitchWords {
  const char* const* words;
  const double* edges;
  int edgeCount; // one less than the number of words
  bool soundStrictlyAbove;
};

// A one-pole corner swept by the value: 10^(value * exponentScale) * -negativeBaseOmega rad/s,
// in double precision (filter_design.h, designSweptPair).
struct SweptCorner {
  double exponentScale;
  double negativeBaseOmega;
};

// Grid Current's amount: value * scale in single precision, plus offset in double, rounded to
// float. How early the grid compresses.
struct GridAmount {
  float scale;
  double offset;
};

// How an LV2 control port carries the value: a dB port over the row's dB range, the value
// itself from 0 to 1, or one scale point per band of a switch (a toggle for an on/off switch).
enum class PortKind : uint8_t { None, Decibels, Unit, Choice, Toggle };

struct PortFacts {
  const char* symbol; // null for index 8, which has no port
  PortKind kind;
};

struct ParameterInfo {
  const char* name;  // null for index 8
  const char* label; // null: the label request leaves the host's text as it was
  DisplayKind display;
  float defaultValue; // program 0's value, and every new program's
  DecibelRange decibels;
  SwitchWords switchWords;
  SweptCorner corner;
  GridAmount gridAmount;
  PortFacts port;
};

// The five bands of the Pickup value. The edges are double-precision constants compared with
// the value widened to double, so 0.2f (a little above the double 0.2) already counts as
// "Hot HB".
inline constexpr double kPickupBandEdges[] = {0.2, 0.4, 0.6, 0.8};
constexpr int kPickupBandEdgeCount = 4;

// The switches' words and edges. Two-way switches change at 0.5; the upper word includes 0.5.
inline constexpr const char* kPickupWords[] = {"None", "Hot HB", "HB", "P90", "SC"};
static_assert(sizeof kPickupWords / sizeof kPickupWords[0] == kPickupBandEdgeCount + 1,
              "a word per pickup band");
inline constexpr double kHalfway[] = {0.5};
inline constexpr const char* kTransistorWords[] = {"2SB175", "AC128"};
inline constexpr const char* kStereoWords[] = {"Stereo", "Mono"};
inline constexpr const char* kEffectWords[] = {"Off", "On"};
inline constexpr SwitchWords kPickupSwitch{kPickupWords, kPickupBandEdges, kPickupBandEdgeCount,
                                           false};
// AC128 and On sound strictly above 0.5; "Stereo" strictly below, as its band says.
inline constexpr SwitchWords kTransistorSwitch{kTransistorWords, kHalfway, 1, true};
inline constexpr SwitchWords kStereoSwitch{kStereoWords, kHalfway, 1, false};
inline constexpr SwitchWords kEffectSwitch{kEffectWords, kHalfway, 1, true};
inline constexpr SwitchWords kNoSwitch{nullptr, nullptr, 0, false};

// What Grid Current shows at 0 and below: the grid stage is out of the chain there.
constexpr const char* kGridCurrentOffWord = "Off";

constexpr DecibelRange kGainDecibels{-50.0, 20.0};
constexpr DecibelRange kInputDecibels{-30.0, 30.0};
constexpr DecibelRange kNoDecibels{0.0, 0.0};

// HPF: 314 * 10^(1.33 v) rad/s; Treble: 3142 * 10^(1.6 v) rad/s.
constexpr SweptCorner kHpfCorner{1.33, -314.0};
constexpr SweptCorner kTrebleCorner{1.6, -3142.0};
constexpr SweptCorner kNoCorner{0.0, 0.0};

// 0.1 at 0 to 5.1 at 1.
constexpr GridAmount kGridCurrentAmount{5.0f, 0.1};
constexpr GridAmount kNoGridAmount{0.0f, 0.0};

inline constexpr ParameterInfo kParameters[kNumParams] = {
    {"Gain",
     "dB",
     DisplayKind::Decibels,
     0.6f,
     kGainDecibels,
     kNoSwitch,
     kNoCorner,
     kNoGridAmount,
     {"gain", PortKind::Decibels}},
    {"HPF",
     "",
     DisplayKind::Number,
     1.0f,
     kNoDecibels,
     kNoSwitch,
     kHpfCorner,
     kNoGridAmount,
     {"hpf", PortKind::Unit}},
    {"Input",
     "dB",
     DisplayKind::Decibels,
     0.5f,
     kInputDecibels,
     kNoSwitch,
     kNoCorner,
     kNoGridAmount,
     {"input", PortKind::Decibels}},
    {"Grid Current",
     "",
     DisplayKind::GridCurrent,
     0.0f,
     kNoDecibels,
     kNoSwitch,
     kNoCorner,
     kGridCurrentAmount,
     {"grid_current", PortKind::Unit}},
    {"Treble",
     "",
     DisplayKind::Number,
     1.0f,
     kNoDecibels,
     kNoSwitch,
     kTrebleCorner,
     kNoGridAmount,
     {"treble", PortKind::Unit}},
    {"Pickup",
     "",
     DisplayKind::Switch,
     0.5f,
     kNoDecibels,
     kPickupSwitch,
     kNoCorner,
     kNoGridAmount,
     {"pickup", PortKind::Choice}},
    {"Transistor",
     "",
     DisplayKind::Switch,
     0.0f,
     kNoDecibels,
     kTransistorSwitch,
     kNoCorner,
     kNoGridAmount,
     {"transistor", PortKind::Choice}},
    {"Stereo",
     "",
     DisplayKind::Switch,
     1.0f,
     kNoDecibels,
     kStereoSwitch,
     kNoCorner,
     kNoGridAmount,
     {"stereo", PortKind::Choice}},
    {nullptr,
     nullptr,
     DisplayKind::None,
     0.0f,
     kNoDecibels,
     kNoSwitch,
     kNoCorner,
     kNoGridAmount,
     {nullptr, PortKind::None}},
    {"Effect",
     nullptr,
     DisplayKind::Switch,
     1.0f,
     kNoDecibels,
     kEffectSwitch,
     kNoCorner,
     kNoGridAmount,
     {"effect", PortKind::Toggle}},
};

// The row of an index; null for index 8 and every index outside 0 to 9 (negative ones too).
constexpr const ParameterInfo* parameterInfo(int32_t index) {
  if (static_cast<uint32_t>(index) >= static_cast<uint32_t>(kNumParams)) return nullptr;
  return kParameters[index].name != nullptr ? &kParameters[index] : nullptr;
}

// The band of a switch's value (the word it shows; for Pickup the resonance and notch it runs).
inline int switchBandOf(const SwitchWords& sw, float value) {
  return bandBetween(sw.edges, sw.edgeCount, value);
}

// The word a switch shows for `value`; null where the display is "-oo" (below 0) or a number
// (above 1, NaN).
inline const char* switchWord(const SwitchWords& sw, float value) {
  if (value < 0.0f || !(value <= 1.0f)) return nullptr;
  return sw.words[switchBandOf(sw, value)];
}

// The nine parameter values under their names. Anything that keeps a full set (the effect's
// current values, a program) holds one of these; the table below finds a field by index.
struct ParameterValues {
  std::atomic<float> gain{0.0f};
  std::atomic<float> hpf{0.0f};
  std::atomic<float> input{0.0f};
  std::atomic<float> gridCurrent{0.0f};
  std::atomic<float> treble{0.0f};
  std::atomic<float> pickup{0.0f};
  std::atomic<float> transistor{0.0f};
  std::atomic<float> stereo{0.0f};
  std::atomic<float> effect{0.0f};

  // The field of a parameter index; null for index 8 and indices outside 0 to 9.
  std::atomic<float>* field(int32_t index);
  const std::atomic<float>* field(int32_t index) const {
    return const_cast<ParameterValues*>(this)->field(index);
  }

  // Every field at its parameter's default.
  void storeDefaults() {
    for (int32_t index = 0; index < kNumParams; ++index)
      if (std::atomic<float>* value = field(index))
        value->store(kParameters[index].defaultValue, std::memory_order_relaxed);
  }
};

// The field of each index, in index order; none for 8.
inline constexpr std::atomic<float> ParameterValues::*kParameterFields[kNumParams] = {
    &ParameterValues::gain,        &ParameterValues::hpf,    &ParameterValues::input,
    &ParameterValues::gridCurrent, &ParameterValues::treble, &ParameterValues::pickup,
    &ParameterValues::transistor,  &ParameterValues::stereo, nullptr,
    &ParameterValues::effect,
};

inline std::atomic<float>* ParameterValues::field(int32_t index) {
  if (parameterInfo(index) == nullptr) return nullptr;
  return &(this->*kParameterFields[index]);
}
