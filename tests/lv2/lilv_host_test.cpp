// The LV2 bundle as a host sees it through lilv (the library Linux hosts load plug-ins with):
// its description against what the VST module answers, and its sound against the VST module
// driven with the same parameter values, bit for bit.
#include <gtest/gtest.h>
#include <lilv/lilv.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "plugin_host.h"
#include "port_map.h"
#include "recorded_digests.h"

using namespace sparkwell_lv2;
using sparkwell_test::PluginInstance;
using sparkwell_test::PluginLibrary;
using sparkwell_test::StereoBuffer;
using sparkwell_test::TestHost;

// The DSP binary must never reach the X server: it builds the effect, whose editor object only
// decodes its pictures. The plug-ins resolve xcb_connect to this one, exported by the test.
namespace {
int xcbConnects = 0;
}
struct xcb_connection_t;
extern "C" __attribute__((visibility("default"))) xcb_connection_t* xcb_connect(const char*, int*) {
  ++xcbConnects;
  std::fprintf(stderr, "xcb_connect called: a plug-in reached for the X server\n");
  return nullptr;
}

namespace {

constexpr const char* kUri = "https://quillane.example/lv2/sparkwell";
constexpr const char* kUiUri = "https://quillane.example/lv2/sparkwell#ui";
constexpr const char* kLv2 = "http://lv2plug.in/ns/lv2core#";
constexpr const char* kUi = "http://lv2plug.in/ns/extensions/ui#";

struct NodeFree {
  void operator()(LilvNode* node) const { lilv_node_free(node); }
};
using Node = std::unique_ptr<LilvNode, NodeFree>;

// A lilv world that knows the installed LV2 vocabularies and our bundle, and nothing else.
class Lv2World {
public:
  Lv2World() {
    setenv("LV2_PATH", "/usr/lib/lv2", 1);
    world = lilv_world_new();
    lilv_world_load_all(world);
    Node bundle(lilv_new_file_uri(world, nullptr, SPARKWELL_LV2_BUNDLE "/"));
    lilv_world_load_bundle(world, bundle.get());
    Node uri = node(kUri);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri.get());
  }
  ~Lv2World() { lilv_world_free(world); }
  Node node(const std::string& uri) const { return Node(lilv_new_uri(world, uri.c_str())); }

  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
};

std::string text(const LilvNode* node) {
  return node ? lilv_node_as_string(node) : "(none)";
}

// What the VST module shows for a parameter value, through its record.
std::string vstDisplay(PluginInstance& vst, int32_t parameter, float value) {
  vst.setParameter(parameter, value);
  return vst.dispatchText(effGetParamDisplay, parameter).text;
}

