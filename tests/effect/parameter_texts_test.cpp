// Names, labels and display texts of every parameter index, through the dispatcher.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "sparkwell_fixture.h"

namespace sparkwell_test {
namespace {

using ParameterTextsTest = SparkwellTest;

constexpr VstInt32 kNoParameter[] = {kPanelTab, -1, 10, 100, INT_MAX, INT_MIN};

// No index has a properties record to give: the request answers 0 and leaves the host's record
// (here a canary buffer larger than any record) as it was, and a null record is no fault.
void expectNoProperties(PluginInstance& instance, VstInt32 index) {
  const TextAnswer properties = instance.dispatchText(effGetParameterProperties, index);
  EXPECT_EQ(properties.answer, 0);
  EXPECT_TRUE(properties.untouched);
  EXPECT_EQ(instance.dispatch(effGetParameterProperties, index, 0, nullptr), 0);
}

TEST_F(ParameterTextsTest, NamesLabelsAndPropertiesOfEveryIndex) {
  auto instance = makeInstance();
  const struct {
    VstInt32 index;
    const char* name;
    const char* label; // null: the label request writes nothing
  } rows[] = {
      {kGain, "Gain", "dB"},           {kHpf, "HPF", ""},
      {kInput, "Input", "dB"},         {kGridCurrent, "Grid Current", ""},
      {kTreble, "Treble", ""},         {kPickup, "Pickup", ""},
      {kTransistor, "Transistor", ""}, {kStereo, "Stereo", ""},
      {kEffect, "Effect", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const TextAnswer name = instance->dispatchText(effGetParamName, row.index);
    EXPECT_EQ(name.text, row.name);
    EXPECT_TRUE(name.terminated);
    EXPECT_EQ(name.bytesWritten, std::string(row.name).size() + 1);
    const TextAnswer label = instance->dispatchText(effGetParamLabel, row.index);
    if (row.label) {
      EXPECT_EQ(label.text, row.label);
      EXPECT_EQ(label.bytesWritten, std::string(row.label).size() + 1);
    } else {
      EXPECT_TRUE(label.untouched);
    }
    expectNoProperties(*instance, row.index);
  }
  for (VstInt32 index : kNoParameter) {
    SCOPED_TRACE(index);
    expectNoProperties(*instance, index);
    EXPECT_TRUE(instance->dispatchText(effGetParamName, index).untouched);
    EXPECT_TRUE(instance->dispatchText(effGetParamLabel, index).untouched);
    EXPECT_TRUE(instance->dispatchText(effGetParamDisplay, index).untouched);
  }
}

std::string display(PluginInstance& instance, VstInt32 index) {
  const TextAnswer answer = instance.dispatchText(effGetParamDisplay, index);
  // Never more than eight characters and the terminator.
  EXPECT_TRUE(answer.terminated) << index;
  EXPECT_LE(answer.bytesWritten, 9u) << index;
  EXPECT_LE(answer.text.size(), 8u) << index;
  return answer.text;
}

std::string displayOf(PluginInstance& instance, VstInt32 index, float value) {
  instance.setParameter(index, value);
  return display(instance, index);
}

// The level a dB display shows, read back as a number.
double decibelsShown(PluginInstance& instance, VstInt32 index, float value) {
  const std::string text = displayOf(instance, index, value);
  EXPECT_EQ(text.size(), 8u) << text;
  return std::strtod(text.c_str(), nullptr);
}

TEST_F(ParameterTextsTest, DefaultProgramDisplays) {
  auto instance = makeInstance();
  EXPECT_NEAR(std::strtod(display(*instance, kGain).c_str(), nullptr), -8.0, 1e-4);
  EXPECT_EQ(display(*instance, kHpf), "1.000000");
  EXPECT_EQ(display(*instance, kInput), "0.000000");
  EXPECT_EQ(display(*instance, kGridCurrent), "Off");
  EXPECT_EQ(display(*instance, kTreble), "1.000000");
  EXPECT_EQ(display(*instance, kPickup), "HB");
  EXPECT_EQ(display(*instance, kTransistor), "2SB175");
  EXPECT_EQ(display(*instance, kStereo), "Mono");
  EXPECT_EQ(display(*instance, kEffect), "On");
}

TEST_F(ParameterTextsTest, LevelsShowDecibelsOverTheirWholeRange) {
  auto instance = makeInstance();
  // Gain: 70 x value - 50 dB; Input: 60 x value - 30 dB.
  EXPECT_NEAR(decibelsShown(*instance, kGain, 1.0f), 20.0, 1e-4);
  EXPECT_NEAR(decibelsShown(*instance, kGain, 0.0f), -50.0, 1e-4);
  EXPECT_NEAR(decibelsShown(*instance, kGain, 0.5f), -15.0, 1e-4);
  EXPECT_NEAR(decibelsShown(*instance, kInput, 0.0f), -30.0, 1e-4);
  EXPECT_NEAR(decibelsShown(*instance, kInput, 1.0f), 30.0, 1e-4);
  EXPECT_NEAR(decibelsShown(*instance, kInput, 0.25f), -15.0, 1e-4);
  // So far below the range that the linear gain underflows to zero.
  EXPECT_EQ(displayOf(*instance, kGain, -20.0f), "-oo");
  EXPECT_EQ(displayOf(*instance, kInput, -30.0f), "-oo");
}

TEST_F(ParameterTextsTest, PlainNumbersAreCutNotRounded) {
  auto instance = makeInstance();
  EXPECT_EQ(displayOf(*instance, kHpf, 0.25f), "0.250000");
  EXPECT_EQ(displayOf(*instance, kHpf, 0.7f), "0.699999");
  EXPECT_EQ(displayOf(*instance, kTreble, 0.5f), "0.500000");
  EXPECT_EQ(displayOf(*instance, kTreble, 0.0f), "0.000000");
  EXPECT_EQ(displayOf(*instance, kGridCurrent, 0.5f), "0.500000");
}

TEST_F(ParameterTextsTest, SwitchDisplaysIncludeTheLowerEdgeOfEachBand) {
  auto instance = makeInstance();
  const struct {
    VstInt32 index;
    float value;
    const char* text;
  } rows[] = {
      {kPickup, -0.1f, "-oo"},
      {kPickup, 0.0f, "None"},
      {kPickup, 0.19f, "None"},
      {kPickup, 0.2f, "Hot HB"},
      {kPickup, 0.39f, "Hot HB"},
      {kPickup, 0.4f, "HB"},
      {kPickup, 0.6f, "P90"},
      {kPickup, 0.8f, "SC"},
      {kPickup, 1.0f, "SC"},
      {kPickup, 1.5f, "1.500000"},
      {kTransistor, -0.5f, "-oo"},
      {kTransistor, 0.0f, "2SB175"},
      {kTransistor, 0.49f, "2SB175"},
      {kTransistor, 0.5f, "AC128"},
      {kTransistor, 1.0f, "AC128"},
      {kTransistor, 2.0f, "2.000000"},
      {kStereo, -1.0f, "-oo"},
      {kStereo, 0.0f, "Stereo"},
      {kStereo, 0.49f, "Stereo"},
      {kStereo, 0.5f, "Mono"},
      {kStereo, 1.0f, "Mono"},
      {kStereo, 1.25f, "1.250000"},
      {kEffect, -0.2f, "-oo"},
      {kEffect, 0.0f, "Off"},
      {kEffect, 0.5f, "On"},
      {kEffect, 1.0f, "On"},
      {kEffect, 1.5f, "1.500000"},
      {kGridCurrent, 0.0f, "Off"},
      {kGridCurrent, -0.5f, "Off"},
      {kGridCurrent, 1e-7f, "0.000000"},
      {kGridCurrent, 1.0f, "1.000000"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(displayOf(*instance, row.index, row.value), row.text)
        << "index " << row.index << " value " << row.value;
  }
}

TEST_F(ParameterTextsTest, SettingIndexEightOrBeyondStoresNothing) {
  auto instance = makeInstance();
  for (VstInt32 index : kNoParameter) {
    instance->setParameter(index, 0.25f);
    EXPECT_EQ(instance->getParameter(index), 0.0f) << index;
  }
  for (VstInt32 index = 0; index < kNumParams; ++index)
    EXPECT_EQ(instance->getParameter(index), kParameters[index].defaultValue) << index;
}

TEST_F(ParameterTextsTest, ValuesAreStoredAsSentWithoutClamping) {
  auto instance = makeInstance();
  for (float value : {-1.0f, 2.0f, 1e9f, -1e9f, 1e-40f}) {
    for (VstInt32 index : {kGain, kHpf, kPickup, kEffect}) {
      instance->setParameter(index, value);
      EXPECT_EQ(instance->getParameter(index), value) << index;
    }
  }
  instance->setParameter(kTreble, std::nanf(""));
  EXPECT_TRUE(std::isnan(instance->getParameter(kTreble)));
}

} // namespace
} // namespace sparkwell_test
