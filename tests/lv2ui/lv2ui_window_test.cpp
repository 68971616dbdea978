// The LV2 UI binary as a host runs it: dlopen, lv2ui_descriptor, instantiate inside the host's
// X window (ui:parent) with a recording write function, ui:touch and ui:resize, the control
// values sent through port_event, idle through ui:idleInterface, and cleanup. Pointer input goes
// through XTest; what the UI's window shows is compared with the faces worked out from the
// pictures.
#include <dirent.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "panel_model.h"
#include "parameters.h"
#include "plugin_host.h"
#include "port_map.h"
#include "x11_host_window.h"

namespace sparkwell_test {

namespace {

using sparkwell_lv2::kPluginUri;
using sparkwell_lv2::kUiUri;
using sparkwell_lv2::portOfParameter;

// Control ports of the parameters (control tags) the tests drive.
constexpr uint32_t kGainPort = portOfParameter(kGain), kInputPort = portOfParameter(kInput),
                   kTreblePort = portOfParameter(kTreble), kPickupPort = portOfParameter(kPickup),
                   kTransistorPort = portOfParameter(kTransistor),
                   kStereoPort = portOfParameter(kStereo), kEffectPort = portOfParameter(kEffect);

// Program 0's parameter values in tag order (the tab at 8 shows the front face).
std::array<float, kNumParams> programZeroValues() {
  std::array<float, kNumParams> values{};
  for (int index = 0; index < kNumParams; ++index)
    values[index] = kParameters[index].defaultValue;
  return values;
}
const std::array<float, kNumParams> kProgramZeroValues = programZeroValues();

// Our composition and the plug-in's premultiplied one round differently at soft edges.
constexpr int kTolerance = 2;

// Points inside the controls, in the window's pixels.
constexpr int kTabX = 400, kTabY = 12;
constexpr int kSetX = 224, kSetY = 186;
constexpr int kBoostX = 104, kBoostY = 186;
constexpr int kInputX = 61, kInputY = 67;
constexpr int kTransistorX = 172, kTransistorY = 74;
constexpr int kStereoX = 172, kStereoY = 161;
constexpr int kPickupX = 271, kPickupTopY = 84, kPickupBottomY = 148;

int openDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder) != nullptr)
      ++count;
    closedir(folder);
  }
  return count;
}

// What the UI told the host, in order: "t12+" (touch grabbed), "w12=0.00" (a float written),
// "t12-" (released). Anything malformed is recorded as such.
struct HostSide {
  std::vector<std::string> events;
  std::vector<std::pair<uint32_t, float>> writes;
  int resizedWidth = 0, resizedHeight = 0;
  // What the host does on the next write, after recording it (a host that cleans the UI up).
  std::function<void()> onNextWrite;

  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer) {
    auto* self = static_cast<HostSide*>(controller);
    if (size != sizeof(float) || protocol != 0 || buffer == nullptr) {
      self->events.push_back("malformed write to " + std::to_string(port));
      return;
    }
    float value;
    std::memcpy(&value, buffer, sizeof value);
    char text[32];
    std::snprintf(text, sizeof text, "w%u=%.2f", port, static_cast<double>(value));
    self->events.push_back(text);
    self->writes.emplace_back(port, value);
    std::function<void()> hook;
    hook.swap(self->onNextWrite);
    if (hook) hook();
  }
  static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    static_cast<HostSide*>(handle)->events.push_back("t" + std::to_string(port) +
                                                     (grabbed ? "+" : "-"));
  }
  static int resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<HostSide*>(handle);
    self->resizedWidth = width;
    self->resizedHeight = height;
    return 0;
  }
  void clear() {
    events.clear();
    writes.clear();
  }
  // urid:map: each URI's number is its place in `uris`, from 1.
  std::vector<std::string> uris;
  static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<HostSide*>(handle);
    for (size_t i = 0; i < self->uris.size(); ++i)
      if (self->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    self->uris.push_back(uri);
    return static_cast<LV2_URID>(self->uris.size());
  }
};

