#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <string>

#include "platform/canvas.h"
#include "platform/fonts.h"
#include "platform/picture_files.h"
#include "tests/support/draw_pictures.h"
#include "tests/support/temp_dir.h"

namespace tq::platform {
namespace {

using test::Probe;
using test::Rgb;

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

TEST(PathText, ParsesCommandsAndSigns) {
  struct Case {
    const char* text;
    std::vector<PathStep> steps;
  } const cases[] = {
      {"M 0 0 l 10 0 l -5 5 Z", {{'M', 0, 0}, {'l', 10, 0}, {'l', -5, 5}, {'Z', 0, 0}}},
      {"M 3 4 l --5 -2 Z", {{'M', 3, 4}, {'l', 5, -2}, {'Z', 0, 0}}},  // "l -" followed by -5
      {"L 1.5 2 m ---2 +3 z", {{'L', 1.5, 2}, {'m', -2, 3}, {'Z', 0, 0}}},
      {"  ", {}},
  };
  for (const Case& c : cases) {
    std::optional<std::vector<PathStep>> steps = ParsePathText(c.text);
    ASSERT_TRUE(steps) << c.text;
    EXPECT_EQ(*steps, c.steps) << c.text;
  }
  for (const char* bad : {"M 0", "X 1 2", "M a b", "M 1 2 l 3", "M - 1", "M 1..2 3"})
    EXPECT_FALSE(ParsePathText(bad)) << bad;
}

TEST(PathText, FillsTheFigureAntialiased) {
  Canvas canvas = CreateCanvas(20, 20);
  ASSERT_TRUE(canvas);
  // The triangle (0,0)-(20,0)-(0,20), written with a doubled sign.
  ASSERT_TRUE(FillPathText(canvas, "M 0 0 l --20 0 l -20 20 Z", kRed));
  EXPECT_EQ(CanvasPixel(canvas, 2, 2), kRed);
  EXPECT_EQ(CanvasPixel(canvas, 17, 17), Rgba{});
  Rgba seam = CanvasPixel(canvas, 10, 9);  // on the hypotenuse: partly covered
  EXPECT_GT(seam.a, 0);
  EXPECT_LT(seam.a, 255);
  EXPECT_FALSE(FillPathText(canvas, "M 0 0 Q 1 1", kRed));
}

TEST(Canvas, SizeBounds) {
  struct Case {
    std::int64_t width, height;
    bool allowed;
  } const cases[] = {
      {1, 1, true},         {32767, 100, true},  {32768, 1, false}, {0, 10, false},
      {10, -1, false},      {8192, 8192, true},  {10000, 10000, false},
      {1LL << 40, 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CanvasSizeAllowed(c.width, c.height), c.allowed) << c.width << "x" << c.height;
    if (c.width * c.height < 1000000) {
      EXPECT_EQ(static_cast<bool>(CreateCanvas(static_cast<int>(c.width), static_cast<int>(c.height))), c.allowed);
    }
  }
  EXPECT_FALSE(CreateCanvas(40000, 10));
  EXPECT_FALSE(CreateFilledCanvas(10000, 10000, kRed));
}

TEST(Canvas, HandOverUndoesPremultipliedAlphaAndFlipsRows) {
  // Top row red then blue, bottom row half-transparent colours.
  PixelBuffer pixels{2, 2, true, {255, 0, 0, 255, 0, 0, 255, 255, 254, 101, 3, 200, 255, 128, 0, 128}};
  Canvas canvas = CreateCanvas(2, 2);
  ASSERT_TRUE(DrawPixels(canvas, pixels, 255));
  engine::Picture dib = engine::Adopt(CanvasToFreeImage(canvas));
  ASSERT_TRUE(dib);
  ASSERT_EQ(FreeImage_GetBPP(dib.get()), 32u);
  auto expect = [&](int x, int y, RGBQUAD want) {
    RGBQUAD got = Probe(dib.get(), x, y);
    EXPECT_TRUE(test::Near(got, want, 0) && got.rgbReserved == want.rgbReserved)
        << x << "," << y << " " << test::Describe(got) << " want " << test::Describe(want);
  };
  expect(0, 0, Rgb(255, 0, 0, 255));
  expect(1, 0, Rgb(0, 0, 255, 255));
  // 254 at alpha 200 is kept as 199 premultiplied; rounding brings back 254
  // (plain truncation would give 253).
  expect(0, 1, Rgb(254, 101, 3, 200));
  expect(1, 1, Rgb(255, 128, 0, 128));
}

TEST(Canvas, HandOverRoundsEveryPremultipliedValue) {
  for (int alpha : {1, 3, 77, 128, 200, 254}) {
    PixelBuffer pixels{256, 1, true, {}};
    for (int c = 0; c < 256; ++c) pixels.rgba.insert(pixels.rgba.end(), {std::uint8_t(c), 0, 0, std::uint8_t(alpha)});
    Canvas canvas = CreateCanvas(256, 1);
    ASSERT_TRUE(DrawPixels(canvas, pixels, 255));
    engine::Picture dib = engine::Adopt(CanvasToFreeImage(canvas));
    for (int c = 0; c < 256; ++c) {
      int premultiplied = (c * alpha + 127) / 255;
      int want = std::min(255, static_cast<int>(std::lround(premultiplied * 255.0 / alpha)));
      RGBQUAD got = Probe(dib.get(), c, 0);
      ASSERT_EQ(got.rgbRed, want) << "c " << c << " alpha " << alpha;
      ASSERT_EQ(got.rgbReserved, alpha);
    }
  }
}

TEST(Canvas, FillsDrawsWithConstantAlphaAndFilters) {
  Canvas filled = CreateFilledCanvas(4, 4, Rgba{255, 255, 255, 1});
  EXPECT_EQ(CanvasPixel(filled, 3, 3), (Rgba{255, 255, 255, 1}));

  Canvas source = CreateFilledCanvas(2, 2, kRed);
  Canvas target = CreateCanvas(4, 4);
  DrawCanvas(target, source, 1, 1, 128);
  EXPECT_EQ(CanvasPixel(target, 0, 0), Rgba{});
  EXPECT_EQ(CanvasPixel(target, 1, 1), (Rgba{255, 0, 0, 128}));
  EXPECT_EQ(CanvasPixel(target, 3, 3), Rgba{});

  // DrawPixels writes all four channels: the blue underneath does not show.
  Canvas canvas = CreateFilledCanvas(1, 2, kBlue);
  PixelBuffer pixels{1, 2, false, {10, 20, 30, 255, 40, 50, 60, 255}};
  auto invert = [](Rgba c) { return Rgba{std::uint8_t(255 - c.r), std::uint8_t(255 - c.g), std::uint8_t(255 - c.b), c.a}; };
  ASSERT_TRUE(DrawPixels(canvas, pixels, 255, invert));
  EXPECT_EQ(CanvasPixel(canvas, 0, 0), (Rgba{245, 235, 225, 255}));
  ASSERT_TRUE(DrawPixels(canvas, pixels, 0));
  EXPECT_EQ(CanvasPixel(canvas, 0, 1).a, 0);
  PixelBuffer wrongSize{2, 2, false, std::vector<std::uint8_t>(16, 0)};
  EXPECT_FALSE(DrawPixels(canvas, wrongSize, 255));

  FillRectangle(target, 0, 0, 1, 4, kBlue);
  EXPECT_EQ(CanvasPixel(target, 0, 3), kBlue);
  EXPECT_EQ(CanvasPixel(target, 1, 3), Rgba{});  // whole-pixel edges do not bleed
}

TEST(Fonts, FaceNamesLoadOnlyWhenTheFamilyExists) {
  struct Case {
    const char* face;
    bool available;
  } const cases[] = {
      {"Arial", true},          {"arial", true},        {"Liberation Sans", true}, {"Times New Roman", true},
      {"Courier New", true},    {"Helvetica", true},    {"NoSuchFont123", false},  {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FontFamilyAvailable(c.face), c.available) << c.face;
    EXPECT_EQ(static_cast<bool>(LoadFont(c.face, 19, 0)), c.available) << c.face;
  }
}

TEST(Fonts, StyleFlagsShowInTheText) {
  Font regular = LoadFont("Arial", 30, 0);
  Font bold = LoadFont("Arial", 30, kFontBold);
  ASSERT_TRUE(regular && bold);
  EXPECT_GT(MeasureText(bold, "Hello world").width, MeasureText(regular, "Hello world").width);

  // Underline and strike-out add a line across the gaps between the letters:
  // the fullest row of ink spans the whole text only with them.
  auto fullestRow = [](const Canvas& canvas, int& count) {
    int best = -1;
    count = 0;
    for (int y = 0; y < canvas.height; ++y) {
      int inked = 0;
      for (int x = 0; x < canvas.width; ++x) inked += CanvasPixel(canvas, x, y).a != 0;
      if (inked > count) count = inked, best = y;
    }
    return best;
  };
  const char* text = "i i i";
  const int textWidth = MeasureText(regular, text).width;
  struct Case {
    unsigned flags;
    bool lined;
  } const cases[] = {{0, false}, {kFontItalic, false}, {kFontBold, false}, {kFontUnderline, true}, {kFontStrikeOut, true}};
  int rows[16] = {};
  for (const Case& c : cases) {
    Font font = LoadFont("Arial", 30, c.flags);
    Canvas canvas = CreateCanvas(textWidth + 20, 40);
    ASSERT_TRUE(DrawPlainText(canvas, font, text, 0, 0, kRed, Rgba{}));
    int count = 0;
    rows[c.flags] = fullestRow(canvas, count);
    EXPECT_EQ(count >= textWidth * 9 / 10, c.lined) << "flags " << c.flags << ": " << count << " of " << textWidth;
  }
  EXPECT_GT(rows[kFontUnderline], rows[kFontStrikeOut]);  // the underline lies lower
}

TEST(Fonts, PlainTextWritesExactColoursAntialiasedTextBlends) {
  Font font = LoadFont("Arial", 24, 0);
  const Rgba fore{255, 255, 0, 200}, back{0, 0, 128, 60};
  TextExtent extent = MeasureText(font, "Wag");
  ASSERT_GT(extent.width, 0);
  ASSERT_GT(extent.height, 20);
  for (bool plain : {true, false}) {
    Canvas canvas = CreateFilledCanvas(extent.width, extent.height, back);
    ASSERT_TRUE(plain ? DrawPlainText(canvas, font, "Wag", 0, 0, fore, back)
                      : DrawVectorText(canvas, font, "Wag", 0, 0, Rgba{255, 255, 0, 255}));
    int foreCount = 0, other = 0;
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x) {
        Rgba p = CanvasPixel(canvas, x, y);
        if (p == fore || (!plain && p == Rgba{255, 255, 0, 255})) ++foreCount;
        else if (p != back) ++other;
      }
    EXPECT_GT(foreCount, 20) << plain;
    if (plain) {
      EXPECT_EQ(other, 0) << "plain text must not blend";
    } else {
      EXPECT_GT(other, 10) << "antialiased edges are blends";
    }
  }
  EXPECT_NEAR(VectorTextWidth(font, "Wag"), extent.width, 3.0);
}

TEST(Fonts, HugeSizesAndTextsStayBounded) {
  Font huge = LoadFont("Arial", 1e12, 0);
  ASSERT_TRUE(huge);
  TextExtent extent = MeasureText(huge, "W");
  EXPECT_GT(extent.height, 20000);  // clamped to the largest canvas side, not 1e12
  EXPECT_LT(extent.height, 2 * kMaxCanvasSide);

  Font font = LoadFont("Arial", 19, 0);
  std::string longText(100000, 'x');
  extent = MeasureText(font, longText);
  EXPECT_GT(extent.width, kMaxCanvasSide);
  EXPECT_FALSE(CreateCanvas(extent.width, extent.height));
  // Invalid UTF-8 is drawn with replacement characters, not cut short.
  EXPECT_GT(MeasureText(font, "ab\xff\xfe" "cd").width, MeasureText(font, "abcd").width);
}

// ---- picture files

std::string Chunk(const char* type, const std::string& data) {
  std::string out;
  auto be32 = [&](std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>(v >> s));
  };
  be32(static_cast<std::uint32_t>(data.size()));
  std::string body = std::string(type) + data;
  out += body;
  be32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
  return out;
}

