// The editor's pictures come in two sets: ids 1 to 8 at the editor's own size, and the same
// pictures drawn natively at twice the size under ids 201 to 208. A filmstrip's frames are
// stacked vertically; the larger picture holds as many frames, each twice as wide and high.
#pragma once

#include <cstdint>

// The densities the library carries pictures for, smallest first.
constexpr int32_t kPictureDensities[] = {1, 2};
constexpr int32_t kLargestPictureDensity = 2;

// The id of picture `id` drawn at `density` output pixels per window pixel.
constexpr int32_t pictureIdAtDensity(int32_t id, int32_t density) {
  return density == 1 ? id : density * 100 + id;
}

// How many filmstrip frames picture `id` (of the set at size 1) holds; 1 for a picture this
// table does not know.
constexpr int32_t pictureFrames(int32_t id) {
  switch (id) {
  case 2: // knob
  case 8: // SET knob
    return 31;
  case 3: // pickup selector
    return 5;
  case 4: // toggle
  case 6: // tab
  case 7: // BOOST switch
    return 2;
  default: // the two faces
    return 1;
  }
}