class UiLibrary {
public:
  UiLibrary() : library(SPARKWELL_UI_PATH) {
    if (!library.isLoaded()) return;
    // The symbol is looked up as any export; its type is the LV2 one.
    const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(
        reinterpret_cast<void*>(library.entry("lv2ui_descriptor")));
    if (entry != nullptr) descriptor = entry(0);
    if (entry != nullptr) second = entry(1);
  }
  PluginLibrary library;
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Descriptor* second = nullptr;
};

class Lv2UiWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ui = new UiLibrary;
    artwork = new PanelArtwork(SPARKWELL_RESOURCES_DIR);
  }
  static void TearDownTestSuite() {
    delete artwork;
    delete ui;
  }

  void SetUp() override {
    ASSERT_TRUE(xvfbStarted) << "Xvfb did not start";
    ASSERT_TRUE(ui->library.isLoaded()) << ui->library.loadError();
    ASSERT_NE(ui->descriptor, nullptr);
    ASSERT_TRUE(artwork->loaded());
    window = std::make_unique<X11HostWindow>(kPanelWidth, kPanelHeight);
    ASSERT_TRUE(window->isOpen());
    idleInterface = static_cast<const LV2UI_Idle_Interface*>(
        ui->descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idleInterface, nullptr);
    window->setIdle([this] {
      if (handle != nullptr) {
        EXPECT_EQ(idleInterface->idle(handle), 0);
      }
    });
  }
  void TearDown() override {
    cleanup();
    window.reset();
  }

  // Instantiates with the features a full host offers (or only some of them), as a host does:
  // then the value of every control port.
  // With a `scaleFactor` above 0 the host's options carry it as ui:scaleFactor.
  LV2UI_Handle instantiate(bool withParent = true, bool withTouch = true, void* parent = nullptr,
                           float scaleFactor = 0.0f) {
    parentFeature = {LV2_UI__parent, parent != nullptr ? parent : window->parentHandle()};
    touchFeature = {LV2_UI__touch, &touchData};
    resizeFeature = {LV2_UI__resize, &resizeData};
    idleFeature = {LV2_UI__idleInterface, nullptr};
    std::vector<const LV2_Feature*> features = {&idleFeature, &resizeFeature};
    if (scaleFactor > 0.0f) {
      factorOption = scaleFactor;
      setScaleOptions(&factorOption);
      mapFeature = {LV2_URID__map, &mapData};
      optionsFeature = {LV2_OPTIONS__options, options};
      features.push_back(&mapFeature);
      features.push_back(&optionsFeature);
    }
    if (withParent) features.push_back(&parentFeature);
    if (withTouch) features.push_back(&touchFeature);
    features.push_back(nullptr);
    widget = nullptr;
    handle = ui->descriptor->instantiate(ui->descriptor, kPluginUri, "/nowhere/sparkwell.lv2/",
                                         &HostSide::write, &host, &widget, features.data());
    if (handle != nullptr)
      for (uint32_t port = sparkwell_lv2::kFirstControlPort; port < sparkwell_lv2::kNumPorts;
           ++port) {
        const int32_t parameter = sparkwell_lv2::parameterOfPort(port);
        sendPort(port, sparkwell_lv2::portFromParameter(parameter, kProgramZeroValues[parameter]));
      }
    return handle;
  }

  void cleanup() {
    if (handle != nullptr) ui->descriptor->cleanup(handle);
    handle = nullptr;
  }

  // The options a host sends: ui:scaleFactor as an atom:Float, then the end of the list.
  void setScaleOptions(const float* factor) {
    options[0] = {LV2_OPTIONS_INSTANCE,
                  0,
                  HostSide::map(&host, LV2_UI__scaleFactor),
                  sizeof(float),
                  HostSide::map(&host, LV2_ATOM__Float),
                  factor};
    options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  }

  void sendPort(uint32_t port, float value) {
    ui->descriptor->port_event(handle, port, sizeof value, 0, &value);
  }

  // The one window the UI made inside ours; 0 when there is not exactly one.
  Window uiWindow() {
    const std::vector<Window> children = window->children();
    return children.size() == 1 ? children[0] : 0;
  }

  // Waits up to a second (idling) for the UI's window to show `state`.
  void expectShows(const PanelState& state, const char* what) {
    const RgbImage expected = artwork->compose(state);
    ImageDifference difference{expected.pixels.size(), 255, -1, -1};
    for (int attempt = 0; attempt < 50; ++attempt) {
      const Window shown = uiWindow();
      if (shown == 0) break;
      difference =
          compareImages(window->capture(shown, kPanelWidth, kPanelHeight), expected, kTolerance);
      if (difference.differing == 0) break;
      window->idleFor(20);
    }
    EXPECT_EQ(difference.differing, 0u)
        << what << ": first differing pixel at " << difference.firstX << ", " << difference.firstY
        << ", largest channel difference " << difference.largest;
  }

  static PanelState state(const std::array<float, 10>& values, bool backFace) {
    PanelState panel;
    panel.values = values;
    panel.values[kPanelTabTag] = backFace ? 1.0f : 0.0f;
    panel.backFace = backFace;
    return panel;
  }

  static UiLibrary* ui;
  static PanelArtwork* artwork;
  std::unique_ptr<X11HostWindow> window;
  const LV2UI_Idle_Interface* idleInterface = nullptr;
  HostSide host;
  LV2UI_Touch touchData{&host, &HostSide::touch};
  LV2UI_Resize resizeData{&host, &HostSide::resize};
  LV2_URID_Map mapData{&host, &HostSide::map};
  LV2_Options_Option options[2]{};
  float factorOption = 0.0f;
  LV2_Feature parentFeature{}, touchFeature{}, resizeFeature{}, idleFeature{}, mapFeature{},
      optionsFeature{};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle handle = nullptr;
};

