// The editor's pictures, decoded the way the toolkit decodes them (stb_image from the PNG
// bytes): sizes, channels, frame layout, which way each filmstrip turns, and the parts that
// must stay transparent so the printed labels of the panels show through.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  int channelsInFile = 0;
  bool sixteenBit = false;
  std::vector<std::uint8_t> rgba;

  const std::uint8_t* pixel(int x, int y) const {
    return &rgba[(static_cast<size_t>(y) * width + x) * 4];
  }
};

Picture load(const std::string& name) {
  const std::string path = std::string(SPARKWELL_RESOURCE_DIR) + "/" + name;
  Picture p;
  p.sixteenBit = stbi_is_16_bit(path.c_str()) != 0;
  stbi_uc* data = stbi_load(path.c_str(), &p.width, &p.height, &p.channelsInFile, 4);
  if (data == nullptr) {
    ADD_FAILURE() << name << ": " << stbi_failure_reason();
    return p;
  }
  p.rgba.assign(data, data + static_cast<size_t>(p.width) * p.height * 4);
  stbi_image_free(data);
  return p;
}

struct Layout {
  const char* file;
  int width;
  int height;
  int frameHeight;
  int frames;
};

// Sizes and frame layout the editor's controls are built with.
const Layout kLayouts[] = {
    {"front.png", 450, 306, 306, 1},
    {"knob.png", 70, 2170, 70, 31},
    {"pickup.png", 80, 400, 80, 5},
    {"toggle.png", 56, 112, 56, 2},
    {"back.png", 450, 306, 306, 1},
    {"tab.png", 100, 60, 30, 2},
    {"boost.png", 34, 110, 55, 2},
    {"setknob.png", 64, 1984, 64, 31},
    // The same pictures drawn at twice the size: the frames stay in place, twice as large.
    {"front@2x.png", 900, 612, 612, 1},
    {"knob@2x.png", 140, 4340, 140, 31},
    {"pickup@2x.png", 160, 800, 160, 5},
    {"toggle@2x.png", 112, 224, 112, 2},
    {"back@2x.png", 900, 612, 612, 1},
    {"tab@2x.png", 200, 120, 60, 2},
    {"boost@2x.png", 68, 220, 110, 2},
    {"setknob@2x.png", 128, 3968, 128, 31},
};

const Layout& layoutOf(const std::string& file) {
  for (const Layout& l : kLayouts)
    if (file == l.file) return l;
  static const Layout none{"", 0, 0, 1, 0};
  ADD_FAILURE() << "no layout for " << file;
  return none;
}

bool isPointerWhite(const std::uint8_t* px) {
  return px[3] > 200 && px[0] > 225 && px[1] > 225 && px[2] > 215;
}

// Direction of the white pointer of one frame, in degrees clockwise from twelve o'clock,
// taken from the centroid of its white pixels around the frame's centre.
double pointerAngle(const Picture& p, int frameHeight, int frame) {
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 0; y < frameHeight; ++y)
    for (int x = 0; x < p.width; ++x)
      if (isPointerWhite(p.pixel(x, frame * frameHeight + y))) {
        sx += x + 0.5;
        sy += y + 0.5;
        ++n;
      }
  EXPECT_GT(n, 10) << "frame " << frame << " shows no pointer";
  if (n == 0) return NAN;
  const double dx = sx / n - p.width / 2.0;
  const double dy = sy / n - frameHeight / 2.0;
  return std::atan2(dx, -dy) * 180.0 / M_PI;
}

int differingPixels(const Picture& p, int frameHeight, int a, int b) {
  int n = 0;
  for (int y = 0; y < frameHeight; ++y)
    for (int x = 0; x < p.width; ++x) {
      const std::uint8_t* pa = p.pixel(x, a * frameHeight + y);
      const std::uint8_t* pb = p.pixel(x, b * frameHeight + y);
      for (int c = 0; c < 4; ++c)
        if (std::abs(pa[c] - pb[c]) > 8) {
          ++n;
          break;
        }
    }
  return n;
}

