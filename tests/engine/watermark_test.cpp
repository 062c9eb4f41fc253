#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>

#include "engine/conversion_context.h"
#include "engine/watermark.h"
#include "engine/watermark_font.h"
#include "settings/defaults.h"
#include "tests/support/draw_pictures.h"
#include "tests/support/temp_dir.h"

namespace tq::engine {
namespace {

using test::Probe;
using test::Rgb;

settings::AppSettings& S() { return settings::g_settings; }

const RGBQUAD kRed = Rgb(255, 0, 0), kBlue = Rgb(20, 20, 250), kLight = Rgb(200, 200, 200);

struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when empty
  int width() const { return left < 0 ? 0 : right - left + 1; }
  int height() const { return top < 0 ? 0 : bottom - top + 1; }
};

Box ChangedBox(FIBITMAP* after, RGBQUAD before) {
  Box box;
  const int w = static_cast<int>(FreeImage_GetWidth(after)), h = static_cast<int>(FreeImage_GetHeight(after));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (test::Near(Probe(after, x, y), before, 0)) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (box.top < 0) box.top = y;
      box.right = std::max(box.right, x);
      box.bottom = y;
    }
  return box;
}

// Columns of a mark whose rows [top, bottom) hold a pixel of the given colour.
Box InkBox(FIBITMAP* mark, RGBQUAD colour, int top, int bottom) {
  Box box;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(mark)); ++x) {
      if (!test::Near(Probe(mark, x, y), colour, 0) || Probe(mark, x, y).rgbReserved != 255) continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (box.top < 0) box.top = y;
      box.right = std::max(box.right, x);
      box.bottom = y;
    }
  return box;
}

unsigned Width(const Picture& p) { return FreeImage_GetWidth(p.get()); }
unsigned Height(const Picture& p) { return FreeImage_GetHeight(p.get()); }

class WatermarkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetDefaultSettings(0);
    ResetConversionState();
    g_context.InputPath = "/in/Photo.pcx";
    g_context.OutputExtension = "bmp";
    g_context.OutputBitDepth = 24;
    g_context.ResultWidth = 640;
    g_context.ResultHeight = 480;
  }
  void TearDown() override { FreeWatermarkFont(); }

  void TextMark(const std::string& text) {
    S().DoWatermark = 1;
    S().WatermarkText = text;
    ASSERT_TRUE(LoadWatermarkFont());
  }
  // A 32-bit PNG; `paint` gives each pixel (x, y from the top).
  template <typename Paint>
  void PictureMark(int width, int height, Paint paint, FREE_IMAGE_FORMAT format = FIF_PNG) {
    Picture mark = test::FilledPicture(width, height, 32, Rgb(0, 0, 0));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        RGBQUAD c = paint(x, y);
        FreeImage_SetPixelColor(mark.get(), x, height - 1 - y, &c);
      }
    if (format != FIF_PNG) mark = Adopt(FreeImage_ConvertTo24Bits(mark.get()));
    S().DoWatermark = 2;
    S().WatermarkImage = dir / (format == FIF_PNG ? "mark.png" : "mark.jpg");
    ASSERT_TRUE(test::WritePicture(mark.get(), format, S().WatermarkImage,
                                   format == FIF_JPEG ? JPEG_QUALITYSUPERB : 0));
  }
  static Picture Stamp(RGBQUAD colour, int width = 640, int height = 480) {
    return ApplyWatermark(test::FilledPicture(width, height, 24, colour), width, height);
  }
  test::TempDir dir;
};

