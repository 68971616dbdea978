// The effect of the probe plug-in: a bare AudioEffectX whose construction or operations fail
// when the host asks for it. The host chooses through its answer to audioMasterCurrentId,
// which the probe asks for first thing in its constructor.
#include <new>
#include <stdexcept>

#include "aeffguieditor.h"
#include "audioeffectx.h"
#include "probe_modes.h"

namespace {

// An editor whose construction fails after its base has already registered it with the
// effect, as an allocation inside an editor's constructor would.
class ThrowingEditor : public AEffGUIEditor {
public:
  explicit ThrowingEditor(AudioEffect* effect) : AEffGUIEditor(effect) { throw std::bad_alloc(); }
};

class ProbeEffect : public AudioEffectX {
public:
  explicit ProbeEffect(audioMasterCallback audioMaster)
      : AudioEffectX(audioMaster, 1, 1), mode(getCurrentUniqueId()) {
    if (mode == kProbeThrowInConstructor) throw std::bad_alloc();
    if (mode == kProbeEditorThrows) setEditor(new ThrowingEditor(this));
  }

  void open() override { failIfAsked(); }
  void close() override { failIfAsked(); }
  void setParameter(VstInt32, float) override { failIfAsked(); }
  float getParameter(VstInt32) override {
    failIfAsked();
    return 0.5f;
  }
  void processReplacing(float**, float** outputs, VstInt32 sampleFrames) override {
    failIfAsked();
    for (VstInt32 i = 0; i < sampleFrames; ++i)
      outputs[0][i] = outputs[1][i] = 0.25f;
  }
  bool getEffectName(char*) override {
    if (mode == kProbeThrowInOperations) throw 42; // not even a std::exception
    return true;
  }

private:
  void failIfAsked() {
    if (mode == kProbeThrowInOperations) throw std::runtime_error("probe failure");
  }

  VstInt32 mode;
};

} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  // Asked separately so that the null answer happens before any construction.
  if (audioMaster(nullptr, audioMasterCurrentId, 0, 0, nullptr, 0.0f) == kProbeAnswerNull)
    return nullptr;
  return new ProbeEffect(audioMaster);
}
