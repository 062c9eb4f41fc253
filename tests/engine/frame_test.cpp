#include <gtest/gtest.h>

#include "engine/frame.h"
#include "settings/defaults.h"
#include "tests/support/draw_pictures.h"

namespace tq::engine {
namespace {

using test::Probe;
using test::Rgb;

settings::AppSettings& S() { return settings::g_settings; }

const RGBQUAD kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255), kBlack = Rgb(0, 0, 0);
const RGBQUAD kGrey = Rgb(128, 128, 128);

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetDefaultSettings(0);
    S().DoFrame = 1;
  }
  void Sides(int left, int right, int top, int bottom) {
    S().SolidLeft = left;
    S().SolidRight = right;
    S().SolidTop = top;
    S().SolidBottom = bottom;
    S().SolidLeftColor = "FF0000";
    S().SolidRightColor = "00ff00";
    S().SolidTopColor = "0000FF";
    S().SolidBottomColor = "000000";
  }
  static void ExpectProbes(FIBITMAP* picture, const char* what,
                           std::initializer_list<std::tuple<int, int, RGBQUAD>> probes, int tolerance = 0) {
    for (auto [x, y, want] : probes) {
      RGBQUAD got = Probe(picture, x, y);
      EXPECT_TRUE(test::Near(got, want, tolerance))
          << what << " at " << x << "," << y << ": " << test::Describe(got) << " want " << test::Describe(want);
    }
  }
};

