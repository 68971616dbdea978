// The audio file types this tool reads and writes, and how an output's type is chosen.
#pragma once

#include <string>

// libsndfile format of an output file: the major type its extension names, or the input's
// type when OUT has no extension. The sample encoding follows the input where the new type
// can hold it. Throws a usage ToolError for an extension that names no supported type.
int outputFormatFor(const std::string& outPath, int inputFormat);

// True for the major types that are read and written: WAV, FLAC, AIFF and Ogg.
bool isSupportedFormat(int format);

// A short description such as "WAV float" or "FLAC 24-bit" for messages and summaries.
std::string describeFormat(int format);
