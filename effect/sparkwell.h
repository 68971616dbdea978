// Sparkwell: a treble booster into a valve amp input, as a stereo VST 2.4 effect. The sound
// (parameter values, their derivations, the programs, the chain) is the core's
// (core/sparkwell_core.h); this class is what the VST host sees of it: the parameter names,
// labels and displays, the program requests, the identity, the audio callback, and the editor,
// which it creates and tells of every parameter change.
//
// Threads: the user interface (dispatcher requests, the editor) and the audio thread
// (processReplacing) run at the same time, and either may set parameters (see the core).
#pragma once

#include "audioeffectx.h"
#include "editor_owner.h"
#include "sparkwell_core.h"

static_assert(kProgramNameSize == kVstMaxProgNameLen, "a program's name is the host's length");

class Sparkwell : public AudioEffectX, private EditorOwner {
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
  // EditorOwner: the window's controls reach the parameters and the host as the VST 2.4 base
  // defines it.
  float parameterValue(int32_t index) override { return getParameter(index); }
  void controlChanged(int32_t index, float value) override { setParameterAutomated(index, value); }
  void beginControlEdit(int32_t index) override { beginEdit(index); }
  void endControlEdit(int32_t index) override { endEdit(index); }

  SparkwellCore core;
};