TEST(Artwork, EveryPictureIsEightBitRgbaWithItsSizeAndFrames) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.file);
    const Picture p = load(l.file);
    EXPECT_FALSE(p.sixteenBit);
    EXPECT_EQ(p.channelsInFile, 4);
    EXPECT_EQ(p.width, l.width);
    EXPECT_EQ(p.height, l.height);
    EXPECT_EQ(p.height % l.frameHeight, 0);
    EXPECT_EQ(p.height / l.frameHeight, l.frames);
  }
}

TEST(Artwork, PanelBackgroundsAreOpaqueEverywhere) {
  for (const char* file : {"front.png", "back.png"}) {
    SCOPED_TRACE(file);
    const Picture p = load(file);
    int seeThrough = 0;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        if (p.pixel(x, y)[3] != 255) ++seeThrough;
    EXPECT_EQ(seeThrough, 0);
  }
}

TEST(Artwork, ControlFramesHaveTransparentCornersAndDifferFromTheirNeighbours) {
  for (const char* file :
       {"knob.png", "pickup.png", "toggle.png", "tab.png", "boost.png", "setknob.png"}) {
    SCOPED_TRACE(file);
    const Layout& l = layoutOf(file);
    const Picture p = load(file);
    ASSERT_EQ(p.height, l.height);
    for (int f = 0; f < l.frames; ++f) {
      const int top = f * l.frameHeight, bottom = top + l.frameHeight - 1;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          EXPECT_EQ(p.pixel(dx, top + dy)[3], 0) << "frame " << f;
          EXPECT_EQ(p.pixel(p.width - 1 - dx, top + dy)[3], 0) << "frame " << f;
          EXPECT_EQ(p.pixel(dx, bottom - dy)[3], 0) << "frame " << f;
          EXPECT_EQ(p.pixel(p.width - 1 - dx, bottom - dy)[3], 0) << "frame " << f;
        }
      if (f > 0) {
        EXPECT_GT(differingPixels(p, l.frameHeight, f - 1, f), 8) << "frame " << f;
      }
    }
  }
}

// Knob filmstrips turn clockwise frame by frame; the angles are where the pointer must be
// at the first, middle and last frame.
void expectClockwiseSweep(const char* file, double first, double last) {
  SCOPED_TRACE(file);
  const Layout& l = layoutOf(file);
  const Picture p = load(file);
  ASSERT_EQ(p.height, l.height);
  std::vector<double> angles;
  for (int f = 0; f < l.frames; ++f)
    angles.push_back(pointerAngle(p, l.frameHeight, f));
  EXPECT_NEAR(angles.front(), first, 6.0);
  EXPECT_NEAR(angles[l.frames / 2], 0.0, 3.0);
  EXPECT_NEAR(angles.back(), last, 6.0);
  const double step = (last - first) / (l.frames - 1);
  for (int f = 1; f < l.frames; ++f)
    EXPECT_NEAR(angles[f] - angles[f - 1], step, step * 0.6) << "frame " << f;
}

TEST(Artwork, BackPanelKnobTurnsFromSevenThroughTwelveToFiveOClock) {
  expectClockwiseSweep("knob.png", -150.0, 150.0);
}

TEST(Artwork, SetKnobBarTurnsFromLowerLeftThroughUprightToLowerRight) {
  expectClockwiseSweep("setknob.png", -135.0, 135.0);
}

TEST(Artwork, PickupPointerAimsUpRightRightAndDownRight) {
  const Picture p = load("pickup.png");
  ASSERT_EQ(p.height, 400);
  const double expected[] = {30.0, 60.0, 90.0, 120.0, 150.0};
  for (int f = 0; f < 5; ++f)
    EXPECT_NEAR(pointerAngle(p, 80, f), expected[f], 6.0) << f;
}

double opaqueCentroidY(const Picture& p, int frameHeight, int frame, int x0, int x1) {
  double sum = 0, weight = 0;
  for (int y = 0; y < frameHeight; ++y)
    for (int x = x0; x < x1; ++x) {
      const std::uint8_t* px = p.pixel(x, frame * frameHeight + y);
      const double w = px[3] / 255.0 * (px[0] + px[1] + px[2]) / 765.0;
      sum += w * (y + 0.5);
      weight += w;
    }
  return weight > 0 ? sum / weight : static_cast<double>(NAN);
}