UiLibrary* Lv2UiWindowTest::ui = nullptr;
PanelArtwork* Lv2UiWindowTest::artwork = nullptr;

TEST_F(Lv2UiWindowTest, DescribesOneX11UiThatOpensInsideTheParentAtItsFixedSize) {
  EXPECT_STREQ(ui->descriptor->URI, kUiUri);
  EXPECT_EQ(ui->second, nullptr);

  ASSERT_NE(instantiate(), nullptr);
  const Window shown = uiWindow();
  ASSERT_NE(shown, 0u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(widget), shown) << "the widget is the UI's X window";
  int width = 0, height = 0;
  window->sizeOf(shown, width, height);
  EXPECT_EQ(width, 450);
  EXPECT_EQ(height, 306);
  EXPECT_EQ(host.resizedWidth, 450);
  EXPECT_EQ(host.resizedHeight, 306);
  window->idleFor(50);
  EXPECT_TRUE(window->isViewable(shown));
  expectShows(state(kProgramZeroValues, false), "front face at program 0");
  EXPECT_TRUE(host.events.empty()) << "nothing is written back before the user acts";

  cleanup();
  EXPECT_TRUE(window->children().empty());
}

TEST_F(Lv2UiWindowTest, AtTheHostsScaleFactor2TheWindowDoublesAndBoostAnswersAtItsPlace) {
  window = std::make_unique<X11HostWindow>(kPanelWidth * 2, kPanelHeight * 2);
  ASSERT_TRUE(window->isOpen());
  window->setIdle([this] { EXPECT_EQ(idleInterface->idle(handle), 0); });
  ASSERT_NE(instantiate(true, true, nullptr, 2.0f), nullptr);
  const Window shown = uiWindow();
  ASSERT_NE(shown, 0u);
  int width = 0, height = 0;
  window->sizeOf(shown, width, height);
  EXPECT_EQ(width, 900);
  EXPECT_EQ(height, 612);
  EXPECT_EQ(host.resizedWidth, 900);
  EXPECT_EQ(host.resizedHeight, 612);
  window->idleFor(50);
  window->click(kBoostX * 2, kBoostY * 2);
  EXPECT_EQ(host.events, (std::vector<std::string>{"t12+", "w12=0.00", "t12-"}));

  // A later factor through the options interface: the window, then the host's.
  const auto* optionsInterface = static_cast<const LV2_Options_Interface*>(
      ui->descriptor->extension_data(LV2_OPTIONS__interface));
  ASSERT_NE(optionsInterface, nullptr);
  const float smaller = 1.5f;
  setScaleOptions(&smaller);
  EXPECT_EQ(optionsInterface->set(handle, options), static_cast<uint32_t>(LV2_OPTIONS_SUCCESS));
  window->sizeOf(shown, width, height);
  EXPECT_EQ(width, 675);
  EXPECT_EQ(height, 459);
  EXPECT_EQ(host.resizedWidth, 675);
  EXPECT_EQ(host.resizedHeight, 459);
}