TEST(Lv2Description, PortsUnitsScalePointsAndUiAgreeWithTheVstModule) {
  Lv2World lv2;
  ASSERT_NE(lv2.plugin, nullptr) << "lilv does not find " << kUri << " in " SPARKWELL_LV2_BUNDLE;
  Node name(lilv_plugin_get_name(lv2.plugin));
  EXPECT_EQ(text(name.get()), "Sparkwell");
  EXPECT_STREQ(lilv_node_as_uri(lilv_plugin_class_get_uri(lilv_plugin_get_class(lv2.plugin))),
               "http://lv2plug.in/ns/lv2core#DistortionPlugin");
  Node author(lilv_plugin_get_author_name(lv2.plugin));
  EXPECT_EQ(text(author.get()), "Quillane");
  Node hardRt = lv2.node(std::string(kLv2) + "hardRTCapable");
  Node inPlaceBroken = lv2.node(std::string(kLv2) + "inPlaceBroken");
  EXPECT_TRUE(lilv_plugin_has_feature(lv2.plugin, hardRt.get()));
  EXPECT_FALSE(lilv_plugin_has_feature(lv2.plugin, inPlaceBroken.get()));
  ASSERT_EQ(lilv_plugin_get_num_ports(lv2.plugin), kNumPorts);

  PluginLibrary library(SPARKWELL_PLUGIN_PATH);
  TestHost host;
  PluginInstance vst(host, library.vstPluginMain());
  ASSERT_TRUE(vst);

  const char* const audioSymbols[] = {"in_l", "in_r", "out_l", "out_r"};
  Node audioPort = lv2.node(std::string(kLv2) + "AudioPort");
  Node inputPort = lv2.node(std::string(kLv2) + "InputPort");
  Node controlPort = lv2.node(std::string(kLv2) + "ControlPort");
  Node unit = lv2.node("http://lv2plug.in/ns/extensions/units#unit");
  Node db = lv2.node("http://lv2plug.in/ns/extensions/units#db");
  Node enumeration = lv2.node(std::string(kLv2) + "enumeration");
  Node toggled = lv2.node(std::string(kLv2) + "toggled");
  for (uint32_t index = 0; index < kNumPorts; ++index) {
    SCOPED_TRACE("port " + std::to_string(index));
    const LilvPort* port = lilv_plugin_get_port_by_index(lv2.plugin, index);
    const std::string symbol = text(lilv_port_get_symbol(lv2.plugin, port));
    if (index < kFirstControlPort) {
      EXPECT_EQ(symbol, audioSymbols[index]);
      EXPECT_TRUE(lilv_port_is_a(lv2.plugin, port, audioPort.get()));
      EXPECT_EQ(lilv_port_is_a(lv2.plugin, port, inputPort.get()), index < kPortOutL);
      continue;
    }
    const int32_t parameter = parameterOfPort(index);
    EXPECT_TRUE(lilv_port_is_a(lv2.plugin, port, controlPort.get()));
    EXPECT_TRUE(lilv_port_is_a(lv2.plugin, port, inputPort.get()));
    // The name is the VST's parameter name; the symbol is made from it.
    const std::string vstName = vst.dispatchText(effGetParamName, parameter).text;
    Node portName(lilv_port_get_name(lv2.plugin, port));
    EXPECT_EQ(text(portName.get()), vstName);

    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(lv2.plugin, port, &def, &min, &max);
    Node defNode(def), minNode(min), maxNode(max);
    ASSERT_TRUE(def && min && max);
    // The default port value is program 0's value, as the VST module starts with it.
    const float program0 = vst.getParameter(parameter);
    const float fromDefault = parameterFromPort(parameter, lilv_node_as_float(def));
    EXPECT_EQ(vstDisplay(vst, parameter, fromDefault), vstDisplay(vst, parameter, program0));
    if (parameter == kParamPickup)
      EXPECT_EQ(pickupBandOf(fromDefault), pickupBandOf(program0));
    else
      EXPECT_EQ(fromDefault, program0);
    // The range ends map onto the ends of the VST's 0..1 range.
    EXPECT_EQ(parameterFromPort(parameter, lilv_node_as_float(min)), 0.0f);
    EXPECT_EQ(parameterFromPort(parameter, lilv_node_as_float(max)), 1.0f);

    Node portUnit(lilv_port_get(lv2.plugin, port, unit.get()));
    const bool inDb = vst.dispatchText(effGetParamLabel, parameter).text == "dB";
    EXPECT_EQ(portUnit && lilv_node_equals(portUnit.get(), db.get()), inDb) << vstName;

    // Every scale point carries the word the VST shows for the value the point stands for.
    LilvScalePoints* points = lilv_port_get_scale_points(lv2.plugin, port);
    std::map<float, std::string> words;
    LILV_FOREACH(scale_points, i, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, i);
      words[lilv_node_as_float(lilv_scale_point_get_value(point))] =
          text(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(points);
    const bool isSwitch = parameter == kParamPickup || parameter == kParamTransistor ||
                          parameter == kParamStereo || parameter == kParamEffect;
    EXPECT_EQ(words.size(), isSwitch ? (parameter == kParamPickup ? 5u : 2u) : 0u) << vstName;
    for (const auto& [portValue, word] : words) {
      EXPECT_EQ(word, vstDisplay(vst, parameter, parameterFromPort(parameter, portValue)))
          << vstName << " " << portValue;
    }
    EXPECT_EQ(lilv_port_has_property(lv2.plugin, port, toggled.get()), parameter == kParamEffect);
    EXPECT_EQ(lilv_port_has_property(lv2.plugin, port, enumeration.get()),
              isSwitch && parameter != kParamEffect);
  }

  // The X11 editor, in the same bundle, with the features it needs.
  LilvUIs* uis = lilv_plugin_get_uis(lv2.plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), kUiUri);
  Node x11 = lv2.node(std::string(kUi) + "X11UI");
  EXPECT_TRUE(lilv_ui_is_a(ui, x11.get()));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  EXPECT_EQ(std::string(binary), SPARKWELL_LV2_BUNDLE "/sparkwell_ui.so");
  lilv_free(binary);
  Node required = lv2.node(std::string(kLv2) + "requiredFeature");
  LilvNodes* features =
      lilv_world_find_nodes(lv2.world, lilv_ui_get_uri(ui), required.get(), nullptr);
  std::vector<std::string> names;
  LILV_FOREACH(nodes, i, features)
  names.push_back(text(lilv_nodes_get(features, i)));
  lilv_nodes_free(features);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{std::string(kUi) + "idleInterface",
                                             std::string(kUi) + "parent"}));
  lilv_uis_free(uis);
}

