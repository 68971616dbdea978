// The digests of the recorded sound (recorded_output.h): one per setting, the same at every block
// size, and one of the inputs themselves ("input", both channels as the bypass in Stereo gives
// them back), which tells a platform that makes other inputs from one that plays them otherwise. A
// row changes only in a commit that says why the sound changed; SPARKWELL_PRINT_DIGESTS=1 prints
// the rows a build gives now.
#pragma once

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>

#include "recorded_output.h"

namespace recorded_output {

struct RecordedDigest {
  const char* setting;
  uint64_t digest;
};

constexpr RecordedDigest kRecordedDigests[] = {
    {"input", 0xe75031b67690ca58u},
    {"None/2SB175/Stereo/grid0", 0xf6359e19140347f2u},
    {"None/2SB175/Stereo/grid0.5", 0xc2fe74a12f573518u},
    {"None/2SB175/Mono/grid0", 0x65fc16fbf85d7a39u},
    {"None/2SB175/Mono/grid0.5", 0x3d63e313688fab8du},
    {"None/AC128/Stereo/grid0", 0x67fd0b6eaf52cbd1u},
    {"None/AC128/Stereo/grid0.5", 0x6109c5ed5501ae41u},
    {"None/AC128/Mono/grid0", 0x585e98c098703c7du},
    {"None/AC128/Mono/grid0.5", 0xda338668b0c22489u},
    {"HotHB/2SB175/Stereo/grid0", 0xeecbdc0cdb986ea2u},
    {"HotHB/2SB175/Stereo/grid0.5", 0x9eb32b2512ba5ea9u},
    {"HotHB/2SB175/Mono/grid0", 0x82e336b5aebe64a5u},
    {"HotHB/2SB175/Mono/grid0.5", 0xaf64a2936f907d1du},
    {"HotHB/AC128/Stereo/grid0", 0x3663b25c6555c284u},
    {"HotHB/AC128/Stereo/grid0.5", 0x7f56a49fb549af28u},
    {"HotHB/AC128/Mono/grid0", 0xdab7e9bcacb00e51u},
    {"HotHB/AC128/Mono/grid0.5", 0x194d5ddf6db4492du},
    {"HB/2SB175/Stereo/grid0", 0x19b07431113ea276u},
    {"HB/2SB175/Stereo/grid0.5", 0x92d642eb5305870au},
    {"HB/2SB175/Mono/grid0", 0x588c5d08d7abe849u},
    {"HB/2SB175/Mono/grid0.5", 0x57eae942d9acdfe1u},
    {"HB/AC128/Stereo/grid0", 0xb0bf8eb4948a34adu},
    {"HB/AC128/Stereo/grid0.5", 0xd2a9c9f90cc08b73u},
    {"HB/AC128/Mono/grid0", 0xfab86df90f7b3671u},
    {"HB/AC128/Mono/grid0.5", 0x8abc791b586a5ac9u},
    {"P90/2SB175/Stereo/grid0", 0xbef8df754d3ed5b4u},
    {"P90/2SB175/Stereo/grid0.5", 0xf8206f09c53fccdcu},
    {"P90/2SB175/Mono/grid0", 0xbf6b842b18d0e125u},
    {"P90/2SB175/Mono/grid0.5", 0x9256af1684494055u},
    {"P90/AC128/Stereo/grid0", 0x2a1361b6ccff99fdu},
    {"P90/AC128/Stereo/grid0.5", 0xb72b4f31d9b1d95cu},
    {"P90/AC128/Mono/grid0", 0x3b6d44dc8d7cd8e9u},
    {"P90/AC128/Mono/grid0.5", 0xb43f9909dd809599u},
    {"SC/2SB175/Stereo/grid0", 0xbbcc13afd33953f8u},
    {"SC/2SB175/Stereo/grid0.5", 0xd762cfaf81f5abacu},
    {"SC/2SB175/Mono/grid0", 0x98a0ed1687ced941u},
    {"SC/2SB175/Mono/grid0.5", 0x41c3cee269582d85u},
    {"SC/AC128/Stereo/grid0", 0x208eb4942c2aa844u},
    {"SC/AC128/Stereo/grid0.5", 0xd040f2e6a7dfa7c4u},
    {"SC/AC128/Mono/grid0", 0xf8b6c56193e5e68du},
    {"SC/AC128/Mono/grid0.5", 0x50e433d34d568055u},
    {"Off/Stereo", 0xe75031b67690ca58u},
    {"Off/Mono", 0xd4f8f3f16b0da68du},
};

// The digest as the table writes it.
inline std::string hexDigest(uint64_t digest) {
  std::ostringstream text;
  text << "0x" << std::hex << std::setw(16) << std::setfill('0') << digest;
  return text.str();
}

// What is wrong with `digest` as the output the table records under `key`: empty when it is the
// recorded one, else a message that names the case (`caseName`) and gives both digests.
inline std::string digestMismatch(const std::string& key, const std::string& caseName,
                                  uint64_t digest) {
  for (const RecordedDigest& row : kRecordedDigests)
    if (key == row.setting)
      return row.digest == digest ? std::string()
                                  : caseName + ": digest " + hexDigest(digest) + ", recorded " +
                                        hexDigest(row.digest);
  return caseName + ": digest " + hexDigest(digest) + ", none recorded";
}

// The table row for `setting` with `digest`, as this file holds it.
inline std::string tableRow(const std::string& setting, uint64_t digest) {
  return "    {\"" + setting + "\", " + hexDigest(digest) + "u},\n";
}

} // namespace recorded_output