TEST(WatermarkFontFlags, CombinesStyleAndEffect) {
  struct Case {
    int style, effect;
    unsigned flags;
  } const cases[] = {
      {0, 0, 0},
      {1, 0, platform::kFontBold},
      {2, 0, platform::kFontItalic},
      {3, 0, platform::kFontBold | platform::kFontItalic},
      {4, 0, 0},
      {-1, 1, platform::kFontUnderline},
      {1, 2, platform::kFontBold | platform::kFontStrikeOut},
      {3, 1, platform::kFontBold | platform::kFontItalic | platform::kFontUnderline},
      {0, 3, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(WatermarkFontFlags(c.style, c.effect), c.flags) << c.style << "/" << c.effect;
}

TEST_F(WatermarkTest, FontLoadsByFaceNameAtDesktopResolution) {
  struct Case {
    const char* face;
    int style, effect;
    bool loads;
  } const cases[] = {{"Arial", 0, 0, true}, {"Arial", 3, 2, true}, {"NoSuchFont123", 0, 0, false}, {"", 1, 0, false}};
  for (const Case& c : cases) {
    S().WatermarkFont = c.face;
    S().FontStyle = static_cast<settings::Byte>(c.style);
    S().FontEffect = static_cast<settings::Byte>(c.effect);
    EXPECT_EQ(LoadWatermarkFont(), c.loads) << c.face;
    EXPECT_EQ(WatermarkFontLoaded(), c.loads) << c.face;
    FreeWatermarkFont();
    EXPECT_FALSE(WatermarkFontLoaded());
  }
  // 14 points at 96 dots per inch are 19 pixels.
  S().WatermarkFont = "Arial";
  S().FontStyle = S().FontEffect = 0;
  ASSERT_TRUE(LoadWatermarkFont());
  platform::Font nineteen = platform::LoadFont("Arial", 19, 0);
  platform::Font eighteen = platform::LoadFont("Arial", 18, 0);
  EXPECT_EQ(platform::MeasureText(WatermarkFont(), "Sample").width, platform::MeasureText(nineteen, "Sample").width);
  EXPECT_NE(platform::MeasureText(WatermarkFont(), "Sample").width, platform::MeasureText(eighteen, "Sample").width);
}

TEST_F(WatermarkTest, ExpandsNameTokensOnlyWhenEntered) {
  struct Case {
    const char* input;
    const char* text;
    const char* expanded;
  } const cases[] = {
      {"/in/Photo.pcx", "filename and ext", "filename and ext"},
      {"/in/Photo.pcx", "100% sure", "100% sure"},
      {"/in/Photo.pcx", "%filename% (%width%x%height%, %bpp% bit)", "Photo (640x480, 24 bit)"},
      {"/in/Photo.pcx", "Name: %FILENAME[U]%.%Ext%", "Name: PHOTO.bmp"},
      {"/in/Photo.pcx", "%n%%eol%%rnd%", "00001%eol%00042"},
      // A token that only the inserted value holds stays as it is.
      {"/in/a%ext%.pcx", "%filename%", "a%ext%"},
      {"/in/a%ext%.pcx", "%filename% %ext%", "abmp bmp"},
  };
  g_context.RandomNumber = 42;
  for (const Case& c : cases) {
    g_context.InputPath = c.input;
    S().WatermarkText = c.text;
    EXPECT_EQ(ExpandWatermarkText(), c.expanded) << c.text;
  }
}

TEST_F(WatermarkTest, DefaultTextBoxSitsBottomRightTenPixelsIn) {
  TextMark(S().WatermarkText);  // the default copyright notice
  Picture mark = MakeTextMark();
  ASSERT_TRUE(mark);
  Picture stamped = Stamp(kLight);
  ASSERT_TRUE(stamped);
  ASSERT_EQ(FreeImage_GetBPP(stamped.get()), 24u);
  // The black box at opacity 1 still darkens the picture a little (FreeImage
  // blends in 256ths).
  Box box = ChangedBox(stamped.get(), kLight);
  EXPECT_EQ(box.right, 629);
  EXPECT_EQ(box.bottom, 469);
  EXPECT_EQ(box.width(), static_cast<int>(Width(mark)));
  EXPECT_EQ(box.height(), static_cast<int>(Height(mark)));
  const int darkened = (254 * 200) >> 8;
  EXPECT_TRUE(test::Near(Probe(stamped.get(), box.left, box.top), Rgb(darkened, darkened, darkened), 0))
      << test::Describe(Probe(stamped.get(), box.left, box.top));
  int white = 0;
  for (int y = box.top; y <= box.bottom; ++y)
    for (int x = box.left; x <= box.right; ++x) white += test::Near(Probe(stamped.get(), x, y), Rgb(255, 255, 255), 0);
  EXPECT_GT(white, 100);  // the text itself, opaque white
}

TEST_F(WatermarkTest, LinesPaddingAndLeading) {
  TextMark("Top");
  const platform::Font& font = WatermarkFont();
  const int topH = platform::MeasureText(font, "Top").height;
  const int bottomH = platform::MeasureText(font, "Bottom").height;
  const int bottomW = platform::MeasureText(font, "Bottom").width;
  struct Case {
    const char* text;
    int padding, leading;
    int width, height;
  } const cases[] = {
      {"TopBottom", 0, 2, platform::MeasureText(font, "TopBottom").width, platform::MeasureText(font, "TopBottom").height},
      {"TopBottom", 5, 0, platform::MeasureText(font, "TopBottom").width + 10,
       platform::MeasureText(font, "TopBottom").height + 10},
      {"Top%eol%Bottom", 0, 2, bottomW, 2 * std::max(topH, bottomH) + 2},
      {"Top%EOL%Bottom", 0, 2, bottomW, 2 * std::max(topH, bottomH) + 2},
      {"Top%eOl%Bottom", 3, -4, bottomW + 6, 2 * std::max(topH, bottomH) - 4 + 6},
      {"%eol%", 0, 0, 10, 2 * std::max(10, platform::MeasureText(font, "").height)},
  };
  for (const Case& c : cases) {
    S().WatermarkText = c.text;
    S().TextPadding = c.padding;
    S().FontLeading = c.leading;
    Picture mark = MakeTextMark();
    ASSERT_TRUE(mark) << c.text;
    EXPECT_EQ(Width(mark), static_cast<unsigned>(c.width)) << c.text;
    EXPECT_EQ(Height(mark), static_cast<unsigned>(c.height)) << c.text;
  }
}

TEST_F(WatermarkTest, AlignedTextX) {
  struct Case {
    int alignment, padding, line, canvas, x;
  } const cases[] = {
      {0, 5, 50, 100, 5},  {1, 5, 50, 100, 25}, {2, 5, 50, 100, 45}, {3, 5, 50, 100, 0},
      {1, 0, 50, 101, 26},  // 25.5 rounds away from zero
      {1, 0, 101, 50, -26}, {2, 0, 30, 30, 0},
  };
  for (const Case& c : cases) {
    S().TextAlignment = static_cast<settings::Byte>(c.alignment);
    S().TextPadding = c.padding;
    EXPECT_EQ(AlignedTextX(c.line, c.canvas), c.x) << c.alignment << " " << c.line << "/" << c.canvas;
  }
}

TEST_F(WatermarkTest, AlignmentPlacesEachLine) {
  TextMark("i%eol%WWWWWWWW");
  S().TextPadding = 5;
  S().BackOpacity = 255;
  const int lineH = platform::MeasureText(WatermarkFont(), "WWWWWWWW").height;
  struct Case {
    int alignment;
    int inkFrom, inkTo;  // where the short first line's ink must begin
  } const cases[] = {{0, 5, 8}, {1, -1, -1}, {2, -1, -1}};
  for (const Case& c : cases) {
    S().TextAlignment = static_cast<settings::Byte>(c.alignment);
    Picture mark = MakeTextMark();
    ASSERT_TRUE(mark);
    const int cw = static_cast<int>(Width(mark));
    Box first = InkBox(mark.get(), Rgb(255, 255, 255), 5, 5 + lineH);
    Box second = InkBox(mark.get(), Rgb(255, 255, 255), 5 + lineH, 5 + 2 * lineH);
    ASSERT_GE(first.left, 0);
    EXPECT_GE(second.left, 5);
    EXPECT_LE(second.right, cw - 5);
    switch (c.alignment) {
      case 0:
        EXPECT_GE(first.left, c.inkFrom);
        EXPECT_LE(first.left, c.inkTo);
        break;
      case 1:
        EXPECT_NEAR((first.left + first.right) / 2.0, cw / 2.0, 3);
        break;
      default:
        EXPECT_LE(first.right, cw - 5);
        EXPECT_GE(first.right, cw - 10);
    }
  }
}

TEST_F(WatermarkTest, PlainTextIsExactAntialiasedTextIsBlended) {
  TextMark("Wag%eol%ok");
  S().FontColor = "FFFF00";
  S().BackColor = "000080";
  S().TextOpacity = 200;
  S().BackOpacity = 60;
  for (int antialiasing : {0, 1}) {
    S().TextAntialiasing = static_cast<settings::Byte>(antialiasing);
    Picture mark = MakeTextMark();
    ASSERT_TRUE(mark);
    ASSERT_EQ(FreeImage_GetBPP(mark.get()), 32u);
    std::set<std::uint32_t> seen;
    for (unsigned y = 0; y < Height(mark); ++y)
      for (unsigned x = 0; x < Width(mark); ++x) {
        RGBQUAD p = Probe(mark.get(), static_cast<int>(x), static_cast<int>(y));
        seen.insert(p.rgbRed << 24 | p.rgbGreen << 16 | p.rgbBlue << 8 | p.rgbReserved);
      }
    EXPECT_TRUE(seen.count(0x00008000u | 60)) << "background";
    if (antialiasing == 0) {
      EXPECT_EQ(seen, (std::set<std::uint32_t>{0x00008000u | 60, 0xFFFF0000u | 200}));
    } else {
      EXPECT_GT(seen.size(), 10u);
    }
  }
}

TEST_F(WatermarkTest, PositionsInsideTheFrame) {
  S().DoWatermark = 2;
  S().DoFrame = 1;
  S().SolidLeft = S().SolidRight = S().SolidTop = S().SolidBottom = 20;
  S().ImageBoundary = 1;
  struct Case {
    int position;
    std::int64_t x, y;
  } const cases[] = {{0, 30, 30},   {1, 270, 30},   {2, 510, 30},   {3, 30, 215}, {4, 270, 215},
                     {5, 510, 215}, {6, 30, 400},   {7, 270, 400},  {8, 510, 400}, {9, 20, 20}};
  for (const Case& c : cases) {
    S().ImagePosition = static_cast<settings::Byte>(c.position);
    MarkPosition at = WatermarkPosition(640, 480, 100, 50);
    EXPECT_EQ(at.x, c.x) << c.position;
    EXPECT_EQ(at.y, c.y) << c.position;
  }
  S().ImagePosition = 8;
  S().DoFrame = 0;  // the frame boundary needs a frame
  EXPECT_EQ(WatermarkPosition(640, 480, 100, 50).x, 530);
  S().DoFrame = 1;
  S().ImageBoundary = 0;
  EXPECT_EQ(WatermarkPosition(640, 480, 100, 50).y, 420);
  // The text mark has settings of its own; halves truncate toward zero.
  S().DoWatermark = 1;
  S().TextPosition = 4;
  S().TextBoundary = 1;
  EXPECT_EQ(WatermarkPosition(640, 480, 601, 441).x, 20);
  EXPECT_EQ(WatermarkPosition(640, 480, 601, 441).y, 20);
}

TEST_F(WatermarkTest, PictureMarkLandsInsideTheFrame) {
  PictureMark(100, 50, [](int, int) { return Rgb(255, 0, 0); });
  S().DoFrame = 1;
  S().SolidLeft = S().SolidRight = S().SolidTop = S().SolidBottom = 20;
  S().ImageBoundary = 1;
  Picture stamped = Stamp(kBlue);
  ASSERT_TRUE(stamped);
  Box box = ChangedBox(stamped.get(), kBlue);
  EXPECT_EQ(box.left, 510);
  EXPECT_EQ(box.top, 400);
  EXPECT_EQ(box.width(), 100);
  EXPECT_EQ(box.height(), 50);
  // An opaque mark stays opaque: its colour comes through unweakened.
  EXPECT_TRUE(test::Near(Probe(stamped.get(), 560, 420), kRed, 0)) << test::Describe(Probe(stamped.get(), 560, 420));
}

TEST_F(WatermarkTest, FitKeepsTheTopLeftPart) {
  S().DoWatermark = 2;
  struct Case {
    int markW, markH, offsetX, offsetY;
    unsigned width, height;  // 0 x 0: nothing left
  } const cases[] = {
      {700, 50, 10, 10, 630, 50}, {100, 500, 10, 10, 100, 470}, {630, 470, 10, 10, 630, 470},
      {100, 50, 640, 10, 0, 0},   {100, 50, 10, 480, 0, 0},     {700, 50, 700, 10, 0, 0},
  };
  for (const Case& c : cases) {
    S().ImageXOffset = c.offsetX;
    S().ImageYOffset = c.offsetY;
    Picture mark = test::FilledPicture(c.markW, c.markH, 32, Rgb(1, 2, 3, 255));
    RGBQUAD corner = Rgb(9, 8, 7, 255);
    FreeImage_SetPixelColor(mark.get(), 0, c.markH - 1, &corner);  // top-left
    FIBITMAP* before = mark.get();
    Picture fitted = FitWatermark(std::move(mark), 640, 480);
    if (c.width == 0) {
      EXPECT_FALSE(fitted) << c.offsetX << "/" << c.offsetY;
      continue;
    }
    ASSERT_TRUE(fitted);
    EXPECT_EQ(Width(fitted), c.width);
    EXPECT_EQ(Height(fitted), c.height);
    EXPECT_EQ(fitted.get() == before, c.width == static_cast<unsigned>(c.markW) && c.height == static_cast<unsigned>(c.markH));
    EXPECT_TRUE(test::Near(Probe(fitted.get(), 0, 0), corner, 0));
  }
}

TEST_F(WatermarkTest, CropToNothingFailsTheFile) {
  PictureMark(100, 50, [](int, int) { return Rgb(255, 0, 0); });
  S().ImageXOffset = 640;
  EXPECT_FALSE(Stamp(kBlue));
  // Offsets that push the mark off the picture leave no mark but keep the picture.
  S().ImageXOffset = -30;
  S().ImagePosition = 0;
  Picture kept = Stamp(kBlue);
  ASSERT_TRUE(kept);
  EXPECT_EQ(ChangedBox(kept.get(), kBlue).width(), 0);
}

TEST_F(WatermarkTest, RotationTurnsTheMarkBeforeFitting) {
  struct Case {
    int doWatermark, textRotation, imageRotation;
    unsigned width, height;  // of a 100 x 40 mark after turning
  } const cases[] = {
      {1, 90, 0, 40, 100},  {1, 0, 90, 100, 40},   {1, 360, 0, 100, 40}, {1, -90, 0, 100, 40},
      {2, 0, 270, 40, 100}, {2, 90, 0, 100, 40},   {2, 180, 180, 100, 40},
  };
  for (const Case& c : cases) {
    S().DoWatermark = static_cast<settings::Byte>(c.doWatermark);
    S().TextRotation = c.textRotation;
    S().WatermarkImageRotation = c.imageRotation;
    Picture turned = RotateWatermark(test::FilledPicture(100, 40, 32, Rgb(1, 2, 3, 255)));
    ASSERT_TRUE(turned);
    EXPECT_EQ(Width(turned), c.width) << c.doWatermark << " " << c.textRotation << " " << c.imageRotation;
    EXPECT_EQ(Height(turned), c.height);
  }
  S().DoWatermark = 1;
  S().TextRotation = 45;
  Picture slanted = RotateWatermark(test::FilledPicture(100, 40, 32, Rgb(1, 2, 3, 255)));
  EXPECT_GT(Width(slanted), 90u);
  EXPECT_GT(Height(slanted), 90u);

  TextMark("Rotated text");
  S().TextRotation = 0;
  Box flat = ChangedBox(Stamp(kLight).get(), kLight);
  S().TextRotation = 90;
  Box upright = ChangedBox(Stamp(kLight).get(), kLight);
  EXPECT_GT(flat.width(), flat.height());
  EXPECT_EQ(upright.width(), flat.height());
  EXPECT_EQ(upright.height(), flat.width());
  EXPECT_EQ(upright.right, 629);
}

TEST_F(WatermarkTest, JpegMarkAtHalfOpacityBlendsEverywhere) {
  PictureMark(60, 40, [](int, int) { return Rgb(250, 20, 20); }, FIF_JPEG);
  S().ImageOpacity = 128;
  S().ImagePosition = 0;
  Picture stamped = Stamp(kBlue);
  ASSERT_TRUE(stamped);
  const RGBQUAD want = test::Blend(Rgb(250, 20, 20), 128, kBlue);
  for (auto [x, y] : {std::pair{10, 10}, {69, 49}, {40, 30}, {10, 49}, {69, 10}})
    EXPECT_TRUE(test::Near(Probe(stamped.get(), x, y), want, 4)) << x << "," << y << " " << test::Describe(Probe(stamped.get(), x, y));
  Box box = ChangedBox(stamped.get(), kBlue);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.width(), 60);
  EXPECT_EQ(box.height(), 40);
}

TEST_F(WatermarkTest, PngMarkKeepsItsTransparency) {
  // Left half opaque red, right half fully transparent green.
  PictureMark(60, 40, [](int x, int) { return x < 30 ? Rgb(255, 0, 0, 255) : Rgb(0, 255, 0, 0); });
  S().ImagePosition = 0;
  S().ImageXOffset = S().ImageYOffset = 0;
  Picture stamped = Stamp(kBlue);
  ASSERT_TRUE(stamped);
  Box box = ChangedBox(stamped.get(), kBlue);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 29);
  EXPECT_EQ(box.bottom, 39);
  EXPECT_TRUE(test::Near(Probe(stamped.get(), 29, 39), kRed, 0));
}

