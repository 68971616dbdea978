#include "guitar_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A small fixed generator, so the demo's pluck noise is the same on every machine and library.
class NoiseGenerator {
public:
  explicit NoiseGenerator(uint32_t seed) : state_(seed ? seed : 1u) {}
  float next() { // uniform in [-1, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
  }

private:
  uint32_t state_;
};

struct Note {
  int midiNote;
  double start;    // seconds
  double duration; // seconds until the player damps the string
  float velocity;  // 0..1: loudness and brightness of the pluck
};

double midiToHz(int note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// One plucked string, Karplus-Strong: a noise burst circulates in a delay line one period
// long, and a two-point average in the loop makes high partials die sooner than low ones, as
// on a real string. A first-order allpass supplies the fraction of a sample that keeps the
// loop in tune. The output is read as a magnetic pickup sees it: the string's motion at a
// point near the bridge, which thins the partials that have a node there.
class PluckedString {
public:
  PluckedString(const Note& note, int sampleRate, uint32_t seed) {
    double period = sampleRate / midiToHz(note.midiNote);
    // Loop delay = whole samples + 0.5 (the average) + allpass delay in [0.15, 1.15).
    length_ = static_cast<int>(std::floor(period - 0.5 - 0.15));
    double fraction = period - 0.5 - length_;
    allpassCoef_ = static_cast<float>((1.0 - fraction) / (1.0 + fraction));
    line_.assign(static_cast<size_t>(length_), 0.0f);
    double frequency = midiToHz(note.midiNote);
    // Ringing: low strings sustain longer. The gain per period gives that -60 dB time; a damped
    // string (the player's hand) dies in 80 ms.
    double sustain = 3.5 - 1.5 * std::min(1.0, (frequency - 80.0) / 300.0);
    ringGain_ = static_cast<float>(std::pow(0.001, 1.0 / (frequency * sustain)));
    dampedGain_ = static_cast<float>(std::pow(0.001, 1.0 / (frequency * 0.08)));
    pickupOffset_ = std::max(1, static_cast<int>(std::lround(0.12 * period)));
    start_ = static_cast<int64_t>(std::lround(note.start * sampleRate));
    dampAt_ = start_ + static_cast<int64_t>(std::lround(note.duration * sampleRate));
    fillExcitation(note.velocity, seed);
  }

  // Adds this string's sound for samples [0, out.size()) into `out`.
  void addTo(std::vector<float>& out) {
    for (int64_t n = start_; n < static_cast<int64_t>(out.size()); ++n) {
      float gain = n < dampAt_ ? ringGain_ : dampedGain_;
      float delayed = line_[static_cast<size_t>(position_)];
      float averaged = 0.5f * (delayed + previous_);
      previous_ = delayed;
      float tuned = allpassCoef_ * (averaged - allpassOut_) + allpassIn_;
      allpassIn_ = averaged;
      allpassOut_ = tuned;
      int64_t age = n - start_;
      float pluck = age < static_cast<int64_t>(excitation_.size())
                        ? excitation_[static_cast<size_t>(age)]
                        : 0.0f;
      float displacement = pluck + gain * tuned;
      line_[static_cast<size_t>(position_)] = displacement;
      out[static_cast<size_t>(n)] += displacement - pickupHistory(displacement);
      position_ = (position_ + 1) % static_cast<int>(line_.size());
      if (n > dampAt_ + 20000) break; // fully damped: about -100 dB by now
    }
  }

private:
  // One period of noise, darker for a soft pluck, with the comb of a pick striking the string
  // at a seventh of its length.
  void fillExcitation(float velocity, uint32_t seed) {
    NoiseGenerator noise(seed);
    float smoothing = 0.7f - 0.5f * velocity; // one-pole low-pass: soft plucks are duller
    float low = 0.0f;
    std::vector<float> burst(static_cast<size_t>(length_));
    for (float& sample : burst) {
      low += (1.0f - smoothing) * (noise.next() - low);
      sample = low;
    }
    size_t pickDelay = std::max<size_t>(1, burst.size() / 7);
    excitation_.resize(burst.size());
    for (size_t i = 0; i < burst.size(); ++i) {
      excitation_[i] = velocity * (burst[i] - (i >= pickDelay ? burst[i - pickDelay] : 0.0f));
    }
  }

  // The displacement pickupOffset_ samples ago, from a short history of the output.
  float pickupHistory(float displacement) {
    if (history_.empty()) history_.assign(static_cast<size_t>(pickupOffset_), 0.0f);
    float old = history_[historyPosition_];
    history_[historyPosition_] = displacement;
    historyPosition_ = (historyPosition_ + 1) % history_.size();
    return old;
  }

  int length_ = 0;
  float allpassCoef_ = 0.0f;
  float ringGain_ = 0.0f;
  float dampedGain_ = 0.0f;
  int pickupOffset_ = 1;
  int64_t start_ = 0;
  int64_t dampAt_ = 0;
  std::vector<float> line_;
  std::vector<float> excitation_;
  std::vector<float> history_;
  size_t historyPosition_ = 0;
  int position_ = 0;
  float previous_ = 0.0f;
  float allpassIn_ = 0.0f;
  float allpassOut_ = 0.0f;
};

// The pickup's coil and the cable's capacitance form a resonant low-pass: a presence peak
// around 3.5 kHz and a steep fall above it. RBJ low-pass biquad, Q 2.
void applyPickupTone(std::vector<float>& samples, int sampleRate) {
  double w0 = 2.0 * kPi * 3500.0 / sampleRate;
  double alpha = std::sin(w0) / (2.0 * 2.0);
  double cosw = std::cos(w0);
  double a0 = 1.0 + alpha;
  double b0 = (1.0 - cosw) / 2.0 / a0, b1 = (1.0 - cosw) / a0, b2 = b0;
  double a1 = -2.0 * cosw / a0, a2 = (1.0 - alpha) / a0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (float& sample : samples) {
    double x = sample;
    double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    sample = static_cast<float>(y);
  }
}

// E5 chord strummed down, a run up the E minor pentatonic, an A5 chord left to ring.
std::vector<Note> phrase() {
  std::vector<Note> notes;
  auto strum = [&notes](std::initializer_list<int> chord, double start, double duration) {
    double offset = 0.0;
    for (int note : chord) {
      notes.push_back({note, start + offset, duration - offset, 0.9f});
      offset += 0.012; // a downstroke reaches the strings one after another
    }
  };
  strum({40, 47, 52}, 0.0, 1.2);
  double start = 1.25;
  for (int note : {55, 57, 59, 62}) {
    notes.push_back({note, start, 0.24, 0.7f});
    start += 0.25;
  }
  notes.push_back({64, start, 0.75, 0.85f});
  strum({45, 52, 57}, 3.0, 1.3);
  return notes;
}

constexpr double kPhraseSeconds = 5.0;

} // namespace

std::vector<float> synthesiseGuitarPhrase(int sampleRate) {
  std::vector<float> samples(static_cast<size_t>(kPhraseSeconds * sampleRate), 0.0f);
  uint32_t seed = 0x5EED0001u;
  for (const Note& note : phrase()) {
    PluckedString string(note, sampleRate, seed++);
    string.addTo(samples);
  }
  applyPickupTone(samples, sampleRate);
  float peak = 0.0f;
  for (float sample : samples)
    peak = std::max(peak, std::fabs(sample));
  if (peak > 0.0f) {
    float scale = 0.5f / peak; // -6 dBFS
    for (float& sample : samples)
      sample *= scale;
  }
  return samples;
}