// One LV2 instance made by lilv from the bundle, with its own buffers.
class Lv2Instance {
public:
  Lv2Instance(const LilvPlugin* plugin, double rate) {
    instance = lilv_plugin_instantiate(plugin, rate, nullptr);
    for (uint32_t i = 0; i < kNumControlPorts; ++i) {
      LilvNode* def = nullptr;
      lilv_port_get_range(plugin, lilv_plugin_get_port_by_index(plugin, kFirstControlPort + i),
                          &def, nullptr, nullptr);
      controls[i] = lilv_node_as_float(def);
      lilv_node_free(def);
    }
  }
  ~Lv2Instance() {
    if (instance) lilv_instance_free(instance);
  }
  explicit operator bool() const { return instance != nullptr; }

  // Runs one block; `inPlace` hands the input buffers to the output ports too.
  StereoBuffer run(const StereoBuffer& input, bool inPlace) {
    StereoBuffer in = input;
    StereoBuffer out;
    out.left.assign(in.left.size(), NAN);
    out.right.assign(in.right.size(), NAN);
    StereoBuffer& target = inPlace ? in : out;
    lilv_instance_connect_port(instance, kPortInL, in.left.data());
    lilv_instance_connect_port(instance, kPortInR, in.right.data());
    lilv_instance_connect_port(instance, kPortOutL, target.left.data());
    lilv_instance_connect_port(instance, kPortOutR, target.right.data());
    for (uint32_t i = 0; i < kNumControlPorts; ++i)
      lilv_instance_connect_port(instance, kFirstControlPort + i, &controls[i]);
    lilv_instance_run(instance, static_cast<uint32_t>(in.left.size()));
    return target;
  }

  LilvInstance* instance = nullptr;
  float controls[kNumControlPorts] = {};
};

// A port value a host may send: mostly inside the range, sometimes beyond it or NaN.
float randomPortValue(std::mt19937& random, int32_t parameter) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  const float dice = unit(random);
  if (dice < 0.03f) return NAN;
  const float stretch = dice < 0.08f ? 1.5f : 1.0f; // a little past both ends
  float lo = 0.0f, hi = 1.0f;
  if (parameter == kParamGain) lo = kGainMinDb, hi = kGainMaxDb;
  if (parameter == kParamInput) lo = kInputMinDb, hi = kInputMaxDb;
  if (parameter == kParamPickup) hi = static_cast<float>(kPickupPoints - 1);
  const float middle = (lo + hi) * 0.5f;
  return middle + (unit(random) - 0.5f) * (hi - lo) * stretch;
}

