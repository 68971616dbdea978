// Bounded text writes into host buffers. Every plug-in text goes through these so that no
// request writes more than maxLen characters plus the terminating zero.
#pragma once

#include <cstring>

#include "aeffect.h"

// Copies at most maxLen characters of source, pads the rest of the first maxLen bytes with
// zeros and writes a zero at position maxLen. Nothing is written for a null destination or a
// negative maxLen.
inline char* vst_strncpy(char* dst, const char* src, VstInt32 maxLen) {
  if (!dst || maxLen < 0) return dst;
  std::strncpy(dst, src ? src : "", static_cast<size_t>(maxLen));
  dst[maxLen] = 0;
  return dst;
}

// Appends source to the text already in dst, keeping the whole text to at most maxLen
// characters, and writes a zero at position maxLen.
inline char* vst_strncat(char* dst, const char* src, VstInt32 maxLen) {
  if (!dst || maxLen < 0) return dst;
  const size_t limit = static_cast<size_t>(maxLen);
  const size_t used = strnlen(dst, limit);
  std::strncat(dst + used, src ? src : "", limit - used);
  dst[maxLen] = 0;
  return dst;
}
