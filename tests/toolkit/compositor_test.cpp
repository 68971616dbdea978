// Decoding pictures and composing them: premultiplied alpha, blits with alpha at exact places,
// clipping at the frame's edges, missing and broken pictures, and saving the result.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <unistd.h>

#include "cbitmap.h"
#include "cdrawcontext.h"
#include "cframe.h"
#include "conoffbutton.h"
#include "pngdecoder.h"
#include "pngwriter.h"
#include "toolkit_fixtures.h"

namespace {

constexpr int32_t kBackground = 1, kPicture = 6;
constexpr uint32_t kOpaqueBlue = 0xff0000ffu;

// RGBA rows where row r of every column is (r, 255 - r, 7 * r, 255): tells which source row
// landed where.
std::vector<unsigned char> rowCodedPng(int32_t width, int32_t height) {
  std::vector<unsigned char> rgba;
  for (int32_t row = 0; row < height; ++row)
    for (int32_t column = 0; column < width; ++column)
      rgba.insert(rgba.end(),
                  {static_cast<unsigned char>(row), static_cast<unsigned char>(255 - row),
                   static_cast<unsigned char>(7 * row), 255});
  return encodePng(rgba.data(), width, height);
}

uint32_t rowColour(int32_t row) {
  return makePixel(255, static_cast<uint32_t>(row), static_cast<uint32_t>(255 - row),
                   static_cast<uint32_t>(7 * row % 256));
}

class CompositorTest : public ::testing::Test {
protected:
  // A frame of width x height over an opaque blue background, with one button showing
  // picture kPicture in `place`.
  COnOffButton* composeButton(int32_t width, int32_t height, const CRect& place) {
    pictures.set(kBackground, solidPng(width, height, 0, 0, 255, 255));
    frame = new CFrame(CRect(0, 0, width, height), nullptr, nullptr);
    CBitmap* background = new CBitmap(CResourceDescription(kBackground));
    frame->setBackground(background);
    background->forget();
    CBitmap* picture = new CBitmap(CResourceDescription(kPicture));
    auto* button = new COnOffButton(place, nullptr, 0, picture);
    picture->forget();
    frame->addView(button);
    frame->idle();
    return button;
  }
  void TearDown() override {
    if (frame != nullptr) frame->forget();
  }
  uint32_t shown(int32_t x, int32_t y) const { return frame->getComposedImage().at(x, y); }