StereoBuffer noise(std::mt19937& random, size_t frames) {
  std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
  StereoBuffer b;
  for (size_t i = 0; i < frames; ++i) {
    b.left.push_back(sample(random));
    b.right.push_back(sample(random) * 0.5f);
  }
  return b;
}

::testing::AssertionResult sameBits(const std::vector<float>& vst, const std::vector<float>& lv2) {
  if (vst.size() != lv2.size()) return ::testing::AssertionFailure() << "lengths differ";
  for (size_t i = 0; i < vst.size(); ++i)
    if (std::memcmp(&vst[i], &lv2[i], sizeof(float)) != 0)
      return ::testing::AssertionFailure()
             << "first difference at frame " << i << ": VST " << vst[i] << ", LV2 " << lv2[i];
  return ::testing::AssertionSuccess();
}

// Random port values and block sizes, in place and not, switched off and on again in between:
// every sample equals the VST module's, given the parameter values the ports stand for. The
// first blocks run at the default port values. The plug-in applies all of them on its first
// run, so the VST module is given them all too: a fresh VST instance keeps the fixed HPF and
// Treble corners until those two are set, and sounds different from one they were set on.
TEST(Lv2Sound, BitIdenticalToTheVstModuleWithTheSameParameterValues) {
  Lv2World lv2;
  ASSERT_NE(lv2.plugin, nullptr);
  PluginLibrary library(SPARKWELL_PLUGIN_PATH);
  for (const double rate : {44100.0, 96000.0}) {
    SCOPED_TRACE("sample rate " + std::to_string(rate));
    std::mt19937 random(static_cast<unsigned>(rate));
    Lv2Instance lv2Instance(lv2.plugin, rate);
    ASSERT_TRUE(lv2Instance);
    lilv_instance_activate(lv2Instance.instance);
    TestHost host;
    PluginInstance vst(host, library.vstPluginMain());
    ASSERT_TRUE(vst);
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    for (uint32_t i = 0; i < kNumControlPorts; ++i) {
      const int32_t parameter = kControlParameters[i];
      vst.setParameter(parameter, parameterFromPort(parameter, lv2Instance.controls[i]));
    }
    vst.dispatch(effMainsChanged, 0, 1);

    double energy = 0.0;
    for (int block = 0; block < 300; ++block) {
      SCOPED_TRACE("block " + std::to_string(block));
      if (block >= 3 && random() % 3 == 0) {
        for (uint32_t i = 0; i < kNumControlPorts; ++i) {
          if (random() % 2) continue;
          const int32_t parameter = kControlParameters[i];
          lv2Instance.controls[i] = randomPortValue(random, parameter);
          vst.setParameter(parameter, parameterFromPort(parameter, lv2Instance.controls[i]));
        }
      }
      if (random() % 40 == 0) {
        lilv_instance_deactivate(lv2Instance.instance);
        vst.dispatch(effMainsChanged, 0, 0);
        lilv_instance_activate(lv2Instance.instance);
        vst.dispatch(effMainsChanged, 0, 1);
      }
      const size_t frames = 1 + random() % (random() % 4 == 0 ? 4096 : 300);
      const StereoBuffer input = noise(random, frames);
      const StereoBuffer fromVst = vst.process(input).output;
      const StereoBuffer fromLv2 = lv2Instance.run(input, random() % 2 == 0);
      ASSERT_TRUE(sameBits(fromVst.left, fromLv2.left)) << "left";
      ASSERT_TRUE(sameBits(fromVst.right, fromLv2.right)) << "right";
      for (float s : fromLv2.left)
        energy += static_cast<double>(s) * static_cast<double>(s);
    }
    EXPECT_GT(energy, 1.0) << "the comparison ran on silence";
    lilv_instance_deactivate(lv2Instance.instance);
  }
  EXPECT_EQ(xcbConnects, 0);
}

