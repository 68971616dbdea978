// The base's number-to-text conversions at their boundaries, called directly.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "audioeffectx.h"

namespace {

constexpr char kCanary = '\x55';
constexpr size_t kBufferSize = 32;

class TextConversion : public ::testing::Test {
protected:
  using Conversion = std::function<void(char* text, VstInt32 maxLen)>;

  // Runs a conversion on a canary-filled buffer and returns its text. Fails the test if a byte
  // past position maxLen was touched or position maxLen does not hold the terminating zero.
  std::string convert(const Conversion& conversion, VstInt32 maxLen = 8) {
    char buffer[kBufferSize];
    std::memset(buffer, kCanary, sizeof(buffer));
    conversion(buffer, maxLen);
    const size_t end = static_cast<size_t>(maxLen);
    EXPECT_EQ(buffer[end], 0) << "no zero at maxLen " << maxLen;
    for (size_t i = end + 1; i < kBufferSize; ++i)
      EXPECT_EQ(buffer[i], kCanary) << "byte " << i << " written with maxLen " << maxLen;
    return std::string(buffer, strnlen(buffer, end));
  }

  std::string float2string(float value, VstInt32 maxLen = 8) {
    return convert([&](char* text, VstInt32 n) { effect.float2string(value, text, n); }, maxLen);
  }
  std::string dB2string(float value, VstInt32 maxLen = 8) {
    return convert([&](char* text, VstInt32 n) { effect.dB2string(value, text, n); }, maxLen);
  }
  std::string int2string(VstInt32 value, VstInt32 maxLen = 16) {
    return convert([&](char* text, VstInt32 n) { effect.int2string(value, text, n); }, maxLen);
  }
  std::string Hz2string(float samples) {
    return convert([&](char* text, VstInt32 n) { effect.Hz2string(samples, text, n); });
  }
  std::string ms2string(float samples) {
    return convert([&](char* text, VstInt32 n) { effect.ms2string(samples, text, n); });
  }

  AudioEffectX effect{nullptr, 1, 1};
};

// Eight characters, digits cut and never rounded.
TEST_F(TextConversion, FloatIsEightCharactersCutNotRounded) {
  EXPECT_EQ(float2string(0.5f), "0.500000");
  EXPECT_EQ(float2string(1.0f), "1.000000");
  EXPECT_EQ(float2string(20.0f), "20.00000");
  EXPECT_EQ(float2string(-8.5f), "-8.50000");
  EXPECT_EQ(float2string(0.7f), "0.699999"); // stored just below 0.7
  EXPECT_EQ(float2string(0.0f), "0.000000");
  EXPECT_EQ(float2string(-0.0f), "0.000000");
  EXPECT_EQ(float2string(123.456f), "123.4560");
  EXPECT_EQ(float2string(-50.0f), "-50.0000");
  EXPECT_EQ(float2string(0.999999f), "0.999998"); // 0.99999898... cut, not rounded up
}

// Seven integer digits fill the places without a sign, six with one; one more is "Huge!"
// rather than a number with its leading digits missing.
TEST_F(TextConversion, FloatIntegerPartThatDoesNotFitIsHuge) {
  EXPECT_EQ(float2string(1234567.0f), "1234567.");
  EXPECT_EQ(float2string(9999999.0f), "9999999.");
  EXPECT_EQ(float2string(10000000.0f), "Huge!");
  EXPECT_EQ(float2string(99999999.0f), "Huge!");
  EXPECT_EQ(float2string(1e30f), "Huge!");
  EXPECT_EQ(float2string(-999999.0f), "-999999.");
  EXPECT_EQ(float2string(-99999.5f), "-99999.5");
  EXPECT_EQ(float2string(-1000000.0f), "Huge!");
  EXPECT_EQ(float2string(-9999999.0f), "Huge!");
  EXPECT_EQ(float2string(std::numeric_limits<float>::infinity()), "Huge!");
  EXPECT_EQ(float2string(-std::numeric_limits<float>::infinity()), "Huge!");
}

TEST_F(TextConversion, FloatNotANumber) {
  EXPECT_EQ(float2string(std::numeric_limits<float>::quiet_NaN()), "NaN");
  EXPECT_EQ(float2string(-std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST_F(TextConversion, DecibelsOfALevel) {
  EXPECT_EQ(dB2string(0.0f), "-oo");
  EXPECT_EQ(dB2string(-1.0f), "-oo");
  EXPECT_EQ(dB2string(1.0f), "0.000000");
  EXPECT_EQ(dB2string(10.0f), "20.00000");
  EXPECT_EQ(dB2string(0.001f), "-60.0000");
  EXPECT_EQ(dB2string(std::numeric_limits<float>::infinity()), "Huge!");
  EXPECT_EQ(dB2string(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST_F(TextConversion, Integers) {
  EXPECT_EQ(int2string(0), "0");
  EXPECT_EQ(int2string(7), "7");
  EXPECT_EQ(int2string(-42), "-42");
  EXPECT_EQ(int2string(1000), "1000");
  EXPECT_EQ(int2string(99999999), "99999999");
  EXPECT_EQ(int2string(100000000), "Huge!");
  EXPECT_EQ(int2string(INT_MAX), "Huge!");
  EXPECT_EQ(int2string(-999999999), "-999999999");
  EXPECT_EQ(int2string(-1000000000), "Huge!");
  EXPECT_EQ(int2string(INT_MIN), "Huge!");
}

TEST_F(TextConversion, HertzAndMillisecondsFollowTheSampleRate) {
  EXPECT_EQ(Hz2string(0.0f), "0.000000");
  EXPECT_EQ(Hz2string(441.0f), "100.0000");
  EXPECT_EQ(Hz2string(2.0f), "22050.00");
  EXPECT_EQ(ms2string(441.0f), "10.00000");
  EXPECT_EQ(ms2string(22050.0f), "500.0000");
  effect.setSampleRate(48000.0f);
  EXPECT_EQ(Hz2string(480.0f), "100.0000");
  EXPECT_EQ(ms2string(48.0f), "1.000000");
}

// Shorter limits cut the text; nothing lands past the limit, whatever the conversion appends.
TEST_F(TextConversion, ResultsStayWithinMaxLen) {
  EXPECT_EQ(float2string(20.0f, 4), "20.0");
  EXPECT_EQ(float2string(1234567.0f, 3), "123");
  EXPECT_EQ(float2string(0.5f, 1), "0");
  EXPECT_EQ(float2string(0.5f, 0), "");
  EXPECT_EQ(float2string(0.5f, 20), "0.500000");
  EXPECT_EQ(dB2string(0.0f, 2), "-o");
  EXPECT_EQ(dB2string(10.0f, 5), "20.00");
  EXPECT_EQ(int2string(-123456, 4), "-123");
  EXPECT_EQ(int2string(100000000, 3), "Hug");
}

TEST_F(TextConversion, NullTextIsLeftAlone) {
  effect.float2string(1.0f, nullptr, 8);
  effect.dB2string(0.0f, nullptr, 8);
  effect.dB2string(1.0f, nullptr, 8);
  effect.int2string(5, nullptr, 8);
  effect.Hz2string(2.0f, nullptr, 8);
  effect.ms2string(2.0f, nullptr, 8);
  char untouched[4] = {kCanary, kCanary, kCanary, kCanary};
  effect.float2string(1.0f, untouched, -1);
  effect.int2string(1, untouched, -5);
  EXPECT_EQ(std::string(untouched, 4), std::string(4, kCanary));
}

} // namespace
