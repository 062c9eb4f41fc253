#include <gtest/gtest.h>

#include "engine/frame.h"
#include "platform/canvas.h"
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

// The frame as one transparent layer of the picture's size, blended over all
// of it: what ApplyFrame must give, however it splits the work.
Picture FullLayerFrame(Picture picture, int W, int H, int L, int R, int T, int B) {
  const platform::Rgba left{255, 0, 0, 255}, right{0, 255, 0, 255}, top{0, 0, 255, 255}, bottom{0, 0, 0, 255};
  auto n = [](long long v) { return std::to_string(v); };
  platform::Canvas frame = platform::CreateCanvas(W, H);
  platform::FillRectangle(frame, 0, 0, L, T, top);
  platform::FillRectangle(frame, W - R, 0, R, T, right);
  platform::FillRectangle(frame, W - R, H - B, R, B, bottom);
  platform::FillRectangle(frame, 0, H - B, L, B, left);
  platform::FillPathText(frame, "M 0 0 l " + n(W) + " 0 l -" + n(R) + " " + n(T) + " l -" + n(W - L - R) + " 0 Z", top);
  platform::FillPathText(frame, "M " + n(W) + " 0 l 0 " + n(H) + " l -" + n(R) + " -" + n(B) + " l 0 -" + n(H - T - B) + " Z", right);
  platform::FillPathText(frame, "M " + n(W) + " " + n(H) + " l -" + n(W) + " 0 l " + n(L) + " -" + n(B) + " l " + n(W - L - R) + " 0 Z", bottom);
  platform::FillPathText(frame, "M 0 " + n(H) + " l 0 -" + n(H) + " l " + n(L) + " " + n(T) + " l 0 " + n(H - T - B) + " Z", left);
  platform::Canvas weakened = platform::CreateCanvas(W, H);
  platform::DrawCanvas(weakened, frame, 0, 0, S().SolidOpacity);
  Picture layer = Adopt(platform::CanvasToFreeImage(weakened));
  return Adopt(FreeImage_Composite(layer.get(), FALSE, nullptr, picture.get()));
}

TEST_F(FrameTest, SameAsOneLayerOverTheWholePicture) {
  S().SolidOpacity = 200;
  struct Case {
    int w, h, l, r, t, b;
  } const cases[] = {{100, 80, 10, 10, 10, 10}, {100, 80, 30, 0, 10, 10}, {100, 80, 13, 7, 29, 4},
                     {100, 80, 70, 70, 10, 10}, {100, 80, 10, 10, 60, 60}, {100, 80, -5, 20, 3, -7},
                     {100, 80, 0, 0, 0, 0},     {100, 80, 100, 0, 80, 0},
                     // long, nearly flat mitres
                     {4200, 30, 4100, 7, 11, 5}, {30, 4200, 6, 9, 4150, 3}};
  for (const Case& c : cases) {
    Sides(c.l, c.r, c.t, c.b);
    Picture framed = ApplyFrame(test::PatternPicture(c.w, c.h), c.w, c.h);
    Picture expected = FullLayerFrame(test::PatternPicture(c.w, c.h), c.w, c.h, c.l, c.r, c.t, c.b);
    ASSERT_TRUE(framed && expected);
    int differing = 0;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) differing += !test::Near(Probe(framed.get(), x, y), Probe(expected.get(), x, y), 0);
    EXPECT_EQ(differing, 0) << c.w << "x" << c.h << ": " << c.l << " " << c.r << " " << c.t << " " << c.b;
  }
}

TEST_F(FrameTest, PicturesWiderThanACanvasGetTheirFrame) {
  // 33000 pixels are more than one canvas may be wide; the frame is drawn in parts.
  Sides(1, 1, 1, 1);
  Picture framed = ApplyFrame(test::FilledPicture(33000, 3, 8, Rgb(128, 0, 0)), 33000, 3);
  ASSERT_TRUE(framed);
  EXPECT_EQ(FreeImage_GetBPP(framed.get()), 24u);
  ExpectProbes(framed.get(), "wide", {{16500, 0, kBlue}, {16500, 1, kGrey}, {16500, 2, kBlack}, {0, 1, kRed}, {32999, 1, kGreen}});
}

}  // namespace
}  // namespace tq::engine
