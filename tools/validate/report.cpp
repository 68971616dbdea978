#include "report.h"

#include <cstdio>

std::string vformat(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  vsnprintf(&text[0], text.size(), fmt, args);
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = vformat(fmt, args);
  va_end(args);
  return text;
}

void CheckContext::fail(const std::string& call, const char* what, ...) {
  va_list args;
  va_start(args, what);
  std::string text = vformat(what, args);
  va_end(args);
  faults.push_back(format("seed %llu, call %s: %s", static_cast<unsigned long long>(seed),
                          call.c_str(), text.c_str()));
}

void CheckContext::note(const char* what, ...) {
  va_list args;
  va_start(args, what);
  if (!notes.empty()) notes += "; ";
  notes += vformat(what, args);
  va_end(args);
}