TEST_F(Lv2UiWindowTest, ClicksOnEverySwitchWriteTheirPortsBetweenTouches) {
  ASSERT_NE(instantiate(), nullptr);
  window->idleFor(50);
  std::array<float, kNumParams> values = kProgramZeroValues;

  window->click(kBoostX, kBoostY);
  EXPECT_EQ(host.events, (std::vector<std::string>{"t12+", "w12=0.00", "t12-"}));
  values[kEffect] = 0.0f;
  expectShows(state(values, false), "BOOST off");

  // The tab flips the face and tells the host nothing: it has no port.
  host.clear();
  window->click(kTabX, kTabY);
  EXPECT_TRUE(host.events.empty());
  expectShows(state(values, true), "back face");

  host.clear();
  window->click(kTransistorX, kTransistorY);
  window->click(kStereoX, kStereoY);
  window->click(kPickupX, kPickupTopY);
  window->click(kPickupX, kPickupBottomY);
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"t10+", "w10=1.00", "t10-", "t11+", "w11=0.00", "t11-", "t9+",
                                      "w9=0.00", "t9-", "t9+", "w9=4.00", "t9-"}));
  values[kTransistor] = 1.0f;
  values[kStereo] = 0.0f;
  values[kPickup] = 1.0f;
  expectShows(state(values, true), "AC128, Stereo, Single Coil");

  host.clear();
  window->click(kTabX, kTabY);
  EXPECT_TRUE(host.events.empty());
  expectShows(state(values, false), "front face again");
}

TEST_F(Lv2UiWindowTest, KnobDragsWriteRisingDecibelsAndAHostWithoutTouchStillGetsTheValues) {
  ASSERT_NE(instantiate(), nullptr);
  window->idleFor(50);
  // Linear knobs: 50 pixels up out of the 200 that span the range, 0.6 to 0.85 = +9.5 dB.
  window->drag(kSetX, kSetY, 0, -50, 10);
  ASSERT_GE(host.events.size(), 7u); // a touch, at least five values, a release
  EXPECT_EQ(host.events.front(), "t4+");
  EXPECT_EQ(host.events.back(), "t4-");
  float previous = -8.0f;
  for (const auto& [port, value] : host.writes) {
    EXPECT_EQ(port, kGainPort);
    EXPECT_GT(value, previous) << "moving up must raise the gain";
    previous = value;
  }
  EXPECT_NEAR(previous, 9.5f, 1e-4f);
  std::array<float, kNumParams> values = kProgramZeroValues;
  values[kGain] = 0.85f;
  expectShows(state(values, false), "SET at the dragged value");

  // The same on the back face, for a host that offers no ui:touch: 0.5 to 0.7 = +12 dB.
  cleanup();
  host.clear();
  ASSERT_NE(instantiate(true, false), nullptr);
  window->idleFor(50);
  window->click(kTabX, kTabY);
  window->drag(kInputX, kInputY, 0, -40, 8);
  ASSERT_FALSE(host.writes.empty());
  for (const std::string& event : host.events)
    EXPECT_EQ(event[0], 'w') << event;
  EXPECT_EQ(host.writes.back().first, kInputPort);
  EXPECT_NEAR(host.writes.back().second, 12.0f, 1e-4f);
}