// First and last row of the central columns where the picture is mostly opaque.
std::pair<int, int> opaqueRows(const Picture& p, int frameHeight, int frame, int x0, int x1) {
  int first = frameHeight, last = -1;
  for (int y = 0; y < frameHeight; ++y)
    for (int x = x0; x < x1; ++x)
      if (p.pixel(x, frame * frameHeight + y)[3] >= 128) {
        first = std::min(first, y);
        last = std::max(last, y);
      }
  return {first, last};
}

TEST(Artwork, ToggleLeverUpFirstAndLabelBandsLeftClear) {
  const Picture p = load("toggle.png");
  ASSERT_EQ(p.height, 112);
  // The lever's tip reaches past the nut: above it in frame 0, below it in frame 1.
  const auto up = opaqueRows(p, 56, 0, 24, 33);
  const auto down = opaqueRows(p, 56, 1, 24, 33);
  EXPECT_LT(up.first, down.first);
  EXPECT_GT(down.second, up.second);
  // The back panel prints the two states inside the top and bottom edges of each toggle's
  // rectangle (eleven rows each); nothing of the toggle may cover them.
  for (int f = 0; f < 2; ++f)
    for (int y = 0; y < 56; ++y) {
      if (y >= 11 && y < 45) continue;
      for (int x = 0; x < 56; ++x)
        ASSERT_LE(p.pixel(x, f * 56 + y)[3], 64) << "frame " << f << " x " << x << " y " << y;
    }
}

TEST(Artwork, BoostActuatorIsUpForOffAndDownForOn) {
  const Picture p = load("boost.png");
  ASSERT_EQ(p.height, 110);
  // Within the slot, the bright actuator against the black slot tells where it stands.
  const double off = opaqueCentroidY(p, 55, 0, 13, 21);
  const double on = opaqueCentroidY(p, 55, 1, 13, 21);
  EXPECT_LT(off, 27.5);
  EXPECT_GT(on, 27.5);
  EXPECT_GT(on - off, 6.0);
}