  PictureOverride pictures;
  CFrame* frame = nullptr;
};

TEST_F(CompositorTest, DecodingPremultipliesTheColoursByAlpha) {
  const unsigned char rgba[] = {200, 100, 50, 128, 10, 20, 30, 255, 255, 255, 255, 0};
  pictures.set(kPicture, encodePng(rgba, 3, 1));
  CBitmap* bitmap = new CBitmap(CResourceDescription(kPicture));
  ASSERT_EQ(bitmap->getWidth(), 3);
  ASSERT_EQ(bitmap->getHeight(), 1);
  EXPECT_EQ(bitmap->getImage().at(0, 0), makePixel(128, 100, 50, 25));
  EXPECT_EQ(bitmap->getImage().at(1, 0), makePixel(255, 10, 20, 30));
  EXPECT_EQ(bitmap->getImage().at(2, 0), 0u);
  EXPECT_EQ(bitmap->getResourceDescription().id, kPicture);
  bitmap->forget();
}

TEST_F(CompositorTest, MissingOrBrokenPicturesAreEmptyAndDrawNothing) {
  std::vector<unsigned char> valid = solidPng(10, 10, 255, 0, 0, 255);
  const std::vector<std::vector<unsigned char>> broken = {
      {}, {1, 2, 3, 4}, std::vector<unsigned char>(valid.begin(), valid.begin() + 40)};
  for (const auto& bytes : broken) {
    if (bytes.empty())
      pictures.makeMissing(kPicture);
    else
      pictures.set(kPicture, bytes);
    CBitmap* bitmap = new CBitmap(CResourceDescription(kPicture));
    EXPECT_EQ(bitmap->getWidth(), 0);
    EXPECT_EQ(bitmap->getHeight(), 0);
    bitmap->forget();
  }
  composeButton(40, 30, CRect(10, 5, 20, 15));
  EXPECT_EQ(shown(12, 7), kOpaqueBlue);
}

TEST_F(CompositorTest, PicturesAreBlendedWithTheirAlphaExactlyInTheirRectangle) {
  // Frame 0 of the button's picture is half-transparent red, frame 1 fully transparent.
  std::vector<unsigned char> rgba;
  for (int32_t i = 0; i < 10 * 10; ++i)
    rgba.insert(rgba.end(), {255, 0, 0, 128});
  for (int32_t i = 0; i < 10 * 10; ++i)
    rgba.insert(rgba.end(), {0, 255, 0, 0});
  pictures.set(kPicture, encodePng(rgba.data(), 10, 20));
  COnOffButton* button = composeButton(40, 30, CRect(10, 5, 20, 15));

  // 128 of red over opaque blue: red 128, blue 255 x 127 / 255, fully opaque.
  const uint32_t blended = makePixel(255, 128, 0, 127);
  EXPECT_EQ(shown(10, 5), blended);
  EXPECT_EQ(shown(19, 14), blended);
  EXPECT_EQ(shown(20, 14), kOpaqueBlue);
  EXPECT_EQ(shown(19, 15), kOpaqueBlue);
  EXPECT_EQ(shown(9, 5), kOpaqueBlue);
  EXPECT_EQ(shown(10, 4), kOpaqueBlue);

  button->setValue(1.0f); // the transparent frame leaves the background as it was
  frame->idle();
  EXPECT_EQ(shown(10, 5), kOpaqueBlue);
  EXPECT_EQ(shown(19, 14), kOpaqueBlue);
}

TEST_F(CompositorTest, APictureReachingPastTheFrameIsClippedToIt) {
  // Like the panel tab: 4 rows above the frame and 7 columns beyond its right edge.
  pictures.set(kPicture, rowCodedPng(100, 60));
  composeButton(450, 306, CRect(357, -4, 457, 26));
  EXPECT_EQ(shown(357, 0), rowColour(4)) << "the rows above the frame are cut off";
  EXPECT_EQ(shown(449, 0), rowColour(4));
  EXPECT_EQ(shown(449, 25), rowColour(29));
  EXPECT_EQ(shown(356, 10), kOpaqueBlue);
  EXPECT_EQ(shown(400, 26), kOpaqueBlue);
}

TEST_F(CompositorTest, TheSourceOffsetPicksTheFilmstripFrame) {
  pictures.set(kPicture, filmstripPng(8, 5, 4));
  CBitmap* strip = new CBitmap(CResourceDescription(kPicture));
  PixelImage target(8, 5, 0xff000000u);
  CDrawContext context(target, CRect(0, 0, 8, 5));
  for (int32_t k = 0; k < 4; ++k) {
    strip->draw(&context, CRect(0, 0, 8, 5), CPoint(0, 5 * k));
    EXPECT_EQ(target.at(0, 0), frameColour(k));
    EXPECT_EQ(target.at(7, 4), frameColour(k));
  }
  context.setClipRect(CRect(2, 1, 4, 3));
  strip->draw(&context, CRect(0, 0, 8, 5), CPoint(0, 0));
  EXPECT_EQ(target.at(2, 1), frameColour(0));
  EXPECT_EQ(target.at(4, 1), frameColour(3)) << "outside the clip";
  EXPECT_EQ(target.at(2, 3), frameColour(3));
  strip->forget();
}

TEST(Blending, SourceOverMatchesTheRoundedFormulaForEveryChannel) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<uint32_t> byte(0, 255);
  for (int32_t i = 0; i < 20000; ++i) {
    auto premultiplied = [&] {
      const uint32_t a = byte(random);
      auto channel = [&] { return byte(random) * a / 255; };
      const uint32_t r = channel(), g = channel(), b = channel();
      return makePixel(a, r, g, b);
    };
    const uint32_t source = premultiplied(), destination = premultiplied();
    const uint32_t result = blendPremultiplied(source, destination);
    const double keep = (255.0 - pixelAlpha(source)) / 255.0;
    for (int shift : {24, 16, 8, 0}) {
      const uint32_t s = (source >> shift) & 0xff, d = (destination >> shift) & 0xff;
      const double expected = s + d * keep;
      EXPECT_NEAR(static_cast<double>((result >> shift) & 0xff), expected, 0.5 + 1e-9)
          << std::hex << source << " over " << destination;
    }
  }
}

TEST_F(CompositorTest, SavedImagesReadBackUnchanged) {
  pictures.set(kPicture, filmstripPng(10, 10, 2));
  composeButton(40, 30, CRect(10, 5, 20, 15));
  char path[] = "/tmp/sparkwell-composed-XXXXXX";
  const int descriptor = mkstemp(path);
  ASSERT_GE(descriptor, 0);
  close(descriptor);
  ASSERT_TRUE(savePng(frame->getComposedImage(), path));
  std::ifstream file(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
  std::remove(path);
  PixelImage readBack;
  ASSERT_TRUE(decodePng(bytes.data(), bytes.size(), readBack));
  EXPECT_EQ(readBack.width, 40);
  EXPECT_EQ(readBack.height, 30);
  EXPECT_EQ(readBack.pixels, frame->getComposedImage().pixels);
  EXPECT_FALSE(savePng(PixelImage(), path)) << "nothing to save";
}

} // namespace