std::string PngClaiming(std::uint32_t width, std::uint32_t height) {
  std::string ihdr;
  for (std::uint32_t v : {width, height})
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<char>(v >> s));
  ihdr += std::string("\x08\x06\x00\x00\x00", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IEND", "");
}

std::string BmpClaiming(std::int32_t width, std::int32_t height) {
  std::string h(54, '\0');
  auto le32 = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<char>(v >> (8 * i));
  };
  h[0] = 'B';
  h[1] = 'M';
  le32(10, 54);
  le32(14, 40);
  le32(18, static_cast<std::uint32_t>(width));
  le32(22, static_cast<std::uint32_t>(height));
  h[26] = 1;
  h[28] = 24;
  return h + std::string(1024, '\x40');
}

class PictureFiles : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string Write(const std::string& name, FIBITMAP* dib, FREE_IMAGE_FORMAT format, int flags = 0) {
    std::string path = dir / name;
    EXPECT_TRUE(test::WritePicture(dib, format, path, flags));
    return path;
  }
};

TEST_F(PictureFiles, DecodesEachKindWithItsAlpha) {
  engine::Picture rgba = test::FilledPicture(3, 2, 32, Rgb(10, 200, 30, 255));
  RGBQUAD clear = Rgb(1, 2, 3, 0), half = Rgb(250, 5, 6, 128);
  FreeImage_SetPixelColor(rgba.get(), 0, 1, &clear);  // top-left: FreeImage rows are bottom-up
  FreeImage_SetPixelColor(rgba.get(), 2, 0, &half);   // bottom-right
  engine::Picture rgb = test::FilledPicture(3, 2, 24, Rgb(10, 200, 30));
  engine::Picture xrgb = test::FilledPicture(3, 2, 32, Rgb(10, 200, 30, 0));  // fourth byte left 0

  struct Case {
    std::string path;
    PictureKind kind;
    bool hasAlpha;
    int tolerance;
    std::uint8_t topLeftAlpha, bottomRightAlpha;
  } const cases[] = {
      {Write("a.png", rgba.get(), FIF_PNG), PictureKind::Png, true, 0, 0, 128},
      {Write("b.png", rgb.get(), FIF_PNG), PictureKind::Png, false, 0, 255, 255},
      {Write("c.jpg", rgb.get(), FIF_JPEG, JPEG_QUALITYSUPERB), PictureKind::Jpeg, false, 6, 255, 255},
      {Write("d.bmp", rgb.get(), FIF_BMP), PictureKind::Bmp, false, 0, 255, 255},
      {Write("e.bmp", rgba.get(), FIF_BMP), PictureKind::Bmp, true, 0, 0, 128},
      {Write("f.bmp", xrgb.get(), FIF_BMP), PictureKind::Bmp, false, 0, 255, 255},
      {Write("png-named.bmp", rgb.get(), FIF_PNG), PictureKind::Png, false, 0, 255, 255},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PictureKindOf(c.path), c.kind) << c.path;
    std::optional<PixelBuffer> pixels = LoadPictureFile(c.path);
    ASSERT_TRUE(pixels) << c.path;
    EXPECT_EQ(pixels->width, 3);
    EXPECT_EQ(pixels->height, 2);
    EXPECT_EQ(pixels->hasAlpha, c.hasAlpha) << c.path;
    const std::uint8_t* middle = &pixels->rgba[1 * 4];
    EXPECT_NEAR(middle[0], 10, c.tolerance) << c.path;
    EXPECT_NEAR(middle[1], 200, c.tolerance) << c.path;
    EXPECT_NEAR(middle[2], 30, c.tolerance) << c.path;
    EXPECT_EQ(pixels->rgba[3], c.topLeftAlpha) << c.path;
    EXPECT_EQ(pixels->rgba[(1 * 3 + 2) * 4 + 3], c.bottomRightAlpha) << c.path;
  }
}