// WCAG relative luminance of an sRGB colour given as 0..1 channels.
double relativeLuminance(double r, double g, double b) {
  auto linear = [](double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}

// The part of the tab the window shows: its rectangle starts 4 pixels above the window and
// reaches 7 beyond its right edge, at window x 357.
constexpr int kTabLeft = 357, kTabShownWidth = 93, kTabShownTop = 4, kTabShownHeight = 26;

struct TabOverFace {
  std::vector<double> luminance; // of the composited pixel, row by row
  std::vector<bool> tabOpaque;   // where the tab alone decides the colour
};

// One tab frame drawn over a face, source-over as the toolkit draws it, in the visible part.
TabOverFace compositeTab(const Picture& tab, int frame, const Picture& face) {
  TabOverFace out;
  for (int y = 0; y < kTabShownHeight; ++y)
    for (int x = 0; x < kTabShownWidth; ++x) {
      const std::uint8_t* t = tab.pixel(x, frame * 30 + kTabShownTop + y);
      const std::uint8_t* f = face.pixel(kTabLeft + x, y);
      const double a = t[3] / 255.0;
      double c[3];
      for (int k = 0; k < 3; ++k)
        c[k] = (t[k] * a + f[k] * (1.0 - a)) / 255.0;
      out.luminance.push_back(relativeLuminance(c[0], c[1], c[2]));
      out.tabOpaque.push_back(t[3] == 255);
    }
  return out;
}

struct TabLabel {
  int pixels = 0;      // of the label
  double ratio = 0;    // WCAG contrast ratio of the label against its surroundings
  double plateY = 1.0; // median luminance of what the tab shows beside the label
};

// The tab's label (the word and the flip mark) and how it stands out. It is printed on the tab's
// face, so it is looked for only among the pixels the tab covers fully and at least 4 pixels
// away from its edge (lines along the edge are the tab's frame); there it is the smaller of two
// luminance classes, split with Otsu's method on log(Y + 0.05), the scale the ratio lives on.
// The label's luminance is the median of its pixels. Its surroundings are the pixels 2 or 3
// away from it, past the antialiased fringe, whatever they show (tab, frame or face), taken at
// the 90th percentile nearest the label's luminance, so a light patch beside it counts.
TabLabel measureTabLabel(const TabOverFace& image) {
  const int w = kTabShownWidth, h = kTabShownHeight;
  auto at = [w](int x, int y) { return static_cast<size_t>(y) * size_t(w) + size_t(x); };
  // Chebyshev distance up to `reach` from (x, y) to a pixel where `hit` holds; 99 if none.
  // Beyond the window's top edge the tab goes on, so that side has no edge.
  auto distanceTo = [&](int x, int y, int reach, auto hit) {
    int nearest = 99;
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        const int u = x + dx, v = y + dy;
        if (v < 0 || u < 0 || u >= w || v >= h) continue;
        if (hit(at(u, v))) nearest = std::min(nearest, std::max(std::abs(dx), std::abs(dy)));
      }
    return nearest;
  };
  std::vector<std::pair<double, size_t>> inside;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (x >= 4 && x < w - 4 &&
          distanceTo(x, y, 3, [&](size_t i) { return !image.tabOpaque[i]; }) > 3)
        inside.emplace_back(std::log(image.luminance[at(x, y)] + 0.05), at(x, y));
  TabLabel result;
  if (inside.size() < 2) return result;
  std::sort(inside.begin(), inside.end());
  const size_t n = inside.size();
  double total = 0;
  for (const auto& p : inside)
    total += p.first;
  double below = 0, bestSpread = -1;
  size_t split = 0; // the darker class is inside[0, split)
  for (size_t k = 1; k < n; ++k) {
    below += inside[k - 1].first;
    if (inside[k].first == inside[k - 1].first) continue;
    const double m0 = below / double(k), m1 = (total - below) / double(n - k);
    const double spread = double(k) * double(n - k) * (m0 - m1) * (m0 - m1);
    if (spread > bestSpread) bestSpread = spread, split = k;
  }
  if (split == 0) return result; // one flat colour: nothing printed on it
  const bool labelIsLight = n - split <= split;
  const size_t labelBegin = labelIsLight ? split : 0, labelEnd = labelIsLight ? n : split;
  const size_t plateBegin = labelIsLight ? 0 : split, plateEnd = labelIsLight ? split : n;
  std::vector<bool> isLabel(image.luminance.size(), false);
  for (size_t k = labelBegin; k < labelEnd; ++k)
    isLabel[inside[k].second] = true;
  std::vector<double> around;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (isLabel[at(x, y)]) continue;
      const int d = distanceTo(x, y, 3, [&](size_t i) { return bool(isLabel[i]); });
      if (d == 2 || d == 3) around.push_back(image.luminance[at(x, y)]);
    }
  if (around.empty()) return result;
  std::sort(around.begin(), around.end());
  auto luminanceOf = [&](size_t k) { return std::exp(inside[k].first) - 0.05; };
  const double labelY = luminanceOf((labelBegin + labelEnd) / 2);
  const double aroundY = labelIsLight ? around[around.size() * 9 / 10] : around[around.size() / 10];
  result.pixels = int(labelEnd - labelBegin);
  result.ratio = (std::max(labelY, aroundY) + 0.05) / (std::min(labelY, aroundY) + 0.05);
  result.plateY = luminanceOf((plateBegin + plateEnd) / 2);
  return result;
}

// The tab is the only way to the back face, so its label must read at once: at least 7:1
// against its surroundings, raised (frame 0) and pressed (frame 1), over either face; pressed,
// the tab is clearly darker.
TEST(Artwork, TabLabelReadsAtSevenToOneOnBothFacesAndTheTabStaysInTheWindow) {
  const Picture tab = load("tab.png");
  const Picture faces[2] = {load("front.png"), load("back.png")};
  ASSERT_EQ(tab.height, 60);
  ASSERT_EQ(faces[0].width, 450);
  ASSERT_EQ(faces[1].width, 450);
  double plateY[2] = {0, 0};
  for (int f = 0; f < 2; ++f) {
    SCOPED_TRACE(f);
    int clipped = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 100; ++x)
        if (tab.pixel(x, f * 30 + y)[3] != 0 && (x >= kTabShownWidth || y < kTabShownTop))
          ++clipped;
    EXPECT_EQ(clipped, 0) << "the window never shows these pixels";
    for (int side = 0; side < 2; ++side) {
      const char* faceName = side == 0 ? "front" : "back";
      const TabLabel label = measureTabLabel(compositeTab(tab, f, faces[side]));
      ::testing::Test::RecordProperty(std::string("contrast_frame") + std::to_string(f) + "_" +
                                          faceName,
                                      std::to_string(label.ratio));
      EXPECT_GT(label.pixels, 120) << faceName << ": the word and the mark should be there";
      EXPECT_GE(label.ratio, 7.0) << faceName;
      plateY[f] = std::max(plateY[f], label.plateY);
    }
  }
  EXPECT_LT(plateY[1] + 0.05, (plateY[0] + 0.05) * 0.8) << "pressed, the tab is darker";
}

