// Writes the LV2 description of Sparkwell (manifest.ttl and sparkwell.ttl) into a bundle folder.
// Names, labels, dB ranges, defaults and the words of the scale points come from the parameter
// table the effect and its editor use, so the description cannot drift from the VST: each
// scale point's value, through the port mapping, must show the point's word and map back to
// the point, and each default must give program 0's sound, or the build stops here.
//
// Usage: sparkwell-lv2-describe BUNDLE_DIR MINOR_VERSION MICRO_VERSION
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "parameters.h"
#include "port_map.h"

namespace {

using namespace sparkwell_lv2;

// The maker, as the VST module's vendor string names it.
const char* const kMaker = "Quillane";

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "sparkwell-lv2-describe: %s\n", message.c_str());
  std::exit(1);
}

// A Turtle decimal: the shortest fixed-point text that reads back as the same float.
std::string number(float value) {
  char text[64];
  for (int digits = 1; digits <= 12; ++digits) {
    std::snprintf(text, sizeof text, "%.*f", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

std::string escaped(const std::string& text) {
  std::string s;
  for (char c : text) {
    if (c == '"' || c == '\\') s += '\\';
    s += c;
  }
  return s;
}

// "Grid Current" -> "grid_current".
std::string symbolOf(const std::string& name) {
  std::string s;
  for (char c : name)
    s += c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string controlPort(uint32_t port) {
  const int32_t parameter = parameterOfPort(port);
  const ParameterInfo* info = parameterInfo(parameter);
  if (!info) fail("port " + std::to_string(port) + " has no parameter");
  const std::string name = info->name;
  const float programValue = info->defaultValue;
  const float defaultValue = portFromParameter(parameter, programValue);
  // Only the band of Pickup reaches the sound; every other value must come back exactly.
  const float defaultBack = parameterFromPort(parameter, defaultValue);
  if (parameter == kParamPickup ? pickupBandOf(defaultBack) != pickupBandOf(programValue)
                                : defaultBack != programValue)
    fail(name + ": the default port value does not give program 0's sound");

  float minimum = 0.0f;
  float maximum = 1.0f;
  const bool decibels = info->display == DisplayKind::Decibels;
  if (decibels) {
    minimum = static_cast<float>(info->decibels.low);
    maximum = static_cast<float>(info->decibels.high);
    // The port mapping's ends must be the table's.
    if (parameterFromPort(parameter, minimum) != 0.0f ||
        parameterFromPort(parameter, maximum) != 1.0f ||
        portFromParameter(parameter, 0.0f) != minimum ||
        portFromParameter(parameter, 1.0f) != maximum)
      fail(name + ": the port mapping's dB range is not the table's");
  }
  const bool isSwitch = info->display == DisplayKind::Switch;
  const int32_t points = isSwitch ? info->switchWords.edgeCount + 1 : 0;
  if (isSwitch) maximum = static_cast<float>(points - 1);

  std::string t;
  t += "\t\ta lv2:InputPort , lv2:ControlPort ;\n";
  t += "\t\tlv2:index " + std::to_string(port) + " ;\n";
  t += "\t\tlv2:symbol \"" + symbolOf(name) + "\" ;\n";
  t += "\t\tlv2:name \"" + escaped(name) + "\" ;\n";
  t += "\t\tlv2:default " + number(defaultValue) + " ;\n";
  t += "\t\tlv2:minimum " + number(minimum) + " ;\n";
  t += "\t\tlv2:maximum " + number(maximum);
  if (decibels) t += " ;\n\t\tunits:unit units:db";
  if (parameter == kParamEffect)
    t += " ;\n\t\tlv2:portProperty lv2:toggled";
  else if (isSwitch)
    t += " ;\n\t\tlv2:portProperty lv2:integer , lv2:enumeration";
  for (int32_t point = 0; point < points; ++point) {
    const std::string word = info->switchWords.words[point];
    const float portValue = static_cast<float>(point);
    const float value = parameterFromPort(parameter, portValue);
    const char* shown = switchWord(info->switchWords, value);
    if (!shown || word != shown)
      fail(name + " scale point " + std::to_string(point) + " does not show \"" + word + "\"");
    if (portFromParameter(parameter, value) != portValue)
      fail(name + " scale point " + std::to_string(point) + " does not map back");
    t += point == 0 ? " ;\n\t\tlv2:scalePoint " : " , ";
    t += "[\n\t\t\trdfs:label \"" + escaped(word) + "\" ;\n\t\t\trdf:value " + number(portValue) +
         "\n\t\t]";
  }
  return t + "\n";
}

std::string audioPort(uint32_t port) {
  static const char* const symbols[] = {"in_l", "in_r", "out_l", "out_r"};
  static const char* const names[] = {"In L", "In R", "Out L", "Out R"};
  const bool input = port == kPortInL || port == kPortInR;
  std::string t;
  t +=
      std::string("\t\ta lv2:AudioPort , ") + (input ? "lv2:InputPort" : "lv2:OutputPort") + " ;\n";
  t += "\t\tlv2:index " + std::to_string(port) + " ;\n";
  t += std::string("\t\tlv2:symbol \"") + symbols[port] + "\" ;\n";
  t += std::string("\t\tlv2:name \"") + names[port] + "\"\n";
  return t;
}

const char* const kPrefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string manifest() {
  std::string t = kPrefixes;
  t += "<" + std::string(kPluginUri) + ">\n\ta lv2:Plugin ;\n\tlv2:binary <sparkwell_dsp.so> ;\n";
  t += "\trdfs:seeAlso <sparkwell.ttl> .\n\n";
  t += "<" + std::string(kUiUri) + ">\n\ta ui:X11UI ;\n\tlv2:binary <sparkwell_ui.so> ;\n";
  t += "\trdfs:seeAlso <sparkwell.ttl> .\n";
  return t;
}

std::string description(const std::string& minor, const std::string& micro) {
  std::string t = kPrefixes;
  t += "<" + std::string(kPluginUri) + ">\n";
  t += "\ta lv2:Plugin , lv2:DistortionPlugin , doap:Project ;\n";
  t += "\tdoap:name \"Sparkwell\" ;\n";
  t += "\tdoap:maintainer [\n\t\ta foaf:Person ;\n\t\tfoaf:name \"" + escaped(kMaker) +
       "\"\n\t] ;\n";
  t += "\tlv2:minorVersion " + minor + " ;\n\tlv2:microVersion " + micro + " ;\n";
  t += "\tlv2:optionalFeature lv2:hardRTCapable ;\n";
  t += "\tui:ui <" + std::string(kUiUri) + "> ;\n";
  t += "\tlv2:port [\n";
  for (uint32_t port = 0; port < kNumPorts; ++port) {
    if (port > 0) t += "\t] , [\n";
    t += port < kFirstControlPort ? audioPort(port) : controlPort(port);
  }
  t += "\t] .\n\n";
  t += "<" + std::string(kUiUri) + ">\n";
  t += "\ta ui:X11UI ;\n";
  t += "\tlv2:binary <sparkwell_ui.so> ;\n";
  t += "\tlv2:requiredFeature ui:parent , ui:idleInterface ;\n";
  t += "\tlv2:optionalFeature ui:touch , ui:resize , ui:noUserResize , opts:options , urid:map ;\n";
  // The host's scale factor, at instantiate and later through the options interface.
  t += "\topts:supportedOption ui:scaleFactor ;\n";
  t += "\tlv2:extensionData ui:idleInterface , opts:interface .\n";
  return t;
}

void write(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) fail("cannot write " + path);
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) fail("cannot write " + path);
}

bool isNumber(const char* text) {
  if (!*text) return false;
  for (const char* c = text; *c; ++c)
    if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4 || !isNumber(argv[2]) || !isNumber(argv[3]))
    fail("usage: sparkwell-lv2-describe BUNDLE_DIR MINOR_VERSION MICRO_VERSION");
  const std::string dir = argv[1];
  write(dir + "/manifest.ttl", manifest());
  write(dir + "/sparkwell.ttl", description(argv[2], argv[3]));
  return 0;
}
