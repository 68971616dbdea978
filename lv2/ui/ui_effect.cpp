#include "ui_effect.h"

#include <cstring>

#include "cframe.h"
#include "port_map.h"
#include "sparkwelleditor.h"

namespace {

// What the host's version request answers to an effect built on the 2.4 base.
constexpr VstIntPtr kHostVersion = 2400;

bool hasValue(VstInt32 index) {
  return parameterInfo(index) != nullptr;
}

} // namespace

UiEffect::UiEffect(LV2UI_Write_Function write, LV2UI_Controller controller,
                   const LV2UI_Touch* touch, const LV2UI_Resize* resize)
    : AudioEffectX(&UiEffect::hostCallback, 0, kNumParams), hostWrite(write),
      hostController(controller), hostTouch(touch),
      hostResize(resize != nullptr && resize->ui_resize != nullptr ? resize : nullptr),
      panel(nullptr), values{} {
  // Program 0 until the host's port events say otherwise: a host may send them only after its
  // first idle calls, and the window is drawn before that.
  for (VstInt32 index = 0; index < kNumParams; ++index)
    if (const ParameterInfo* info = parameterInfo(index)) values[index] = info->defaultValue;
  // The editor registers itself with this effect, which deletes it in the base destructor.
  panel = new sparkwelleditor(this);
}

UiEffect::~UiEffect() {
  // Closed while this object is whole: closing may end an edit at the host.
  panel->close();
}

bool UiEffect::openEditor(void* parent) {
  panel->open(parent);
  return editorWindow() != 0;
}

uintptr_t UiEffect::editorWindow() const {
  const CFrame* frame = panel->getFrame();
  if (frame == nullptr || frame->getPlatformFrame() == nullptr) return 0;
  return frame->getPlatformFrame()->getNativeWindow().id;
}

bool UiEffect::setScaleFactor(float factor) {
  return panel->setHostScaleFactor(factor);
}

int32_t UiEffect::editorWidth() const {
  ERect* rect = nullptr;
  panel->getRect(&rect);
  return rect != nullptr ? rect->right - rect->left : 0;
}

int32_t UiEffect::editorHeight() const {
  ERect* rect = nullptr;
  panel->getRect(&rect);
  return rect != nullptr ? rect->bottom - rect->top : 0;
}

void UiEffect::idleEditor() {
  panel->idle();
}

void UiEffect::portEvent(uint32_t port, float portValue) {
  const int32_t index = sparkwell_lv2::parameterOfPort(port);
  if (index < 0) return;
  setParameter(index, sparkwell_lv2::parameterFromPort(index, portValue));
}

void UiEffect::hostGone() {
  // Closed while the host still listens: closing may end an edit at the host.
  panel->close();
  hostWrite = nullptr;
  hostTouch = nullptr;
  hostResize = nullptr;
}

void UiEffect::setParameter(VstInt32 index, float value) {
  if (hasValue(index)) values[index] = value;
  panel->setParameter(index, value);
}

float UiEffect::getParameter(VstInt32 index) {
  return hasValue(index) ? values[index] : 0.0f;
}

VstIntPtr UiEffect::hostCallback(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) {
  auto* self = static_cast<UiEffect*>(static_cast<AudioEffect*>(record->object));
  return self->answerHostCall(opcode, index, value, ptr, opt);
}

VstIntPtr UiEffect::answerHostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   const void* ptr, float opt) {
  const int32_t port = sparkwell_lv2::portOfParameter(index);
  switch (opcode) {
  case audioMasterVersion:
    return kHostVersion;
  case audioMasterAutomate:
    // The tab (index 8) has no port: its flips stay inside the window.
    if (port >= 0 && hostWrite != nullptr) {
      const auto portIndex = static_cast<uint32_t>(port);
      const float portValue = sparkwell_lv2::portFromParameter(index, opt);
      hostWrite(hostController, portIndex, sizeof portValue, 0, &portValue);
    }
    return 0;
  case audioMasterBeginEdit:
  case audioMasterEndEdit:
    if (port >= 0 && hostTouch != nullptr && hostTouch->touch != nullptr)
      hostTouch->touch(hostTouch->handle, static_cast<uint32_t>(port),
                       opcode == audioMasterBeginEdit);
    return 0;
  case audioMasterCanDo:
    // The editor resizes through the host when the host offers ui:resize.
    return hostResize != nullptr && ptr != nullptr &&
                   std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0
               ? 1
               : 0;
  case audioMasterSizeWindow:
    if (hostResize == nullptr) return 0;
    return hostResize->ui_resize(hostResize->handle, index, static_cast<int>(value)) == 0 ? 1 : 0;
  default:
    // No host idle to give: the host drives the UI.
    return 0;
  }
}