TEST_F(WatermarkTest, GreyFilter) {
  struct Case {
    platform::Rgba in;
    std::uint8_t grey;
  } const cases[] = {
      {{255, 0, 0, 255}, 76}, {{0, 255, 0, 9}, 149}, {{0, 0, 255, 0}, 28}, {{255, 255, 255, 255}, 255}, {{10, 20, 30, 1}, 18},
  };
  for (const Case& c : cases) {
    platform::Rgba out = GreyFilter(c.in);
    EXPECT_EQ(out, (platform::Rgba{c.grey, c.grey, c.grey, c.in.a})) << int(c.in.r) << "," << int(c.in.g) << "," << int(c.in.b);
  }
  PictureMark(20, 20, [](int, int) { return Rgb(255, 0, 0); });
  S().ImageGreyscale = 1;
  S().ImagePosition = 0;
  Picture stamped = Stamp(kBlue);
  ASSERT_TRUE(stamped);
  EXPECT_TRUE(test::Near(Probe(stamped.get(), 15, 15), Rgb(76, 76, 76), 0)) << test::Describe(Probe(stamped.get(), 15, 15));
}

TEST_F(WatermarkTest, WithoutAMarkThePictureOnlyBecomes24Bit) {
  struct Case {
    int doWatermark;
    bool loadFont;
    const char* image;
    unsigned bpp;
  } const cases[] = {
      {0, true, "", 8}, {1, false, "", 24}, {2, false, "/no/such/mark.png", 24}, {2, false, "", 24}, {3, true, "", 24},
  };
  for (const Case& c : cases) {
    S().DoWatermark = static_cast<settings::Byte>(c.doWatermark);
    S().WatermarkImage = c.image;
    if (c.loadFont) {
      ASSERT_TRUE(LoadWatermarkFont());
    } else {
      FreeWatermarkFont();
    }
    Picture out = ApplyWatermark(test::FilledPicture(64, 48, 8, Rgb(90, 0, 0)), 64, 48);
    ASSERT_TRUE(out) << c.doWatermark;
    EXPECT_EQ(FreeImage_GetBPP(out.get()), c.bpp) << c.doWatermark;
    EXPECT_EQ(ChangedBox(out.get(), Rgb(90, 90, 90)).width(), 0) << c.doWatermark;
  }
}

