#include "audio_formats.h"

#include "tool_error.h"

#include <cctype>
#include <cstdio>
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

// Bytes per sample of an encoding, rounded up: the compressed ones count as a byte.
int64_t bytesPerSample(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_16:
    return 2;
  case SF_FORMAT_PCM_24:
    return 3;
  case SF_FORMAT_PCM_32:
  case SF_FORMAT_FLOAT:
    return 4;
  case SF_FORMAT_DOUBLE:
    return 8;
  default:
    return 1;
  }
}

// Room kept for the header chunks libsndfile writes around the samples (format, peak, cue).
constexpr int64_t kHeaderRoom = 1 << 16;
constexpr int64_t kWavLargest = 0xffffffffll - kHeaderRoom;
constexpr int64_t kAiffLargest = 0x7fffffffll - kHeaderRoom;

std::string gigabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / 1e9);
  return text;
}

} // namespace

int formatForLength(int format, int channels, int64_t frames, const std::string& outPath) {
  const int major = format & SF_FORMAT_TYPEMASK;
  const bool wav = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
  if (!wav && major != SF_FORMAT_AIFF) return format;
  // Frames times channels times bytes stays far below 2^63 for any rate and the longest tail.
  const int64_t bytes = frames * channels * bytesPerSample(format);
  if (bytes <= (wav ? kWavLargest : kAiffLargest)) return format;
  const int rf64 = SF_FORMAT_RF64 | (format & SF_FORMAT_SUBMASK);
  if (!wav || !formatIsValid(rf64, channels)) {
    throw failure("'" + outPath + "' would hold " + gigabytes(bytes) + " of audio, more than " +
                  describeFormat(format) + " can hold (use .wav, which becomes RF64, or .flac)");
  }
  std::fprintf(stderr,
               "sparkwell-render: note: '%s' will hold %s of audio, more than WAV can hold "
               "(4 GiB): it is written as RF64\n",
               outPath.c_str(), gigabytes(bytes).c_str());
  return rf64;
}

bool isSupportedFormat(int format) {
  int major = format & SF_FORMAT_TYPEMASK;
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64 ||
         major == SF_FORMAT_FLAC || major == SF_FORMAT_AIFF || major == SF_FORMAT_OGG;
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
