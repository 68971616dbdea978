#include "ui_editor.h"

#include "cframe.h"
#include "port_map.h"
#include "sparkwelleditor.h"

namespace {

bool hasValue(int32_t index) {
  return parameterInfo(index) != nullptr;
}

} // namespace

UiEditor::UiEditor(LV2UI_Write_Function write, LV2UI_Controller controller,
                   const LV2UI_Touch* touch, const LV2UI_Resize* resize)
    : hostWrite(write), hostController(controller), hostTouch(touch),
      hostResize(resize != nullptr && resize->ui_resize != nullptr ? resize : nullptr), values{} {
  // Program 0 until the host's port events say otherwise: a host may send them only after its
  // first idle calls, and the window is drawn before that.
  for (int32_t index = 0; index < kNumParams; ++index)
    if (const ParameterInfo* info = parameterInfo(index)) values[index] = info->defaultValue;
  // No VST effect behind it: the binding asks no host for idle time or a size change.
  panel.reset(new sparkwelleditor(*this, nullptr));
}

UiEditor::~UiEditor() {
  // Closed while this object is whole: closing may end an edit at the host.
  panel->close();
}

bool UiEditor::open(void* parent) {
  panel->open(parent);
  return window() != 0;
}

uintptr_t UiEditor::window() const {
  const CFrame* frame = panel->getFrame();
  if (frame == nullptr || frame->getPlatformFrame() == nullptr) return 0;
  return frame->getPlatformFrame()->getNativeWindow().id;
}

bool UiEditor::setScaleFactor(float factor) {
  const int32_t oldWidth = width(), oldHeight = height();
  if (!panel->setHostScaleFactor(factor)) return false;
  // The window has followed the factor already; the host's window around it follows here,
  // since the binding has no VST host to ask.
  if (window() != 0 && hostResize != nullptr && (width() != oldWidth || height() != oldHeight))
    hostResize->ui_resize(hostResize->handle, width(), height());
  return true;
}

int32_t UiEditor::width() const {
  ERect* rect = nullptr;
  panel->getRect(&rect);
  return rect != nullptr ? rect->right - rect->left : 0;
}

int32_t UiEditor::height() const {
  ERect* rect = nullptr;
  panel->getRect(&rect);
  return rect != nullptr ? rect->bottom - rect->top : 0;
}

void UiEditor::hostGone() {
  // Closed while the host still listens: closing may end an edit at the host.
  panel->close();
  hostWrite = nullptr;
  hostTouch = nullptr;
  hostResize = nullptr;
}

void UiEditor::idle() {
  panel->idle();
}

void UiEditor::portEvent(uint32_t port, float portValue) {
  const int32_t index = sparkwell_lv2::parameterOfPort(port);
  if (index < 0) return;
  setParameter(index, sparkwell_lv2::parameterFromPort(index, portValue));
}

void UiEditor::setParameter(int32_t index, float value) {
  if (hasValue(index)) values[index] = value;
  panel->setParameter(index, value);
}

float UiEditor::parameterValue(int32_t index) {
  return hasValue(index) ? values[index] : 0.0f;
}

void UiEditor::controlChanged(int32_t index, float value) {
  setParameter(index, value);
  // The tab (index 8) has no port: its flips stay inside the window.
  const int32_t port = sparkwell_lv2::portOfParameter(index);
  if (port < 0 || hostWrite == nullptr) return;
  const float portValue = sparkwell_lv2::portFromParameter(index, value);
  hostWrite(hostController, static_cast<uint32_t>(port), sizeof portValue, 0, &portValue);
}

void UiEditor::beginControlEdit(int32_t index) {
  touch(index, true);
}

void UiEditor::endControlEdit(int32_t index) {
  touch(index, false);
}

void UiEditor::touch(int32_t index, bool grabbed) {
  const int32_t port = sparkwell_lv2::portOfParameter(index);
  if (port >= 0 && hostTouch != nullptr && hostTouch->touch != nullptr)
    hostTouch->touch(hostTouch->handle, static_cast<uint32_t>(port), grabbed);
}
