// The UI binary's one export: the descriptor of Sparkwell's X11 UI. The host hands it the X
// window to embed in (ui:parent), its write function, and optionally ui:touch and ui:resize; it
// drives the window through ui:idleInterface and delivers control values through port_event.
#include <lv2/ui/ui.h>

#include <cstring>
#include <new>

#include "port_map.h"
#include "ui_editor.h"

namespace {

using sparkwell_lv2::kPluginUri;
using sparkwell_lv2::kUiUri;

// The editor's fixed size: the front picture's.
constexpr int kWidth = 450;
constexpr int kHeight = 306;

const void* featureData(const LV2_Feature* const* features, const char* uri) {
  if (features == nullptr) return nullptr;
  for (const LV2_Feature* const* feature = features; *feature != nullptr; ++feature)
    if ((*feature)->URI != nullptr && std::strcmp((*feature)->URI, uri) == 0)
      return (*feature)->data;
  return nullptr;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  if (pluginUri != nullptr && std::strcmp(pluginUri, kPluginUri) != 0) return nullptr;
  // ui:parent carries the X window id itself as the pointer; 0 is no window.
  void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
  if (parent == nullptr) return nullptr;
  const auto* touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
  const auto* resize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));

  UiEditor* ui = nullptr;
  try {
    ui = new UiEditor(write, controller, touch);
    if (!ui->open(parent)) {
      delete ui;
      return nullptr;
    }
  } catch (...) {
    delete ui;
    return nullptr;
  }
  if (widget != nullptr) *widget = reinterpret_cast<LV2UI_Widget>(ui->window());
  if (resize != nullptr && resize->ui_resize != nullptr)
    resize->ui_resize(resize->handle, kWidth, kHeight);
  return ui;
}

void cleanup(LV2UI_Handle handle) {
  try {
    delete static_cast<UiEditor*>(handle);
  } catch (...) {
  }
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  // Format 0 is a control port's float; anything else (atoms, peaks) is not ours to read.
  if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  try {
    static_cast<UiEditor*>(handle)->portEvent(port, value);
  } catch (...) {
  }
}

int idle(LV2UI_Handle handle) {
  try {
    static_cast<UiEditor*>(handle)->idle();
  } catch (...) {
  }
  return 0; // open until the host cleans up
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
  if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