TEST_F(PictureFiles, RefusesBrokenAndOversizedFiles) {
  engine::Picture rgb = test::FilledPicture(64, 64, 24, Rgb(90, 90, 90));
  std::string png = test::ReadFileBytes(Write("ok.png", rgb.get(), FIF_PNG));
  std::string jpeg = test::ReadFileBytes(Write("ok.jpg", rgb.get(), FIF_JPEG));
  // A JPEG whose frame header claims 30000 x 30000 (900 megapixels).
  std::string bigJpeg = jpeg;
  size_t sof = bigJpeg.find("\xff\xc0");
  ASSERT_NE(sof, std::string::npos);
  bigJpeg.replace(sof + 5, 4, "\x75\x30\x75\x30");

  struct Case {
    const char* name;
    std::string bytes;
  } const cases[] = {
      {"empty.png", ""},
      {"text.png", "not a picture at all"},
      {"cut.png", png.substr(0, png.size() / 2)},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2)},
      {"huge.png", PngClaiming(100000, 100000)},
      {"wide.png", PngClaiming(40000, 1)},
      {"many.png", PngClaiming(20000, 20000)},
      {"huge.jpg", bigJpeg},
      {"huge.bmp", BmpClaiming(30000, 30000)},
      {"cut.bmp", BmpClaiming(5000, 5000)},  // allowed size, but the rows are missing
      {"zero.bmp", BmpClaiming(0, 10)},
      {"negative.bmp", BmpClaiming(-5, 10)},
  };
  for (const Case& c : cases) {
    std::string path = dir / c.name;
    test::WriteFileBytes(path, c.bytes);
    EXPECT_FALSE(LoadPictureFile(path)) << c.name;
  }
  EXPECT_FALSE(LoadPictureFile(dir / "missing.png"));
  EXPECT_TRUE(LoadPictureFile(dir / "ok.png"));
}

}  // namespace
}  // namespace tq::platform
