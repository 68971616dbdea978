// The toolkit's geometry with exact expected rectangles: CRect's union, intersection, emptiness
// and insideness, and the dirty region's merging of touching and overlapping rectangles and its
// fall-back to one bounding box.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "crect.h"
#include "dirtyregion.h"

void PrintTo(const CRect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

struct RectCase {
  const char* what;
  CRect a;
  CRect b;
  CRect expected;
};

TEST(CRectTest, UniteHoldsBothWholeAndSkipsEmptyRectangles) {
  const RectCase cases[] = {
      {"overlapping", {0, 0, 10, 10}, {5, 5, 20, 15}, {0, 0, 20, 15}},
      {"touching below: the other's last row", {0, 0, 10, 10}, {0, 10, 10, 11}, {0, 0, 10, 11}},
      {"touching on the right: its last column", {0, 0, 10, 10}, {10, 0, 11, 10}, {0, 0, 11, 10}},
      {"the other above and left", {5, 6, 10, 10}, {0, 1, 2, 3}, {0, 1, 10, 10}},
      {"far apart, negative coordinates", {-5, -4, -1, -1}, {2, 3, 4, 5}, {-5, -4, 4, 5}},
      {"inside", {0, 0, 10, 10}, {2, 3, 4, 5}, {0, 0, 10, 10}},
      {"fractional", {0.5, 0.25, 1.5, 2}, {1, 1, 3.75, 2.5}, {0.5, 0.25, 3.75, 2.5}},
      {"empty at the origin takes the other", {}, {3, 4, 5, 6}, {3, 4, 5, 6}},
      {"empty elsewhere does not stretch it", {100, 100, 100, 200}, {3, 4, 5, 6}, {3, 4, 5, 6}},
      {"inverted counts as empty", {9, 9, 1, 1}, {3, 4, 5, 6}, {3, 4, 5, 6}},
      {"an empty other changes nothing", {3, 4, 5, 6}, {0, 0, 0, 50}, {3, 4, 5, 6}},
      {"a flat other changes nothing", {3, 4, 5, 6}, {0, 50, 90, 50}, {3, 4, 5, 6}},
  };
  for (const RectCase& c : cases) {
    CRect united = c.a;
    EXPECT_EQ(&united.unite(c.b), &united);
    EXPECT_EQ(united, c.expected) << c.what;
  }
}

TEST(CRectTest, BoundKeepsTheIntersectionAndCollapsesWhatLiesOutside) {
  const RectCase cases[] = {
      {"overlapping", {0, 0, 10, 10}, {5, 5, 20, 15}, {5, 5, 10, 10}},
      {"inside", {2, 3, 4, 5}, {0, 0, 10, 10}, {2, 3, 4, 5}},
      {"around", {-5, -5, 500, 400}, {0, 0, 450, 306}, {0, 0, 450, 306}},
      {"over the frame's top left", {-5, -4, 3, 3}, {0, 0, 450, 306}, {0, 0, 3, 3}},
      {"over its bottom right", {440, 300, 460, 310}, {0, 0, 450, 306}, {440, 300, 450, 306}},
      {"touching on the right: nothing wide", {0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}},
      {"right of it: nothing wide", {0, 0, 10, 10}, {20, 0, 30, 10}, {20, 0, 20, 10}},
      {"left of it: nothing wide", {20, 0, 30, 10}, {0, 0, 10, 10}, {20, 0, 20, 10}},
      {"below it: nothing high", {0, 0, 10, 10}, {0, 20, 10, 30}, {0, 20, 10, 20}},
      {"apart both ways", {0, 0, 10, 10}, {20, 30, 40, 50}, {20, 30, 20, 30}},
      {"fractional", {0.5, 0.25, 1.5, 2}, {1, 1, 3.75, 2.5}, {1, 1, 1.5, 2}},
  };
  for (const RectCase& c : cases) {
    CRect bounded = c.a;
    EXPECT_EQ(&bounded.bound(c.b), &bounded);
    EXPECT_EQ(bounded, c.expected) << c.what;
    EXPECT_EQ(bounded.isEmpty(), !c.a.rectOverlap(c.b)) << c.what;
  }
}

TEST(CRectTest, EmptinessInsidenessAndOverlapAtTheEdges) {
  EXPECT_TRUE(CRect().isEmpty());
  EXPECT_TRUE(CRect(3, 4, 3, 9).isEmpty());
  EXPECT_TRUE(CRect(3, 4, 9, 4).isEmpty());
  EXPECT_TRUE(CRect(3, 4, 2, 9).isEmpty());
  EXPECT_FALSE(CRect(3, 4, 3.5, 4.5).isEmpty());
  EXPECT_EQ(CRect(-2, 3, 8, 10).getWidth(), 10);
  EXPECT_EQ(CRect(-2, 3, 8, 10).getHeight(), 7);

  const CRect r(10, 20, 30, 40);
  const struct {
    CPoint point;
    bool inside;
  } points[] = {{{10, 20}, true},    {{29.5, 39.5}, true}, {{30, 30}, false}, {{20, 40}, false},
                {{9.99, 30}, false}, {{20, 19.99}, false}, {{30, 40}, false}};
  for (const auto& p : points)
    EXPECT_EQ(r.pointInside(p.point), p.inside) << p.point.x << ", " << p.point.y;

  EXPECT_TRUE(r.rectOverlap(CRect(29, 39, 31, 41)));
  EXPECT_FALSE(r.rectOverlap(CRect(30, 20, 40, 40))); // touching on the right
  EXPECT_FALSE(r.rectOverlap(CRect(10, 0, 30, 20)));  // touching above
  EXPECT_FALSE(r.rectOverlap(CRect(0, 0, 10, 20)));   // touching at a corner
  EXPECT_EQ(CRect(1, 2, 3, 4).offset(10, -2), CRect(11, 0, 13, 2));
}

TEST(DirtyRegionTest, MergesTouchingAndOverlappingRectanglesAndKeepsOthersApart) {
  const struct {
    const char* what;
    std::vector<CRect> added;
    std::vector<CRect> expected;
  } cases[] = {
      {"apart, in order", {{0, 0, 10, 10}, {11, 0, 20, 10}}, {{0, 0, 10, 10}, {11, 0, 20, 10}}},
      {"apart below", {{0, 0, 10, 10}, {0, 11, 10, 20}}, {{0, 0, 10, 10}, {0, 11, 10, 20}}},
      {"touching side by side", {{0, 0, 10, 10}, {10, 2, 20, 8}}, {{0, 0, 20, 10}}},
      {"touching one above the other", {{0, 10, 10, 20}, {0, 0, 10, 10}}, {{0, 0, 10, 20}}},
      {"touching at a corner", {{0, 0, 10, 10}, {10, 10, 20, 20}}, {{0, 0, 20, 20}}},
      {"overlapping", {{0, 0, 10, 10}, {5, 5, 15, 12}}, {{0, 0, 15, 12}}},
      {"inside one already there", {{0, 0, 10, 10}, {2, 2, 4, 4}}, {{0, 0, 10, 10}}},
      {"around one already there", {{2, 2, 4, 4}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
      {"empty ones are left out", {{5, 5, 5, 9}, {0, 0, 3, 3}, {4, 4, 2, 2}}, {{0, 0, 3, 3}}},
      // The new one joins the two on its sides into one, moved to the end.
      {"bridging two",
       {{40, 40, 50, 50}, {0, 0, 10, 10}, {20, 0, 30, 10}, {10, 3, 20, 6}},
       {{40, 40, 50, 50}, {0, 0, 30, 10}}},
      // Merged with the second, the grown one reaches the first, which it did not touch before.
      {"growing into one passed already",
       {{0, 12, 5, 20}, {8, 0, 20, 13}, {3, 5, 9, 11}},
       {{0, 0, 20, 20}}},
  };
  for (const auto& c : cases) {
    DirtyRegion region;
    for (const CRect& area : c.added)
      region.add(area);
    EXPECT_EQ(region.getRects(), c.expected) << c.what;
  }
}

TEST(DirtyRegionTest, PastEightRectanglesTheRegionBecomesTheirBoundingBox) {
  DirtyRegion region;
  std::vector<CRect> apart;
  for (int i = 0; i < 8; ++i) {
    apart.emplace_back(20 * i, 3 * i, 20 * i + 5, 3 * i + 2);
    region.add(apart.back());
  }
  EXPECT_EQ(region.getRects(), apart);
  // A ninth that merges with one keeps eight apart; the merged one moves to the end.
  region.add(CRect(5, 0, 6, 1));
  apart.erase(apart.begin());
  apart.emplace_back(0, 0, 6, 2);
  EXPECT_EQ(region.getRects(), apart);
  // A ninth apart from all of them turns them into one box, itself included.
  region.add(CRect(200, 100, 201, 103));
  EXPECT_EQ(region.getRects(), std::vector<CRect>{CRect(0, 0, 201, 103)});
  // The box goes on merging as any rectangle does.
  region.add(CRect(201, 0, 210, 1));
  EXPECT_EQ(region.getRects(), std::vector<CRect>{CRect(0, 0, 210, 103)});

  EXPECT_TRUE(region.overlaps(CRect(209, 102, 300, 300)));
  EXPECT_FALSE(region.overlaps(CRect(210, 0, 300, 300))); // touching only
  std::vector<CRect> taken{CRect(1, 1, 2, 2)};
  region.takeInto(taken);
  EXPECT_EQ(taken, std::vector<CRect>{CRect(0, 0, 210, 103)});
  EXPECT_TRUE(region.isEmpty());
  EXPECT_FALSE(region.overlaps(CRect(0, 0, 500, 500)));
  region.add(CRect(1, 1, 2, 2));
  EXPECT_EQ(region.getRects(), std::vector<CRect>{CRect(1, 1, 2, 2)});
}

} // namespace
