// Helpers shared by the checks.
#include "checks.h"

#include "buffers.h"

#include <algorithm>
#include <cstring>

bool processNoise(CheckContext& ctx, Instance& instance, int frames, int blocks, const char* what,
                  bool requireFinite) {
  StereoBuffers buffers(frames);
  for (int block = 0; block < blocks; ++block) {
    for (int c = 0; c < kChannels; ++c)
      fillNoise(buffers.input(c), frames, ctx.rng, 0.5f);
    buffers.prepare();
    instance.process(buffers.inputs(), buffers.outputs(), frames);
    std::string broken = buffers.verify(frames > 0);
    if (broken.empty() && requireFinite) broken = buffers.verifyFinite();
    if (!broken.empty()) {
      ctx.fail(format("%s, block %d of %d frames", what, block, frames), "%s", broken.c_str());
      return false;
    }
  }
  return true;
}

std::vector<float> renderBlock(Instance& instance, const std::vector<float>& left,
                               const std::vector<float>& right) {
  int frames = static_cast<int>(left.size());
  StereoBuffers buffers(frames);
  std::copy(left.begin(), left.end(), buffers.input(0));
  std::copy(right.begin(), right.end(), buffers.input(1));
  buffers.prepare();
  instance.process(buffers.inputs(), buffers.outputs(), frames);
  std::vector<float> interleaved(static_cast<size_t>(2 * frames));
  for (int i = 0; i < frames; ++i) {
    interleaved[static_cast<size_t>(2 * i)] = buffers.output(0)[i];
    interleaved[static_cast<size_t>(2 * i + 1)] = buffers.output(1)[i];
  }
  return interleaved;
}

// Settings that reach every stage: stereo, the AC128 curve, grid current, a pickup band.
void applyBusySettings(Instance& instance) {
  instance.set(7, 0.0f); // Stereo
  instance.set(6, 1.0f); // AC128
  instance.set(3, 0.5f); // Grid Current
  instance.set(5, 0.9f); // Pickup "SC"
  instance.set(1, 0.5f);
  instance.set(4, 0.5f);
}

bool requireEditor(CheckContext& ctx, Instance& instance, Validation& v) {
  if (!instance.hasEditor()) {
    ctx.skip("the plug-in reports no editor (effFlagsHasEditor not set)");
    return false;
  }
  if (!v.display) {
    ctx.fail("XOpenDisplay", "no display to open the editor in: %s", v.displayProblem.c_str());
    return false;
  }
  return true;
}

namespace {

PluginFacts learned;

std::string textAnswer(Instance& instance, VstInt32 opcode) {
  char text[513] = {};
  instance.dispatch(opcode, 0, 0, text);
  return text;
}

} // namespace

bool PluginFacts::isEmptySlot(int index) const {
  return std::find(emptySlots.begin(), emptySlots.end(), index) != emptySlots.end();
}

const PluginFacts& facts() {
  return learned;
}

bool learnPluginFacts(Plugin& plugin, std::string& why) {
  Instance instance(plugin);
  if (!instance) {
    why = "the entry point made no instance";
    return false;
  }
  const AEffect* record = instance.record();
  PluginFacts found;
  found.numParams = record->numParams;
  found.numPrograms = record->numPrograms;
  found.uniqueID = record->uniqueID;
  found.hasEditor = (record->flags & effFlagsHasEditor) != 0;
  found.effectName = textAnswer(instance, effGetEffectName);
  found.vendorString = textAnswer(instance, effGetVendorString);
  found.productString = textAnswer(instance, effGetProductString);
  for (int index = 0; index < found.numParams; ++index) {
    unsigned char name[512];
    memset(name, 0xAA, sizeof name);
    instance.dispatch(effGetParamName, index, 0, name);
    bool untouched = true;
    for (unsigned char byte : name)
      untouched = untouched && byte == 0xAA;
    if (untouched) found.emptySlots.push_back(index);
  }
  ERect* rect = nullptr;
  if (found.hasEditor && instance.dispatch(effEditGetRect, 0, 0, &rect) == 1 && rect != nullptr) {
    found.editorWidth = rect->right - rect->left;
    found.editorHeight = rect->bottom - rect->top;
  }
  learned = found;
  return true;
}
