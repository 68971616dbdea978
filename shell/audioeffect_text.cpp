// Number-to-text conversions of the base. Each result is kept to maxLen characters with a zero
// at position maxLen; the parameter displays pass 8.
#include <cmath>

#include "audioeffect.h"
#include "portable_math.h"
#include "vststring.h"

namespace {

const char* const kHugeText = "Huge!";

// Eight character places: digits, the point and the minus sign all count.
constexpr int kFixedPlaces = 8;

} // namespace

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0.0f) {
    vst_strncpy(text, "-oo", maxLen);
    return;
  }
  float2string(static_cast<float>(20.0 * static_cast<double>(portable::log10f(value))), text,
               maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
  const float hertz = samples != 0.0f ? sampleRate / samples : 0.0f;
  float2string(hertz, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
  float2string(
      static_cast<float>(static_cast<double>(samples) * 1000.0 / static_cast<double>(sampleRate)),
      text, maxLen);
}

// A fixed-point number of exactly eight characters, digits cut and never rounded: 0.5 shows as
// "0.500000", 20 as "20.00000", -8.5 as "-8.50000". When the integer part has more digits than
// the eight places hold (seven without a sign, six with one) the text is "Huge!", so no
// leading digit is ever dropped silently.
void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
  if (!text || maxLen < 0) return;
  double v = value;
  if (std::isnan(v)) {
    // Caught here: the digit loop below would convert NaN to an integer, undefined behaviour.
    vst_strncpy(text, "NaN", maxLen);
    return;
  }
  const bool negative = v < 0.0;
  if (negative) v = -v;
  const double integerLimit = negative ? 1000000.0 : 10000000.0;
  if (v >= integerLimit) {
    vst_strncpy(text, kHugeText, maxLen);
    return;
  }

  // Integer digits are built backwards from the end of a small buffer: last digit, then point.
  char integerText[kFixedPlaces + 2];
  char* start = integerText + sizeof(integerText) - 1;
  *start = 0;
  *--start = '.';
  double i = std::floor(v);
  *--start = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
  i /= 10.0;
  int count = (negative ? 1 : 0) + 2;
  while (i >= 1.0 && count < kFixedPlaces) {
    *--start = static_cast<char>('0' + static_cast<int>(std::fmod(i, 10.0)));
    i /= 10.0;
    ++count;
  }
  if (negative) *--start = '-';
  vst_strncpy(text, start, maxLen);
  if (count >= kFixedPlaces) return;

  // Fraction digits, cut rather than rounded, produced from the last to the first.
  const int places = kFixedPlaces - count;
  double m = std::fmod(v, 1.0) * portable::pow(10.0, places);
  char fractionText[kFixedPlaces + 1];
  fractionText[places] = 0;
  for (int k = places - 1; k >= 0; --k) {
    if (m <= 0.0) {
      fractionText[k] = '0';
    } else {
      fractionText[k] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
      m /= 10.0;
    }
  }
  vst_strncat(text, fractionText, maxLen);
}

// Decimal digits without leading zeros, a minus sign for negative values. Magnitudes beyond
// the nine digits that the divisor sequence covers show "Huge!" on both sides of zero.
void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
  if (!text || maxLen < 0) return;
  if (value >= 100000000 || value <= -1000000000) {
    vst_strncpy(text, kHugeText, maxLen);
    return;
  }
  char digits[12];
  int length = 0;
  if (value < 0) {
    digits[length++] = '-';
    value = -value;
  }
  bool leading = true;
  for (VstInt32 divisor = 100000000; divisor >= 1; divisor /= 10) {
    const int digit = static_cast<int>(value / divisor % 10);
    if (leading && digit == 0 && divisor > 1) continue;
    leading = false;
    digits[length++] = static_cast<char>('0' + digit);
  }
  digits[length] = 0;
  vst_strncpy(text, digits, maxLen);
}