TEST(HexToColorAlpha, ReadsSixDigitsElseBlack) {
  struct Case {
    const char* text;
    int alpha;
    platform::Rgba want;
  } const cases[] = {
      {"FF8000", 255, {255, 128, 0, 255}}, {"ff8001", 7, {255, 128, 1, 7}},  {"0a0B0c", 128, {10, 11, 12, 128}},
      {"FFF", 255, {0, 0, 0, 255}},        {"", 40, {0, 0, 0, 40}},          {"FF80001", 255, {0, 0, 0, 255}},
      {"FF8000", 300, {255, 128, 0, 255}}, {"FF8000", -5, {255, 128, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(HexToColorAlpha(c.text, c.alpha), c.want) << c.text << " " << c.alpha;
}

TEST_F(FrameTest, TenPixelSidesTakeTheirColoursAndSplitTheCorners) {
  Sides(10, 10, 10, 10);
  Picture framed = ApplyFrame(test::FilledPicture(100, 80, 24, kGrey), 100, 80);
  ASSERT_TRUE(framed);
  ASSERT_EQ(FreeImage_GetBPP(framed.get()), 24u);
  ASSERT_EQ(FreeImage_GetWidth(framed.get()), 100u);
  ASSERT_EQ(FreeImage_GetHeight(framed.get()), 80u);
  ExpectProbes(framed.get(), "sides",
               {{50, 0, kBlue}, {50, 9, kBlue}, {50, 10, kGrey},     // top
                {0, 40, kRed}, {9, 40, kRed}, {10, 40, kGrey},        // left
                {99, 40, kGreen}, {90, 40, kGreen}, {89, 40, kGrey},  // right
                {50, 79, kBlack}, {50, 70, kBlack}, {50, 69, kGrey},  // bottom
                {50, 40, kGrey}});
  // Each corner is split on its diagonal: the top-left one from (0,0) to (10,10).
  ExpectProbes(framed.get(), "corners",
               {{7, 2, kBlue}, {2, 7, kRed}, {92, 2, kBlue}, {97, 7, kGreen},
                {2, 72, kRed}, {7, 77, kBlack}, {97, 72, kGreen}, {92, 77, kBlack}});
  // Pixels the diagonal crosses are shared by the two sides.
  RGBQUAD seam = Probe(framed.get(), 5, 5);
  EXPECT_GT(seam.rgbRed, 0) << test::Describe(seam);
  EXPECT_GT(seam.rgbBlue, 0) << test::Describe(seam);
}

TEST_F(FrameTest, ZeroWidthsChangeOnlyTheDepth) {
  Sides(0, 0, 0, 0);
  Picture grey = test::FilledPicture(20, 10, 8, Rgb(51, 0, 0));  // palette entry 51 of the grey ramp
  Picture framed = ApplyFrame(std::move(grey), 20, 10);
  ASSERT_TRUE(framed);
  EXPECT_EQ(FreeImage_GetBPP(framed.get()), 24u);
  for (int y : {0, 5, 9})
    for (int x : {0, 10, 19}) EXPECT_TRUE(test::Near(Probe(framed.get(), x, y), Rgb(51, 51, 51), 0)) << x << "," << y;
}

TEST_F(FrameTest, OnlySolidColourDraws) {
  Sides(5, 5, 5, 5);
  struct Case {
    int doFrame;
    unsigned bpp;
    RGBQUAD corner;
  } const cases[] = {{0, 8, kGrey}, {1, 24, kBlue}, {2, 24, kGrey}};
  for (const Case& c : cases) {
    S().DoFrame = static_cast<settings::Byte>(c.doFrame);
    Picture framed = ApplyFrame(test::FilledPicture(20, 20, 8, Rgb(128, 0, 0)), 20, 20);
    ASSERT_TRUE(framed);
    EXPECT_EQ(FreeImage_GetBPP(framed.get()), c.bpp) << c.doFrame;
    EXPECT_TRUE(test::Near(Probe(framed.get(), 10, 1), c.corner, 0)) << c.doFrame;
  }
}

TEST_F(FrameTest, OpacityLetsThePictureShowThrough) {
  Sides(10, 10, 10, 10);
  S().SolidOpacity = 128;
  Picture framed = ApplyFrame(test::FilledPicture(100, 80, 24, Rgb(200, 200, 200)), 100, 80);
  ASSERT_TRUE(framed);
  const RGBQUAD under = Rgb(200, 200, 200);
  ExpectProbes(framed.get(), "half",
               {{50, 3, test::Blend(kBlue, 128, under)}, {3, 40, test::Blend(kRed, 128, under)},
                {96, 40, test::Blend(kGreen, 128, under)}, {50, 76, test::Blend(kBlack, 128, under)},
                {50, 40, under}},
               1);
}

TEST_F(FrameTest, UnevenAndOversizedSides) {
  // Left 30, right 0: no right side; top and bottom end in a mitre on the left only.
  Sides(30, 0, 10, 10);
  Picture framed = ApplyFrame(test::FilledPicture(100, 80, 24, kGrey), 100, 80);
  ASSERT_TRUE(framed);
  ExpectProbes(framed.get(), "left 30",
               {{99, 40, kGrey}, {99, 5, kBlue}, {99, 75, kBlack}, {29, 40, kRed}, {30, 40, kGrey},
                {25, 5, kBlue}, {5, 5, kRed}});

  // Sides wider than the picture give doubled signs in the paths; the picture
  // still comes back whole and painted.
  struct Case {
    int l, r, t, b;
  } const cases[] = {{70, 70, 10, 10}, {10, 10, 60, 60}, {2000000000, 2000000000, -2000000000, 5}, {-30, -30, -30, -30}};
  for (const Case& c : cases) {
    Sides(c.l, c.r, c.t, c.b);
    Picture odd = ApplyFrame(test::FilledPicture(100, 80, 24, kGrey), 100, 80);
    ASSERT_TRUE(odd) << c.l;
    EXPECT_EQ(FreeImage_GetWidth(odd.get()), 100u);
    EXPECT_EQ(FreeImage_GetBPP(odd.get()), 24u);
  }
}

TEST_F(FrameTest, PictureTooLargeForACanvasKeepsNoFrame) {
  // 33000 pixels wide is past the canvas bounds: no frame, still 24-bit.
  Sides(1, 1, 1, 1);
  Picture framed = ApplyFrame(test::FilledPicture(33000, 2, 8, Rgb(128, 0, 0)), 33000, 2);
  ASSERT_TRUE(framed);
  EXPECT_EQ(FreeImage_GetBPP(framed.get()), 24u);
  EXPECT_TRUE(test::Near(Probe(framed.get(), 0, 0), kGrey, 0));
}

}  // namespace
}  // namespace tq::engine