// The recorded sound through the LV2 binary: each setting, given as the port values written out
// beside the VST values in recorded_output.h, at each block size, gives the digest the VST module
// gives (recorded_digests.h). The first run applies every port.
TEST(Lv2Sound, EverySettingGivesItsRecordedDigestAtEveryBlockSize) {
  using namespace recorded_output;
  Lv2World lv2;
  ASSERT_NE(lv2.plugin, nullptr);
  const StereoBuffer input{decayingTone(), integerNoise()};
  std::string rows;
  for (const Setting& setting : settings()) {
    for (const size_t blockSize : kBlockSizes) {
      Lv2Instance instance(lv2.plugin, 44100.0);
      ASSERT_TRUE(instance);
      for (const Value& value : setting.values)
        instance
            .controls[static_cast<uint32_t>(portOfParameter(value.parameter)) - kFirstControlPort] =
            value.lv2Port;
      lilv_instance_activate(instance.instance);
      StereoBuffer output;
      for (size_t start = 0; start < kFrames; start += blockSize) {
        const size_t end = std::min(kFrames, start + blockSize);
        StereoBuffer block;
        block.left.assign(input.left.begin() + static_cast<long>(start),
                          input.left.begin() + static_cast<long>(end));
        block.right.assign(input.right.begin() + static_cast<long>(start),
                           input.right.begin() + static_cast<long>(end));
        const StereoBuffer out = instance.run(block, false);
        output.left.insert(output.left.end(), out.left.begin(), out.left.end());
        output.right.insert(output.right.end(), out.right.begin(), out.right.end());
      }
      lilv_instance_deactivate(instance.instance);
      const uint64_t digest = digestOf(output.left, output.right);
      const std::string mismatch = digestMismatch(
          setting.name, "LV2 " + setting.name + "/block" + std::to_string(blockSize), digest);
      EXPECT_TRUE(mismatch.empty()) << mismatch;
      if (blockSize == kBlockSizes[0]) rows += tableRow(setting.name, digest);
    }
  }
  if (printRequested()) std::printf("%s", rows.c_str());
}

