// What every render does to a fresh instance before the first block, in a host's order.
#pragma once

#include "plugin_host.h"

// The rate at which the plug-in's filters were designed. At any other host rate every
// frequency of the effect moves in proportion, because the design rate is fixed.
constexpr int kDesignRate = 44100;

// Sample rate, block size, then switched on (effMainsChanged 1).
void prepareForRendering(PluginHost& plugin, int sampleRate, int blockFrames);

// Says once on stderr that the effect's frequencies scale with a rate other than 44100 Hz.
void noteRateIfNotDesignRate(int sampleRate);
