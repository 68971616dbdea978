// Loads a VST 2.4 plug-in module the way a DAW does (the host kit's library loading, entry point
// and host callback) and wraps the requests this tool makes of one instance.
#pragma once

#include "aeffect.h"
#include "hostkit.h"

#include <memory>
#include <string>

class PluginHost {
public:
  // Loads the module at `path` and creates one instance. Throws a ToolError naming the problem
  // when the file cannot be loaded, has no entry point, or the entry point makes no instance.
  static std::unique_ptr<PluginHost> load(const std::string& path);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  const std::string& path() const { return path_; }
  const AEffect& record() const { return *effect_; }
  // The instance's record, for requests this class does not wrap.
  AEffect* instance() const { return effect_; }

  std::string effectName() const;
  std::string vendorString() const;
  std::string productString() const;
  VstIntPtr vendorVersion() const;
  VstIntPtr vstVersion() const;
  VstIntPtr category() const;

  int numParameters() const { return effect_->numParams; }
  int numPrograms() const { return effect_->numPrograms; }
  std::string parameterName(int index) const;
  std::string parameterLabel(int index) const;
  std::string parameterDisplay(int index) const;
  float getParameter(int index) const;
  void setParameter(int index, float value);

  int currentProgram() const;
  void setProgram(int program);
  std::string programName() const;
  // The name of any program without selecting it; false when the plug-in does not answer.
  bool programNameIndexed(int program, std::string& name) const;

  void setSampleRate(float rate);
  void setBlockSize(int frames);
  void setProcessing(bool on); // effMainsChanged: resume (true) or suspend (false)

  // Number of audio channels the buffers given to process() must hold: at least two each way.
  int inputChannels() const;
  int outputChannels() const;
  void process(float** inputs, float** outputs, int frames);

private:
  PluginHost(std::string path, std::unique_ptr<hostkit::PluginLibrary> library,
             std::unique_ptr<hostkit::RecordingHost> host, AEffect* effect);
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  std::string textRequest(VstInt32 opcode, VstInt32 index) const;

  std::string path_;
  std::unique_ptr<hostkit::PluginLibrary> library_;
  std::unique_ptr<hostkit::RecordingHost> host_;
  AEffect* effect_;
  bool processing_ = false;
};
