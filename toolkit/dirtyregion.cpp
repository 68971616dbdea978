#include "dirtyregion.h"

namespace {

bool overlapsOrTouches(const CRect& a, const CRect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool contains(const CRect& outer, const CRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

} // namespace

void DirtyRegion::add(const CRect& area) {
  if (area.isEmpty()) return;
  CRect merged = area;
  for (size_t i = 0; i < rects.size();) {
    if (contains(rects[i], merged)) return;
    if (overlapsOrTouches(rects[i], merged)) {
      // The grown rectangle may now reach others already passed: look at all of them again.
      merged.unite(rects[i]);
      rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(i));
      i = 0;
      continue;
    }
    ++i;
  }
  if (rects.size() == kMostRects) {
    for (const CRect& rect : rects)
      merged.unite(rect);
    rects.clear();
  }
  rects.push_back(merged);
}

bool DirtyRegion::overlaps(const CRect& area) const {
  for (const CRect& rect : rects)
    if (rect.rectOverlap(area)) return true;
  return false;
}

void DirtyRegion::takeInto(std::vector<CRect>& taken) {
  taken.clear();
  taken.swap(rects);
  rects.reserve(kMostRects + 1);
}