TEST_F(WatermarkTest, WorkerDrawsWithTheFontTheFrontEndLoaded) {
  TextMark("%filename% on another thread");
  Picture here = Stamp(kLight);
  Picture there;
  std::thread worker([&] { there = Stamp(kLight); });
  worker.join();
  ASSERT_TRUE(here && there);
  Box a = ChangedBox(here.get(), kLight), b = ChangedBox(there.get(), kLight);
  EXPECT_GT(a.width(), 0);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.width(), b.width());
  EXPECT_EQ(a.height(), b.height());
}

TEST_F(WatermarkTest, HugeFontOrTextGivesNoMark) {
  struct Case {
    int fontSize;
    std::string text;
  } const cases[] = {
      {100000, "Big"},
      {14, std::string(100000, 'x')},
      {14, [] {
         std::string lines;
         for (int i = 0; i < 20000; ++i) lines += "%eol%";
         return lines;
       }()},
  };
  for (const Case& c : cases) {
    S().FontSize = c.fontSize;
    TextMark(c.text);
    EXPECT_FALSE(MakeTextMark()) << c.fontSize;
    Picture out = Stamp(kLight, 320, 240);
    ASSERT_TRUE(out);
    EXPECT_EQ(ChangedBox(out.get(), kLight).width(), 0);
    FreeWatermarkFont();
  }
}

}  // namespace
}  // namespace tq::engine
