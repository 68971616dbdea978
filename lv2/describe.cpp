// Writes the LV2 description of Sparkwell (manifest.ttl and sparkwell.ttl) into a bundle folder.
// Names, defaults and the words of the scale points come from a Sparkwell instance itself, as
// a VST host would read them, so the description cannot drift from the effect: every scale
// point is set through the port mapping and its word is the display the effect then shows.
//
// Usage: sparkwell-lv2-describe BUNDLE_DIR MINOR_VERSION MICRO_VERSION
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "port_map.h"
#include "sparkwell.h"

namespace {

using namespace sparkwell_lv2;

const char* const kPluginUri = "https://quillane.example/lv2/sparkwell";
const char* const kUiUri = "https://quillane.example/lv2/sparkwell#ui";

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

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

// Ports whose values are scale point indices, and how many points each has.
int32_t scalePointsOf(int32_t parameter) {
  switch (parameter) {
  case kParamPickup:
    return kPickupPoints;
  case kParamTransistor:
  case kParamStereo:
  case kParamEffect:
    return 2;
  default:
    return 0;
  }
}

std::string controlPort(Sparkwell& effect, uint32_t port) {
  const int32_t parameter = parameterOfPort(port);
  char name[64] = "";
  char label[64] = "";
  effect.getParameterName(parameter, name);
  effect.getParameterLabel(parameter, label);
  if (!*name) fail("parameter " + std::to_string(parameter) + " has no name");
  const float programValue = effect.getParameter(parameter);
  const float defaultValue = portFromParameter(parameter, programValue);
  // Only the band of Pickup reaches the sound; every other value must come back exactly.
  const float defaultBack = parameterFromPort(parameter, defaultValue);
  if (parameter == kParamPickup ? pickupBandOf(defaultBack) != pickupBandOf(programValue)
                                : defaultBack != programValue)
    fail(std::string(name) + ": the default port value does not give program 0's sound");

  float minimum = 0.0f;
  float maximum = 1.0f;
  const bool decibels = std::string(label) == "dB";
  if (parameter == kParamGain) {
    minimum = kGainMinDb;
    maximum = kGainMaxDb;
  } else if (parameter == kParamInput) {
    minimum = kInputMinDb;
    maximum = kInputMaxDb;
  } else if (decibels) {
    fail(std::string(name) + " is in dB but has no dB range");
  }
  const int32_t points = scalePointsOf(parameter);
  if (points > 0) maximum = static_cast<float>(points - 1);

  std::string t;
  t += "\t\ta lv2:InputPort , lv2:ControlPort ;\n";
  t += "\t\tlv2:index " + std::to_string(port) + " ;\n";
  t += "\t\tlv2:symbol \"" + symbolOf(name) + "\" ;\n";
  t += "\t\tlv2:name \"" + escaped(name) + "\" ;\n";
  t += "\t\tlv2:default " + number(defaultValue) + " ;\n";
  t += "\t\tlv2:minimum " + number(minimum) + " ;\n";
  t += "\t\tlv2:maximum " + number(maximum);
  if (decibels) t += " ;\n\t\tunits:unit units:db";
  if (points == 2 && parameter == kParamEffect)
    t += " ;\n\t\tlv2:portProperty lv2:toggled";
  else if (points > 0)
    t += " ;\n\t\tlv2:portProperty lv2:integer , lv2:enumeration";
  for (int32_t point = 0; point < points; ++point) {
    const float portValue = static_cast<float>(point);
    const float value = parameterFromPort(parameter, portValue);
    effect.setParameter(parameter, value);
    char display[64] = "";
    effect.getParameterDisplay(parameter, display);
    if (portFromParameter(parameter, value) != portValue)
      fail(std::string(name) + " scale point " + std::to_string(point) + " does not map back");
    t += point == 0 ? " ;\n\t\tlv2:scalePoint " : " , ";
    t += "[\n\t\t\trdfs:label \"" + escaped(display) + "\" ;\n\t\t\trdf:value " +
         number(portValue) + "\n\t\t]";
  }
  effect.setParameter(parameter, programValue);
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
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

std::string manifest() {
  std::string t = kPrefixes;
  t += "<" + std::string(kPluginUri) + ">\n\ta lv2:Plugin ;\n\tlv2:binary <sparkwell_dsp.so> ;\n";
  t += "\trdfs:seeAlso <sparkwell.ttl> .\n\n";
  t += "<" + std::string(kUiUri) + ">\n\ta ui:X11UI ;\n\tlv2:binary <sparkwell_ui.so> ;\n";
  t += "\trdfs:seeAlso <sparkwell.ttl> .\n";
  return t;
}

std::string description(Sparkwell& effect, const std::string& minor, const std::string& micro) {
  char vendor[64] = "";
  effect.getVendorString(vendor);
  std::string t = kPrefixes;
  t += "<" + std::string(kPluginUri) + ">\n";
  t += "\ta lv2:Plugin , lv2:DistortionPlugin , doap:Project ;\n";
  t += "\tdoap:name \"Sparkwell\" ;\n";
  t += "\tdoap:maintainer [\n\t\ta foaf:Person ;\n\t\tfoaf:name \"" + escaped(vendor) +
       "\"\n\t] ;\n";
  t += "\tlv2:minorVersion " + minor + " ;\n\tlv2:microVersion " + micro + " ;\n";
  t += "\tlv2:optionalFeature lv2:hardRTCapable ;\n";
  t += "\tui:ui <" + std::string(kUiUri) + "> ;\n";
  t += "\tlv2:port [\n";
  for (uint32_t port = 0; port < kNumPorts; ++port) {
    if (port > 0) t += "\t] , [\n";
    t += port < kFirstControlPort ? audioPort(port) : controlPort(effect, port);
  }
  t += "\t] .\n\n";
  t += "<" + std::string(kUiUri) + ">\n";
  t += "\ta ui:X11UI ;\n";
  t += "\tlv2:binary <sparkwell_ui.so> ;\n";
  t += "\tlv2:requiredFeature ui:parent , ui:idleInterface ;\n";
  t += "\tlv2:optionalFeature ui:touch , ui:noUserResize ;\n";
  t += "\tlv2:extensionData ui:idleInterface .\n";
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
  // The constructor applies program 0: what getParameter answers now are the defaults.
  std::unique_ptr<Sparkwell> effect(new Sparkwell(hostCallback));
  const std::string dir = argv[1];
  write(dir + "/manifest.ttl", manifest());
  write(dir + "/sparkwell.ttl", description(*effect, argv[2], argv[3]));
  return 0;
}
