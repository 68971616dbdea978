// The parts of the frame that must be drawn again: a few rectangles rather than one box around
// them all, so that two controls far apart cost their own areas and not the window between.
#pragma once

#include <cstddef>
#include <vector>

#include "crect.h"

class DirtyRegion {
public:
  DirtyRegion() { rects.reserve(kMostRects + 1); }

  // Adds `area`, already limited to the frame. Rectangles that overlap or touch are merged into
  // one; past a handful the whole region becomes the box around it.
  void add(const CRect& area);
  bool isEmpty() const { return rects.empty(); }
  const std::vector<CRect>& getRects() const { return rects; }
  bool overlaps(const CRect& area) const;
  // Hands the rectangles over to `taken` (cleared first) and leaves the region empty.
  void takeInto(std::vector<CRect>& taken);

private:
  static constexpr size_t kMostRects = 8;
  std::vector<CRect> rects;
};