double luminance(const std::uint8_t* px) {
  return (px[0] + px[1] + px[2]) / 3.0;
}

int countPixels(const Picture& p, int x0, int y0, int x1, int y1,
                bool (*matches)(const std::uint8_t*)) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (matches(p.pixel(x, y))) ++n;
  return n;
}

bool isDarkInk(const std::uint8_t* px) {
  return luminance(px) < 90.0;
}
bool isCreamInk(const std::uint8_t* px) {
  // Warm light ink: the backdrop around the pedal is a neutral grey of similar brightness.
  return px[0] > 200 && px[1] > 185 && px[2] > 150 && px[0] - px[2] > 18;
}

// The printed labels sit where the control rectangles leave room for them (window
// coordinates, left, top, right, bottom of each area).
TEST(Artwork, FrontLabelsFlankTheBoostSwitchAndTheSetKnob) {
  const Picture p = load("front.png");
  ASSERT_EQ(p.width, 450);
  struct Area {
    const char* label;
    int x0, y0, x1, y1;
  };
  // BOOST switch at 87,159,121,214 and SET knob at 192,154,256,218.
  const Area printed[] = {{"BOOST right of the switch", 122, 170, 190, 204},
                          {"OFF at the switch's upper left", 50, 159, 87, 186},
                          {"ON at the switch's lower left", 50, 187, 87, 214},
                          {"SET right of the knob", 257, 170, 305, 204}};
  for (const Area& a : printed)
    EXPECT_GT(countPixels(p, a.x0, a.y0, a.x1, a.y1, isCreamInk), 40) << a.label;
  // The tab's visible part shows the backdrop, not the pedal's print.
  EXPECT_EQ(countPixels(p, 357, 0, 450, 26, isCreamInk), 0);
}

TEST(Artwork, BackPanelPrintsToggleStatesInsideTheirRectanglesAndPickupLines) {
  const Picture p = load("back.png");
  ASSERT_EQ(p.width, 450);
  // Transistor toggle 144,46,200,102 and Stereo toggle 144,133,200,189: the state names
  // lie in the 11 rows inside the top and bottom edges, which the toggle leaves clear.
  for (int top : {46, 133}) {
    EXPECT_GT(countPixels(p, 144, top, 200, top + 11, isDarkInk), 40) << top;
    EXPECT_GT(countPixels(p, 144, top + 45, 200, top + 56, isDarkInk), 40) << top;
  }
  // Pickup selector 231,76,311,156: a printed line leaves the selector in each of the five
  // pointer directions, just outside the knob's hub, and none in directions it never points.
  const double cx = 271.0, cy = 116.0;
  auto darkest = [&](double angleDeg, double r) {
    const double a = angleDeg * M_PI / 180.0;
    const int x = static_cast<int>(cx + std::sin(a) * r),
              y = static_cast<int>(cy - std::cos(a) * r);
    double lum = 255.0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        lum = std::min(lum, luminance(p.pixel(x + dx, y + dy)));
    return lum;
  };
  for (int k = 0; k < 5; ++k)
    for (double r = 29.0; r <= 41.0; r += 2.0)
      EXPECT_LT(darkest(30.0 + 30.0 * k, r), 110.0) << "position " << k << " radius " << r;
  for (double angle : {210.0, 270.0, 330.0})
    for (double r = 29.0; r <= 41.0; r += 2.0)
      EXPECT_GT(darkest(angle, r), 140.0) << "angle " << angle << " radius " << r;
}

} // namespace
