#include "numbers.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// strtod accepts "nan", "inf", hexadecimal and leading blanks; a command line value must be a
// plain decimal number, so the text is checked for those characters before converting.
bool looksDecimal(const std::string& text) {
  if (text.empty()) return false;
  bool digit = false;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
      digit = true;
    } else if (c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E') {
      return false;
    }
  }
  return digit;
}

} // namespace

std::optional<double> parseDouble(const std::string& text) {
  if (!looksDecimal(text)) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<float> parseFloat(const std::string& text) {
  if (!looksDecimal(text)) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  // strtof rounds the decimal text straight to the nearest float, as a 0.3f literal would.
  float value = std::strtof(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  // ERANGE also flags harmless subnormal results; only an overflow is refused above.
  return value;
}

std::optional<long> parseWholeNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  size_t first = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (first == text.size()) return std::nullopt;
  for (size_t i = first; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
  }
  errno = 0;
  long value = std::strtol(text.c_str(), nullptr, 10);
  if (errno == ERANGE) return std::nullopt;
  return value;
}

std::string shortestFloatText(float value) {
  char text[64];
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}
