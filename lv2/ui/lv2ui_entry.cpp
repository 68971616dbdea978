// The UI binary's one export: the descriptor of Sparkwell's X11 UI. The host hands it the X
// window to embed in (ui:parent), its write function, and optionally ui:touch, ui:resize and
// its options (ui:scaleFactor, read with its urid:map); it drives the window through
// ui:idleInterface, delivers control values through port_event and a new scale factor through
// the options interface.
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

#include "port_map.h"
#include "ui_effect.h"

namespace {

using sparkwell_lv2::kPluginUri;
using sparkwell_lv2::kUiUri;

// What the host holds: the UI and the host's calls into it that are under way. A host may call
// cleanup from inside a call the UI makes to it (its write function, while idle handles a
// click): the UI then stops talking to the host at once and is destroyed when the outermost call
// into it returns, so that nothing on the way back out uses freed memory.
struct UiHandle {
  UiEffect* ui = nullptr;
  const LV2_URID_Map* map = nullptr; // for later options
  int32_t calls = 0;
  bool cleanedUp = false;
};

void destroy(UiHandle* handle) {
  try {
    delete handle->ui;
  } catch (...) {
  }
  delete handle;
}

// One call of the host into the UI; declared first in an entry, so it ends last.
class HostCall {
public:
  explicit HostCall(UiHandle* entered) : handle(entered) { ++handle->calls; }
  ~HostCall() {
    if (--handle->calls == 0 && handle->cleanedUp) destroy(handle);
  }
  HostCall(const HostCall&) = delete;
  HostCall& operator=(const HostCall&) = delete;

private:
  UiHandle* handle;
};

const void* featureData(const LV2_Feature* const* features, const char* uri) {
  if (features == nullptr) return nullptr;
  for (const LV2_Feature* const* feature = features; *feature != nullptr; ++feature)
    if ((*feature)->URI != nullptr && std::strcmp((*feature)->URI, uri) == 0)
      return (*feature)->data;
  return nullptr;
}

// The host's ui:scaleFactor among `options` (an atom:Float), or 0 when it gives none.
float scaleFactorOption(const LV2_Options_Option* options, const LV2_URID_Map* map) {
  if (options == nullptr || map == nullptr || map->map == nullptr) return 0.0f;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* option = options; option->key != 0; ++option)
    if (option->context == LV2_OPTIONS_INSTANCE && option->key == key &&
        option->type == floatType && option->size == sizeof(float) && option->value != nullptr) {
      float factor;
      std::memcpy(&factor, option->value, sizeof factor);
      return factor;
    }
  return 0.0f;
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
  const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
  const auto* options =
      static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));

  auto* handle = new (std::nothrow) UiHandle;
  if (handle == nullptr) return nullptr;
  handle->map = map;
  try {
    handle->ui = new UiEffect(write, controller, touch, resize);
    // Before the window opens, so that it opens at the host's size.
    const float factor = scaleFactorOption(options, map);
    if (factor > 0.0f) handle->ui->setScaleFactor(factor);
    if (!handle->ui->openEditor(parent)) {
      destroy(handle);
      return nullptr;
    }
  } catch (...) {
    destroy(handle);
    return nullptr;
  }
  if (widget != nullptr) *widget = reinterpret_cast<LV2UI_Widget>(handle->ui->editorWindow());
  if (resize != nullptr && resize->ui_resize != nullptr)
    resize->ui_resize(resize->handle, handle->ui->editorWidth(), handle->ui->editorHeight());
  return handle;
}

void cleanup(LV2UI_Handle host) {
  auto* handle = static_cast<UiHandle*>(host);
  if (handle->calls == 0) {
    destroy(handle);
    return;
  }
  handle->cleanedUp = true;
  try {
    handle->ui->hostGone();
  } catch (...) {
  }
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  // Format 0 is a control port's float; anything else (atoms, peaks) is not ours to read.
  if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  auto* ui = static_cast<UiHandle*>(handle);
  HostCall call(ui);
  try {
    if (!ui->cleanedUp) ui->ui->portEvent(port, value);
  } catch (...) {
  }
}

int idle(LV2UI_Handle handle) {
  auto* ui = static_cast<UiHandle*>(handle);
  HostCall call(ui);
  try {
    if (!ui->cleanedUp) ui->ui->idleEditor();
  } catch (...) {
  }
  return 0; // open until the host cleans up
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

uint32_t getOptions(LV2_Handle /*handle*/, LV2_Options_Option* /*options*/) {
  return LV2_OPTIONS_ERR_UNKNOWN;
}

// A new scale factor resizes the open window, then the host's through ui:resize.
uint32_t setOptions(LV2_Handle handle, const LV2_Options_Option* options) {
  auto* ui = static_cast<UiHandle*>(handle);
  HostCall call(ui);
  const float factor = scaleFactorOption(options, ui->map);
  if (!(factor > 0.0f) || ui->cleanedUp) return LV2_OPTIONS_ERR_UNKNOWN;
  try {
    return ui->ui->setScaleFactor(factor) ? LV2_OPTIONS_SUCCESS : LV2_OPTIONS_ERR_BAD_VALUE;
  } catch (...) {
    return LV2_OPTIONS_ERR_UNKNOWN;
  }
}

const LV2_Options_Interface kOptionsInterface = {getOptions, setOptions};

const void* extensionData(const char* uri) {
  if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  if (uri != nullptr && std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &kOptionsInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor*
lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
