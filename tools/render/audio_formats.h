// The audio file types this tool reads and writes, and how an output's type is chosen.
#pragma once

#include <cstdint>
#include <string>

// libsndfile format of an output file: the major type its extension names, or the input's
// type when OUT has no extension. The sample encoding follows the input where the new type
// can hold it. Throws a usage ToolError for an extension that names no supported type.
int outputFormatFor(const std::string& outPath, int inputFormat);

// The format `format` becomes for an output of `frames` frames of `channels` channels. WAV's
// sizes are 32-bit, so data beyond 4 GiB would wrap around in its header: such an output is
// written as RF64, WAV's 64-bit successor, with the same encoding. AIFF has no such successor
// and is refused beyond its 2 GiB. Every other type is returned as it is. Throws a ToolError.
int formatForLength(int format, int channels, int64_t frames, const std::string& outPath);

// True for the major types that are read and written: WAV (RF64 beyond 4 GiB), FLAC, AIFF and
// Ogg.
bool isSupportedFormat(int format);

// A short description such as "WAV float" or "FLAC 24-bit" for messages and summaries.
std::string describeFormat(int format);
