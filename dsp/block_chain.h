// The chain run block-wise: each stage over a stretch of frames rather than frame by frame, with
// the memoryless curves evaluated several samples at a time in vector registers. Every sample
// goes through exactly the operations of the per-sample chain (chain.h), in the same order and
// precision, so the output is the same bit for bit; only the order in which independent samples
// are worked on changes.
#pragma once

#include "chain.h"
#include "channel_state.h"

// The instruction sets the curves can run with. Sse2 runs on every x86-64 processor; Avx2 needs
// a processor (and a system) that offers AVX2; Neon is the aarch64 build's, on every processor
// of that architecture (Advanced SIMD is part of its baseline). All give identical bits. A build
// has the paths of its own architecture only.
enum class ChainPath { Sse2, Avx2, Neon };

bool chainPathAvailable(ChainPath path);
// The widest path this processor offers.
ChainPath fastestChainPath();

// Frames one pass handles; longer host blocks are cut into passes of this length.
constexpr int kChainPassFrames = 256;

// Working buffers of one pass, two oversampled samples per frame. Fixed in size and owned by the
// caller, so that a pass never allocates. Each buffer holds one float per channel and sample, the
// channels of a sample side by side: sample s of channel c at [channels * s + c].
struct ChainScratch {
  float input[2][kChainPassFrames];        // scaled inputs, filled by the caller, one row a channel
  float drive[2 * 2 * kChainPassFrames];   // HPF output, then the drive, then the transistor's
  float peakOut[2 * 2 * kChainPassFrames]; // resonance output
  float notchOut[2 * 2 * kChainPassFrames]; // notch output
  float dcOut[2 * 2 * kChainPassFrames];    // DC-blocker output, then the grid's output in place
  // Treble low-pass output of frame f: its first samples at trebleFirst[channels * (f + 1)], its
  // second at trebleSecond[channels * (f + 1)]; the entries of frame 0 hold the previous
  // frame's, as the decimator needs them.
  float trebleFirst[2 * (kChainPassFrames + 1)];
  float trebleSecond[2 * (kChainPassFrames + 1)];
};

// Runs `frames` frames (1 to kChainPassFrames) of `channels` independent chains (1 or 2) from
// their scaled inputs x[c] into out[c]. `states` and `x`, `out` hold one entry per channel.
void runChainPass(ChainPath path, ChannelState* const* states, int channels, const float* const* x,
                  float* const* out, int frames, const ChainSettings& settings,
                  ChainScratch& scratch);

// One host block with the effect on: the input scaling and the chain in passes, "Mono" (one
// chain for the sum, on both outputs, left state) or "Stereo" (a chain per channel). Every pass
// reads its inputs before it writes an output, and the inputs are never written, so inputs and
// outputs may be the same buffers. A channel whose memories hold a NaN or an infinity at the end
// starts over from its construction state. The caller decides the floating-point mode
// (flush-to-zero, see denormal_flush.h).
void runChainBlock(ChainPath path, ChannelState& left, ChannelState& right, bool stereo,
                   const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                   int frames, const ChainSettings& settings, float inputGain,
                   ChainScratch& scratch);
