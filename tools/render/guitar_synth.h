// The demo's input, made in code: a few seconds of an electric guitar phrase (a power chord,
// a short run of single notes and a second chord), plucked strings heard through a pickup.
#pragma once

#include <vector>

// Mono samples at `sampleRate`, peaking at -6 dBFS. The same rate always gives the same samples.
std::vector<float> synthesiseGuitarPhrase(int sampleRate);