TEST_F(Lv2UiWindowTest, PortEventsMoveTheControlsAndOnlyControlFloatsAreRead) {
  ASSERT_NE(instantiate(), nullptr);
  window->idleFor(50);
  sendPort(kGainPort, -50.0f);
  sendPort(kEffectPort, 0.0f);
  sendPort(kInputPort, 30.0f);
  sendPort(kTreblePort, 0.25f);
  sendPort(kPickupPort, 1.0f);
  sendPort(kTransistorPort, 1.0f);
  sendPort(kStereoPort, 0.0f);
  // Not control values: a float for an audio port, a port beyond the last, an atom-format event
  // and a size that is no float. None may move anything.
  const float loud = 1.0f;
  sendPort(0, loud);
  sendPort(13, loud);
  const uint8_t atom[16] = {8, 0, 0, 0, 1, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
  ui->descriptor->port_event(handle, kGainPort, sizeof atom, 1, atom);
  ui->descriptor->port_event(handle, kGainPort, 2, 0, atom);
  window->idleFor(20);

  std::array<float, kNumParams> values = kProgramZeroValues;
  values[kGain] = 0.0f;
  values[kEffect] = 0.0f;
  values[kInput] = 1.0f;
  values[kTreble] = 0.25f;
  values[kPickup] = 0.25f;
  values[kTransistor] = 1.0f;
  values[kStereo] = 0.0f;
  expectShows(state(values, false), "SET at -50 dB, BOOST off");
  window->click(kTabX, kTabY);
  expectShows(state(values, true), "Input at +30 dB, Treble 0.25, Hot HB, AC128, Stereo");
  EXPECT_TRUE(host.events.empty()) << "a host's change is not echoed back";
}

TEST_F(Lv2UiWindowTest, HundredInstantiateIdleCleanupCyclesLeaveNoWindowOrDescriptorBehind) {
  // One cycle first, so that whatever the libraries set up once is in place.
  ASSERT_NE(instantiate(), nullptr);
  window->idleFor(10);
  cleanup();
  const int descriptors = openDescriptors();
  for (int cycle = 0; cycle < 100; ++cycle) {
    // Every tenth cycle on a new host window, as hosts do when they rebuild theirs.
    if (cycle % 10 == 9) window = std::make_unique<X11HostWindow>(kPanelWidth, kPanelHeight);
    ASSERT_NE(instantiate(true, cycle % 2 == 0), nullptr) << cycle;
    EXPECT_EQ(idleInterface->idle(handle), 0);
    EXPECT_EQ(idleInterface->idle(handle), 0);
    ASSERT_EQ(window->children().size(), 1u) << cycle;
    cleanup();
    ASSERT_TRUE(window->children().empty()) << cycle;
  }
  EXPECT_EQ(openDescriptors(), descriptors);
}

// A host that cleans the UI up from inside its write function, while the UI handles a click
// within idle: the edit still ends at the host (inside cleanup), nothing reaches the host after
// that, the window goes, and nothing is used after it was freed (the asan build runs this).
TEST_F(Lv2UiWindowTest, CleanupFromInsideTheWriteFunctionEndsTheUiWhenIdleReturns) {
  ASSERT_NE(instantiate(), nullptr);
  window->idleFor(50);
  host.onNextWrite = [this] { cleanup(); };
  window->click(kBoostX, kBoostY);
  window->idleFor(20);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(host.events, (std::vector<std::string>{"t12+", "w12=0.00", "t12-"}));
  EXPECT_TRUE(window->children().empty());
}

TEST_F(Lv2UiWindowTest, RefusesAHostWithoutAParentWindowOrWithOneThatDoesNotExist) {
  EXPECT_EQ(instantiate(false), nullptr);
  EXPECT_EQ(widget, nullptr);
  // Window ids of the test server's clients lie far below this one.
  EXPECT_EQ(instantiate(true, true, reinterpret_cast<void*>(uintptr_t{0x1ffffff0})), nullptr);
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(ui->descriptor->instantiate(ui->descriptor, kPluginUri, "/nowhere/", &HostSide::write,
                                        &host, &widget, none),
            nullptr);
  EXPECT_EQ(ui->descriptor->instantiate(ui->descriptor, kPluginUri, "/nowhere/", &HostSide::write,
                                        &host, &widget, nullptr),
            nullptr);
  EXPECT_TRUE(window->children().empty());
  EXPECT_TRUE(host.events.empty());
}

} // namespace
} // namespace sparkwell_test
