#include "render_setup.h"

#include <cstdio>

void prepareForRendering(PluginHost& plugin, int sampleRate, int blockFrames) {
  plugin.setSampleRate(static_cast<float>(sampleRate));
  plugin.setBlockSize(blockFrames);
  plugin.setProcessing(true);
}

void noteRateIfNotDesignRate(int sampleRate) {
  if (sampleRate == kDesignRate) return;
  std::fprintf(stderr,
               "sparkwell-render: note: the file runs at %d Hz; the plug-in's design rate is "
               "fixed at %d Hz, so its filter frequencies scale by %.4g\n",
               sampleRate, kDesignRate, static_cast<double>(sampleRate) / kDesignRate);
}
