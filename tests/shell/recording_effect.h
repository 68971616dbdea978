// A small effect and editor on the shell's base classes that write down every operation the
// dispatcher and the record entries reach, with its arguments, so that tests can check where
// each host request lands.
#pragma once

#include <string>
#include <vector>

#include "aeffeditor.h"
#include "audioeffectx.h"

using Journal = std::vector<std::string>;

class RecordingEditor : public AEffEditor {
public:
  RecordingEditor(AudioEffect* effect, Journal& journal) : AEffEditor(effect), journal(journal) {}
  ~RecordingEditor() override { journal.push_back("~RecordingEditor"); }

  bool getRect(ERect** rect) override {
    journal.push_back("getRect");
    *rect = &area;
    return answer;
  }
  bool open(void* ptr) override {
    journal.push_back("open");
    openedWith = ptr;
    return answer;
  }
  void close() override { journal.push_back("close"); }
  void idle() override { journal.push_back("idle"); }
  bool onKeyDown(VstKeyCode& key) override { return record("onKeyDown", key); }
  bool onKeyUp(VstKeyCode& key) override { return record("onKeyUp", key); }
  bool setKnobMode(VstInt32 mode) override {
    journal.push_back("setKnobMode(" + std::to_string(mode) + ")");
    return answer;
  }

  bool answer = true;
  ERect area{0, 0, 306, 450};
  void* openedWith = nullptr;
  VstKeyCode lastKey{};

private:
  bool record(const char* name, const VstKeyCode& key) {
    lastKey = key;
    journal.push_back(name);
    return answer;
  }

  Journal& journal;
};

class RecordingEffect : public AudioEffectX {
public:
  RecordingEffect(audioMasterCallback audioMaster, Journal& journal, VstInt32 numPrograms = 4,
                  VstInt32 numParams = 3)
      : AudioEffectX(audioMaster, numPrograms, numParams), journal(journal) {}
  ~RecordingEffect() override { journal.push_back("~RecordingEffect"); }

  // Reaches the protected state the tests compare against.
  AEffEditor* currentEditor() const { return editor; }
  VstInt32 currentProgram() const { return curProgram.load(); }
  void setFlags(VstInt32 flags) { cEffect.flags = flags; }

  void open() override { note("open"); }
  void close() override { note("close"); }
  void suspend() override { note("suspend"); }
  void resume() override {
    note("resume");
    AudioEffectX::resume();
  }
  void setProgram(VstInt32 program) override {
    note("setProgram(" + std::to_string(program) + ")");
    AudioEffectX::setProgram(program);
  }
  void setProgramName(char* name) override { note("setProgramName(" + std::string(name) + ")"); }
  void getProgramName(char* name) override {
    note("getProgramName");
    name[0] = 'P';
    name[1] = 0;
  }
  void getParameterLabel(VstInt32 index, char*) override { note("label", index); }
  void getParameterDisplay(VstInt32 index, char*) override { note("display", index); }
  void getParameterName(VstInt32 index, char*) override { note("name", index); }
  void setParameter(VstInt32 index, float value) override {
    note("setParameter", index);
    lastValue = value;
  }
  float getParameter(VstInt32 index) override {
    note("getParameter", index);
    return lastValue;
  }
  void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
    note("processReplacing", frames);
    lastInputs = inputs;
    lastOutputs = outputs;
  }
  VstInt32 getChunk(void**, bool isPreset) override {
    note("getChunk", isPreset);
    return 0;
  }
  VstInt32 setChunk(void*, VstInt32 size, bool isPreset) override {
    note("setChunk(" + std::to_string(size) + "," + std::to_string(isPreset) + ")");
    return 0;
  }
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char*) override {
    note("getProgramNameIndexed(" + std::to_string(category) + "," + std::to_string(index) + ")");
    return true;
  }
  bool string2parameter(VstInt32 index, char* text) override {
    note("string2parameter(" + std::to_string(index) + "," + text + ")");
    return true;
  }
  bool setBypass(bool onOff) override {
    note("setBypass", onOff);
    return true;
  }
  bool getEffectName(char*) override {
    note("getEffectName");
    return true;
  }
  bool getVendorString(char*) override {
    note("getVendorString");
    return true;
  }
  bool getProductString(char*) override {
    note("getProductString");
    return true;
  }
  VstInt32 canDo(char* text) override {
    note("canDo(" + std::string(text) + ")");
    return canDoAnswer;
  }

  float lastValue = 0.0f;
  float** lastInputs = nullptr;
  float** lastOutputs = nullptr;
  VstInt32 canDoAnswer = 0;

private:
  void note(const std::string& what) { journal.push_back(what); }
  void note(const std::string& what, VstInt32 argument) {
    journal.push_back(what + "(" + std::to_string(argument) + ")");
  }

  Journal& journal;
};
