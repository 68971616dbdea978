#include "audio_formats.h"

#include "tool_error.h"

#include <cctype>
#include <sndfile.h>

namespace {

struct Extension {
  const char* extension;
  int majorFormat;
};

const Extension kExtensions[] = {
    {"wav", SF_FORMAT_WAV},  {"wave", SF_FORMAT_WAV},  {"flac", SF_FORMAT_FLAC},
    {"aif", SF_FORMAT_AIFF}, {"aiff", SF_FORMAT_AIFF}, {"aifc", SF_FORMAT_AIFF},
    {"ogg", SF_FORMAT_OGG},  {"oga", SF_FORMAT_OGG},
};

// What a new file of this type is written with when the input's encoding does not fit it:
// 24 bits keep far more than the plug-in's noise floor, Vorbis is Ogg's usual codec.
int defaultSubtype(int majorFormat) {
  return majorFormat == SF_FORMAT_OGG ? SF_FORMAT_VORBIS : SF_FORMAT_PCM_24;
}

std::string extensionOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  if (dot == 0 || (slash != std::string::npos && dot == slash + 1)) return ""; // hidden file
  std::string extension = path.substr(dot + 1);
  for (char& c : extension)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

bool formatIsValid(int format, int channels) {
  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = 44100;
  return sf_format_check(&info) != 0;
}

} // namespace

bool isSupportedFormat(int format) {
  int major = format & SF_FORMAT_TYPEMASK;
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_FLAC ||
         major == SF_FORMAT_AIFF || major == SF_FORMAT_OGG;
}

int outputFormatFor(const std::string& outPath, int inputFormat) {
  std::string extension = extensionOf(outPath);
  if (extension.empty()) return inputFormat;
  int major = 0;
  for (const Extension& candidate : kExtensions) {
    if (extension == candidate.extension) major = candidate.majorFormat;
  }
  if (major == 0) {
    throw usageError("unsupported output format '." + extension + "' for '" + outPath +
                     "' (use .wav, .flac, .aiff or .ogg)");
  }
  int inputMajor = inputFormat & SF_FORMAT_TYPEMASK;
  if (inputMajor == major || (inputMajor == SF_FORMAT_WAVEX && major == SF_FORMAT_WAV)) {
    return inputFormat;
  }
  int kept = major | (inputFormat & SF_FORMAT_SUBMASK);
  // Two channels at most reach the output, so the check with two covers every case.
  return formatIsValid(kept, 2) ? kept : (major | defaultSubtype(major));
}

std::string describeFormat(int format) {
  SF_FORMAT_INFO major = {};
  major.format = format & SF_FORMAT_TYPEMASK;
  sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major);
  SF_FORMAT_INFO subtype = {};
  subtype.format = format & SF_FORMAT_SUBMASK;
  sf_command(nullptr, SFC_GET_FORMAT_INFO, &subtype, sizeof subtype);
  std::string text = major.name ? major.name : "unknown type";
  if (subtype.name) text += std::string(", ") + subtype.name;
  return text;
}
