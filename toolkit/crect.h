// Points and rectangles in frame coordinates: pixels, origin at the top left, y downward.
// Coordinates are floating point like the rest of the toolkit's geometry.
#pragma once

#include <cmath>

typedef double CCoord;

struct CPoint {
  CPoint() = default;
  CPoint(CCoord x, CCoord y) : x(x), y(y) {}

  CPoint& offset(CCoord dx, CCoord dy) {
    x += dx;
    y += dy;
    return *this;
  }
  bool operator==(const CPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const CPoint& other) const { return !(*this == other); }

  CCoord x = 0;
  CCoord y = 0;
};

struct CRect {
  CRect() = default;
  CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
      : left(left), top(top), right(right), bottom(bottom) {}

  CCoord getWidth() const { return right - left; }
  CCoord getHeight() const { return bottom - top; }
  CPoint getTopLeft() const { return CPoint(left, top); }
  bool isEmpty() const { return right <= left || bottom <= top; }

  // Inside means left <= x < right and top <= y < bottom: a pixel on the right or bottom edge
  // belongs to the neighbour.
  bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  CRect& offset(CCoord dx, CCoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  // Shrinks this rectangle to its intersection with `other`; an empty result keeps
  // right == left and bottom == top.
  CRect& bound(const CRect& other);
  // Grows this rectangle to hold `other` as well; an empty rectangle takes `other` whole.
  CRect& unite(const CRect& other);
  bool rectOverlap(const CRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
  bool operator==(const CRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const CRect& o) const { return !(*this == o); }

  CCoord left = 0;
  CCoord top = 0;
  CCoord right = 0;
  CCoord bottom = 0;
};

// A frame rectangle on a device with `scale` device pixels per frame pixel. Each edge goes to the
// device pixel edge at or after it (the edges a drawing of the rectangle touches), so rectangles
// that meet in the frame still meet on the device. At scale 1 the rectangle stays as it is.
inline CRect deviceRect(const CRect& r, double scale) {
  if (scale == 1.0) return r;
  return CRect(std::ceil(r.left * scale), std::ceil(r.top * scale), std::ceil(r.right * scale),
               std::ceil(r.bottom * scale));
}
