// What one channel of the chain remembers from frame to frame. A zero-initialised ChannelState is
// the state of a new instance.
#pragma once

#include <math.h>

#include "biquad.h"

struct ChannelState {
  float prevIn = 0.0f;    // scaled input of the previous processed frame (the upsampler's start)
  float decimMem0 = 0.0f; // first treble output of the previous frame
  float decimMem1 = 0.0f; // second treble output of the previous frame
  float hpfZ = 0.0f;      // HPF low-pass memory
  BiquadState peak;       // pickup resonance
  BiquadState notch;      // pickup notch
  float dcZ = 0.0f;       // DC-blocker low-pass memory
  float trebleZ = 0.0f;   // Treble low-pass memory
};

// False once a NaN or an infinity has reached any memory: the recursive filters would then keep
// it for ever, so the caller resets the channel.
inline bool memoriesAreFinite(const ChannelState& s) {
  const float all[] = {s.prevIn,   s.decimMem0, s.decimMem1, s.hpfZ,     s.peak.x1,
                       s.peak.x2,  s.peak.y1,   s.peak.y2,   s.notch.x1, s.notch.x2,
                       s.notch.y1, s.notch.y2,  s.dcZ,       s.trebleZ};
  for (float v : all) {
    if (!isfinite(v)) return false;
  }
  return true;
}