// The port table of the README, written out by hand: each port value (inside the range, at its
// ends, between scale points, beyond the range, NaN) and the parameter value it stands for. Gain
// is (dB + 50) / 70 and Input (dB + 30) / 60 in single precision, the decimals below being the
// exact quotients; values outside a range are held at its ends, NaN at the lower one; the switch
// ports take the nearest scale point.
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
struct PortRow {
  uint32_t port;
  float portValue;
  float parameterValue;
};
constexpr PortRow kPortTable[] = {
    // gain: -50 to +20 dB
    {4, -50.0f, 0.0f},
    {4, 20.0f, 1.0f},
    {4, -8.0f, 0.6f},
    {4, 0.0f, 0.714285714285714f},
    {4, 3.5f, 0.764285714285714f},
    {4, -49.0f, 0.0142857142857143f},
    {4, -50.5f, 0.0f},
    {4, 25.0f, 1.0f},
    {4, -kInfinity, 0.0f},
    {4, kInfinity, 1.0f},
    {4, kNan, 0.0f},
    // hpf: 0 to 1
    {5, 0.0f, 0.0f},
    {5, 1.0f, 1.0f},
    {5, 0.3f, 0.3f},
    {5, -0.2f, 0.0f},
    {5, 1.5f, 1.0f},
    {5, kNan, 0.0f},
    // input: -30 to +30 dB
    {6, -30.0f, 0.0f},
    {6, 30.0f, 1.0f},
    {6, 0.0f, 0.5f},
    {6, 7.0f, 0.616666666666667f},
    {6, -12.0f, 0.3f},
    {6, -31.0f, 0.0f},
    {6, 31.0f, 1.0f},
    {6, kNan, 0.0f},
    // grid_current: 0 to 1
    {7, 0.0f, 0.0f},
    {7, 0.5f, 0.5f},
    {7, 1.0f, 1.0f},
    {7, -1.0f, 0.0f},
    {7, 2.0f, 1.0f},
    {7, kNan, 0.0f},
    // treble: 0 to 1
    {8, 0.0f, 0.0f},
    {8, 1.0f, 1.0f},
    {8, 0.6f, 0.6f},
    {8, -0.01f, 0.0f},
    {8, 7.0f, 1.0f},
    {8, kNan, 0.0f},
    // pickup: 0 "None", 1 "Hot HB", 2 "HB", 3 "P90", 4 "SC"
    {9, 0.0f, 0.0f},
    {9, 1.0f, 0.25f},
    {9, 2.0f, 0.5f},
    {9, 3.0f, 0.75f},
    {9, 4.0f, 1.0f},
    {9, 0.4f, 0.0f},
    {9, 0.6f, 0.25f},
    {9, 1.4f, 0.25f},
    {9, 2.49f, 0.5f},
    {9, 2.51f, 0.75f},
    {9, 2.6f, 0.75f},
    {9, 3.7f, 1.0f},
    {9, -1.0f, 0.0f},
    {9, 5.0f, 1.0f},
    {9, 100.0f, 1.0f},
    {9, kNan, 0.0f},
    // transistor: 0 "2SB175", 1 "AC128"
    {10, 0.0f, 0.0f},
    {10, 1.0f, 1.0f},
    {10, 0.4f, 0.0f},
    {10, 0.6f, 1.0f},
    {10, -3.0f, 0.0f},
    {10, 7.0f, 1.0f},
    {10, kNan, 0.0f},
    // stereo: 0 "Stereo", 1 "Mono"
    {11, 0.0f, 0.0f},
    {11, 1.0f, 1.0f},
    {11, 0.3f, 0.0f},
    {11, 0.7f, 1.0f},
    {11, -1.0f, 0.0f},
    {11, 2.0f, 1.0f},
    {11, kNan, 0.0f},
    // effect: 0 "Off", 1 "On"
    {12, 0.0f, 0.0f},
    {12, 1.0f, 1.0f},
    {12, 0.4f, 0.0f},
    {12, 0.6f, 1.0f},
    {12, -1.0f, 0.0f},
    {12, 5.0f, 1.0f},
    {12, kNan, 0.0f},
};
// The parameter values of the README's default port values, in port order.
constexpr float kDefaultParameters[kNumControlPorts] = {0.6f, 1.0f, 0.5f, 0.0f, 1.0f,
                                                        0.5f, 0.0f, 1.0f, 1.0f};

std::string portCase(const PortRow& row) {
  std::ostringstream name;
  name << "port " << row.port << " at " << row.portValue;
  return name.str();
}

// Each port value gives its parameter value through the mapping, and through the LV2 binary the
// same samples as the VST module given the parameter value from the table (the others at their
// defaults, all of them set).
TEST(Lv2Ports, EveryPortValueGivesTheParameterValueOfTheReadmeTable) {
  for (const PortRow& row : kPortTable) {
    const float mapped = parameterFromPort(parameterOfPort(row.port), row.portValue);
    EXPECT_EQ(std::memcmp(&mapped, &row.parameterValue, sizeof(float)), 0)
        << portCase(row) << ": " << mapped << " instead of " << row.parameterValue;
  }

  Lv2World lv2;
  ASSERT_NE(lv2.plugin, nullptr);
  PluginLibrary library(SPARKWELL_PLUGIN_PATH);
  StereoBuffer input{recorded_output::decayingTone(), recorded_output::integerNoise()};
  input.left.resize(300);
  input.right.resize(300);
  for (const PortRow& row : kPortTable) {
    Lv2Instance lv2Instance(lv2.plugin, 44100.0);
    ASSERT_TRUE(lv2Instance);
    lv2Instance.controls[row.port - kFirstControlPort] = row.portValue;
    lilv_instance_activate(lv2Instance.instance);
    const StereoBuffer fromLv2 = lv2Instance.run(input, false);
    lilv_instance_deactivate(lv2Instance.instance);

    TestHost host;
    PluginInstance vst(host, library.vstPluginMain());
    ASSERT_TRUE(vst);
    vst.dispatch(effMainsChanged, 0, 1);
    for (uint32_t i = 0; i < kNumControlPorts; ++i)
      vst.setParameter(kControlParameters[i], kFirstControlPort + i == row.port
                                                  ? row.parameterValue
                                                  : kDefaultParameters[i]);
    const StereoBuffer fromVst = vst.process(input).output;
    EXPECT_TRUE(sameBits(fromVst.left, fromLv2.left)) << portCase(row) << ", left";
    EXPECT_TRUE(sameBits(fromVst.right, fromLv2.right)) << portCase(row) << ", right";
  }
}

