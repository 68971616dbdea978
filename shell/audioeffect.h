// The base of every effect object: owns the AEffect record the host holds, the editor object,
// the host callback and the basic state (rate, block size, counts, current program). Every
// host request is a virtual operation with a do-nothing or answer-0 default.
#pragma once

#include "aeffect.h"

#include <atomic>

class AEffEditor;

class AudioEffect {
public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();

  // Virtual operations in their slot order.
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);
  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}
  virtual void setSampleRate(float newRate) { sampleRate = newRate; }
  virtual void setBlockSize(VstInt32 newSize) { blockSize = newSize; }
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames);
  virtual void setParameter(VstInt32 index, float value);
  virtual float getParameter(VstInt32 index);
  virtual void setParameterAutomated(VstInt32 index, float value);
  virtual VstInt32 getProgram() { return curProgram.load(std::memory_order_relaxed); }
  virtual void setProgram(VstInt32 program) {
    curProgram.store(program, std::memory_order_relaxed);
  }
  virtual void setProgramName(char* name);
  virtual void getProgramName(char* name);
  virtual void getParameterLabel(VstInt32 index, char* label);
  virtual void getParameterDisplay(VstInt32 index, char* text);
  virtual void getParameterName(VstInt32 index, char* text);
  virtual VstInt32 getChunk(void** data, bool isPreset = false);
  virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false);
  virtual void setUniqueID(VstInt32 iD) { cEffect.uniqueID = iD; }
  virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
  virtual void canProcessReplacing(bool state = true);
  virtual void canDoubleReplacing(bool state = true);
  virtual void programsAreChunks(bool state = true);
  virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }
  virtual AEffEditor* getEditor() { return editor; }
  virtual AEffect* getAeffect() { return &cEffect; }
  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }
  virtual VstInt32 getMasterVersion();
  virtual VstInt32 getCurrentUniqueId();
  virtual void masterIdle();
  virtual void dB2string(float value, char* text, VstInt32 maxLen);
  virtual void Hz2string(float samples, char* text, VstInt32 maxLen);
  virtual void ms2string(float samples, char* text, VstInt32 maxLen);
  virtual void float2string(float value, char* text, VstInt32 maxLen);
  virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);
  // Deprecated operations, the first of them the accumulating process (does nothing).
  virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);

  // Not virtual: stores the editor and sets or clears effFlagsHasEditor.
  void setEditor(AEffEditor* newEditor);

  // The calls into the instance that can reach the host (the dispatcher entry and the editor's
  // window events) are counted, because the host may end the instance with effClose from inside
  // one of its callbacks while such a call is still under way. The instance then closes its
  // window, stops talking to the host and is destroyed when the outermost call returns.
  void enterCall();
  // Ends a call begun with enterCall; destroys `effect` when it was the outermost call and the
  // host has closed the instance meanwhile. Nothing of the instance may be touched afterwards.
  static void leaveCall(AudioEffect* effect);

protected:
  audioMasterCallback audioMaster;
  AEffEditor* editor;
  float sampleRate;
  VstInt32 blockSize;
  VstInt32 numPrograms;
  VstInt32 numParams;
  // Written by program selection on the user-interface thread and read by setParameter on any
  // thread (the audio thread included), so it is a lock-free 32-bit atomic.
  std::atomic<VstInt32> curProgram;
  AEffect cEffect;

  // Calls audioMaster with &cEffect; answers 0 when there is no callback or the host has
  // closed the instance while a call was still under way.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

private:
  // The record's dispatcher entry.
  static VstIntPtr dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt);
  // What effClose does besides the effect's close. When the destruction has to wait for a call
  // under way, the window goes now all the same (ending an edit in progress at the host, which
  // still listens while it is inside effClose), and from then on nothing is sent to the host,
  // which holds the instance as gone.
  void closedByHost();

  // Calls under way (enterCall), whether effClose came, and whether the host is no longer
  // called; 32-bit, as the host may call the dispatcher from more than one thread.
  std::atomic<int32_t> callDepth{0};
  std::atomic<int32_t> hostClosed{0};
  std::atomic<int32_t> hostSilenced{0};
};

// Made by the effect (one definition in the plug-in): constructs one effect object for the
// host callback, or answers null when it cannot be made.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
