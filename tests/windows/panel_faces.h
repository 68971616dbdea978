// What the editor's two faces must show, from the panel pictures themselves: the background
// picture of a face, everywhere outside the controls that lie on that face.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sparkwell_test {

constexpr int kPanelWidth = 450;
constexpr int kPanelHeight = 306;

enum class Face { front, back };

struct FaceMatch {
  size_t compared = 0; // opaque background pixels outside the face's controls
  size_t matching = 0; // of those, the ones the window shows exactly
};

// Compares window pixels (0x00RRGGBB, kPanelWidth x kPanelHeight) with the background picture
// of `face`, read from `resourcesFolder` (front.png or back.png).
FaceMatch matchFace(const std::vector<uint32_t>& window, Face face,
                    const std::string& resourcesFolder);

} // namespace sparkwell_test