// The editor's way back, written out by hand: the port value it writes for a parameter value.
// A Pickup value gives the scale point of its band (edges at the doubles 0.2, 0.4, 0.6 and 0.8,
// so 0.2f already counts as "Hot HB"; below 0 "None", above 1 and NaN "SC"); Transistor and
// Effect are on strictly above 0.5, Stereo is "Stereo" strictly below; the others are held at the
// ends of their ports.
TEST(Lv2Ports, TheEditorWritesThePortValueOfEachParameterValue) {
  const struct {
    uint32_t port;
    float parameterValue;
    float portValue;
  } table[] = {
      {4, 0.0f, -50.0f},      {4, 1.0f, 20.0f},       {4, 0.6f, -8.0f},   {4, 0.5f, -15.0f},
      {4, 0.25f, -32.5f},     {4, -0.1f, -50.0f},     {4, 1.2f, 20.0f},   {4, kNan, -50.0f},
      {5, 0.3f, 0.3f},        {5, -1.0f, 0.0f},       {5, 1.5f, 1.0f},    {6, 0.0f, -30.0f},
      {6, 1.0f, 30.0f},       {6, 0.5f, 0.0f},        {6, 0.25f, -15.0f}, {6, 2.0f, 30.0f},
      {7, 0.5f, 0.5f},        {7, -0.5f, 0.0f},       {8, 0.6f, 0.6f},    {8, 3.0f, 1.0f},
      {9, 0.0f, 0.0f},        {9, 0.1f, 0.0f},        {9, 0.19f, 0.0f},   {9, 0.2f, 1.0f},
      {9, 0.39f, 1.0f},       {9, 0.4f, 2.0f},        {9, 0.5f, 2.0f},    {9, 0.59f, 2.0f},
      {9, 0.6f, 3.0f},        {9, 0.79f, 3.0f},       {9, 0.8f, 4.0f},    {9, 1.0f, 4.0f},
      {9, -0.5f, 0.0f},       {9, 1.5f, 4.0f},        {9, kNan, 4.0f},    {10, 0.0f, 0.0f},
      {10, 0.5f, 0.0f},       {10, 0.5000001f, 1.0f}, {10, 1.0f, 1.0f},   {11, 0.0f, 0.0f},
      {11, 0.4999999f, 0.0f}, {11, 0.5f, 1.0f},       {11, 1.0f, 1.0f},   {12, 0.0f, 0.0f},
      {12, 0.5f, 0.0f},       {12, 0.5000001f, 1.0f}, {12, 1.0f, 1.0f},
  };
  for (const auto& row : table) {
    const float port = portFromParameter(parameterOfPort(row.port), row.parameterValue);
    EXPECT_EQ(std::memcmp(&port, &row.portValue, sizeof(float)), 0)
        << "port " << row.port << " for " << row.parameterValue << ": " << port << " instead of "
        << row.portValue;
  }
}

} // namespace
