#include <gtest/gtest.h>

#include "engine/bit_depth.h"
#include "engine/conversion_context.h"
#include "engine/transforms.h"
#include "settings/defaults.h"

namespace tq::engine {
namespace {

settings::AppSettings& S() { return settings::g_settings; }

Picture Make(int width, int height, int bpp) {
  Picture p = Adopt(FreeImage_Allocate(width, height, bpp));
  if (bpp <= 8) {
    RGBQUAD* pal = FreeImage_GetPalette(p.get());
    for (unsigned i = 0; i < FreeImage_GetColorsUsed(p.get()); ++i)
      pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = static_cast<BYTE>(i * 255 / (FreeImage_GetColorsUsed(p.get()) - 1));
  }
  return p;
}

Picture MakeType(FREE_IMAGE_TYPE type, int width, int height) {
  return Adopt(FreeImage_AllocateT(type, width, height));
}

class TransformTest : public ::testing::Test {
 protected:
  void SetUp() override { settings::SetDefaultSettings(0); }
};

TEST_F(TransformTest, ResizeTable) {
  struct Case {
    int width, height;
    int targetW, targetH, unitW, unitH;
    int keep, type;
    int outW, outH;
  } const cases[] = {
      {400, 200, 100, 100, 0, 0, 1, 0, 100, 50},
      {200, 400, 100, 100, 0, 0, 1, 0, 50, 100},
      {400, 200, 100, 100, 0, 0, 0, 0, 100, 100},
      {640, 480, 50, 50, 1, 1, 0, 0, 320, 240},
      {400, 200, 0, 100, 0, 0, 1, 0, 400, 200},   // a target of 0 leaves it
      {400, 200, 100, 0, 0, 0, 1, 0, 400, 200},
      {100, 100, 200, 200, 0, 0, 0, 1, 100, 100},  // large-only: not enlarged
      {100, 100, 200, 50, 0, 0, 0, 1, 200, 50},
      {100, 100, 100, 100, 0, 0, 0, 0, 100, 100},  // same size: untouched
      {3, 3, 50, 50, 1, 1, 0, 0, 2, 2},            // 1.5 rounds half to even
      {300, 200, 100, 100, 0, 0, 1, 0, 100, 67},   // 66.67 rounds to nearest
  };
  for (const Case& c : cases) {
    S().DoImageResize = 1;
    S().ImageWidth = c.targetW;
    S().ImageHeight = c.targetH;
    S().ImageWidthUnit = static_cast<settings::Byte>(c.unitW);
    S().ImageHeightUnit = static_cast<settings::Byte>(c.unitH);
    S().KeepAspectRatio = static_cast<settings::Byte>(c.keep);
    S().ImageResizeType = static_cast<settings::Byte>(c.type);
    Picture p = ApplyResize(Make(c.width, c.height, 24), c.width, c.height);
    ASSERT_TRUE(p);
    EXPECT_EQ(static_cast<int>(FreeImage_GetWidth(p.get())), c.outW) << c.width << "x" << c.height;
    EXPECT_EQ(static_cast<int>(FreeImage_GetHeight(p.get())), c.outH) << c.width << "x" << c.height;
  }
}

TEST_F(TransformTest, TargetDimensionAndFilter) {
  EXPECT_EQ(TargetDimension(50, 1, 3), 2);   // 1.5 -> 2
  EXPECT_EQ(TargetDimension(50, 1, 5), 2);   // 2.5 -> 2
  EXPECT_EQ(TargetDimension(50, 1, 7), 4);   // 3.5 -> 4
  EXPECT_EQ(TargetDimension(120, 0, 7), 120);
  EXPECT_EQ(TargetDimension(120, 2, 7), 0);
  EXPECT_EQ(ResizeFilter(0), FILTER_BOX);
  EXPECT_EQ(ResizeFilter(1), FILTER_BILINEAR);
  EXPECT_EQ(ResizeFilter(5), FILTER_LANCZOS3);
  EXPECT_EQ(ResizeFilter(6), FILTER_BICUBIC);
  EXPECT_EQ(ResizeFilter(-1), FILTER_BICUBIC);
}

TEST_F(TransformTest, RotationTable) {
  struct Case {
    int angle, type, bpp;
    int outW, outH, outBpp;
  } const cases[] = {
      {0, 0, 8, 40, 20, 8},      // 0 and 360 leave even the depth
      {360, 0, 8, 40, 20, 8},
      {90, 0, 8, 20, 40, 24},    // 8-bit goes through 24 bits; sizes swap
      {90, 0, 32, 20, 40, 32},
      {270, 0, 24, 20, 40, 24},
      {90, 1, 24, 40, 20, 24},   // advanced keeps the canvas
      {45, 1, 1, 40, 20, 24},
      {90, 5, 4, 40, 20, 24},    // unknown type: prepared, not rotated
  };
  for (const Case& c : cases) {
    S().DoImageRotation = 1;
    S().TransformImageRotation = c.angle;
    S().ImageRotationType = static_cast<settings::Byte>(c.type);
    Picture p = ApplyRotation(Make(40, 20, c.bpp));
    ASSERT_TRUE(p);
    EXPECT_EQ(static_cast<int>(FreeImage_GetWidth(p.get())), c.outW) << c.angle;
    EXPECT_EQ(static_cast<int>(FreeImage_GetHeight(p.get())), c.outH) << c.angle;
    EXPECT_EQ(static_cast<int>(FreeImage_GetBPP(p.get())), c.outBpp) << c.angle;
  }
}

TEST_F(TransformTest, SimpleRotationFillsCornersWithTheBackColour) {
  S().DoImageRotation = 1;
  S().TransformImageRotation = 45;
  S().ImageRotationBackColor = "FF0000";
  Picture p = ApplyRotation(Make(40, 40, 24));
  ASSERT_TRUE(p);
  EXPECT_GT(FreeImage_GetWidth(p.get()), 40u);
  RGBQUAD corner{};
  FreeImage_GetPixelColor(p.get(), 0, 0, &corner);
  EXPECT_EQ(corner.rgbRed, 255);
  EXPECT_EQ(corner.rgbGreen, 0);
  EXPECT_EQ(corner.rgbBlue, 0);
}

TEST_F(TransformTest, ColourStepsPrepareTheDepthTheyNeed) {
  struct Case {
    int bpp;
    int correction, grey, threshold;
    int outBpp;
  } const cases[] = {
      {1, 1, 0, 0, 24}, {4, 1, 0, 0, 24}, {8, 1, 0, 0, 8}, {32, 1, 0, 0, 32},
      {24, 0, 1, 0, 8}, {24, 0, 0, 1, 1}, {24, 0, 1, 1, 1}, {4, 0, 0, 0, 4},
  };
  for (const Case& c : cases) {
    S().DoImageColorCorrection = static_cast<settings::Byte>(c.correction);
    S().ImageBrightness = 10;
    S().DoImageGreyscale = static_cast<settings::Byte>(c.grey);
    S().DoImageThreshold = static_cast<settings::Byte>(c.threshold);
    Picture p = ApplyThreshold(ApplyGreyscale(ApplyColorCorrection(Make(8, 6, c.bpp))));
    ASSERT_TRUE(p);
    EXPECT_EQ(static_cast<int>(FreeImage_GetBPP(p.get())), c.outBpp) << c.bpp;
  }
}

TEST_F(TransformTest, GreyscaleOf48BitsGoesThrough24) {
  S().DoImageGreyscale = 1;
  Picture p = ApplyGreyscale(MakeType(FIT_RGB16, 8, 6));
  ASSERT_TRUE(p);
  EXPECT_EQ(FreeImage_GetBPP(p.get()), 8u);
}

TEST_F(TransformTest, ThresholdUsesTheLowByteOfTheLevel) {
  S().DoImageThreshold = 1;
  S().ImageThreshold = 256 + 100;  // stored as a byte: 100
  Picture grey = Make(2, 1, 8);
  BYTE* row = FreeImage_GetScanLine(grey.get(), 0);
  row[0] = 99;
  row[1] = 101;
  Picture p = ApplyThreshold(std::move(grey));
  ASSERT_TRUE(p);
  BYTE index = 0;
  FreeImage_GetPixelIndex(p.get(), 0, 0, &index);
  EXPECT_EQ(index, 0);
  FreeImage_GetPixelIndex(p.get(), 1, 0, &index);
  EXPECT_EQ(index, 1);
}

TEST_F(TransformTest, FlipsTwiceGiveTheSamePicture) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    Picture p = Make(5, 3, bpp);
    BYTE* bits = FreeImage_GetBits(p.get());
    unsigned pitch = FreeImage_GetPitch(p.get());
    for (unsigned i = 0; i < pitch * 3; ++i) bits[i] = static_cast<BYTE>(i * 37 + 11);
    Picture copy = Adopt(FreeImage_Clone(p.get()));
    S().DoImageFlipHorizontal = 1;
    S().DoImageFlipVertical = 1;
    ApplyFlips(p.get());
    EXPECT_NE(0, memcmp(FreeImage_GetBits(p.get()), FreeImage_GetBits(copy.get()), FreeImage_GetLine(p.get())))
        << bpp;
    ApplyFlips(p.get());
    for (unsigned y = 0; y < 3; ++y)
      EXPECT_EQ(0, memcmp(FreeImage_GetScanLine(p.get(), y), FreeImage_GetScanLine(copy.get(), y),
                          FreeImage_GetWidth(p.get()) * bpp / 8))
          << bpp;
  }
}

TEST_F(TransformTest, StepsPassAMissingPictureOn) {
  S().DoImageRotation = S().DoImageResize = S().DoImageColorCorrection = 1;
  S().DoImageGreyscale = S().DoImageThreshold = 1;
  S().TransformImageRotation = 90;
  S().ImageWidth = S().ImageHeight = 10;
  EXPECT_FALSE(ApplyThreshold(ApplyGreyscale(ApplyColorCorrection(ApplyResize(ApplyRotation(Picture()), 0, 0)))));
  ApplyFlips(nullptr);
  EXPECT_FALSE(ConvertBitDepth(Picture()));
}

TEST(ConvertBitDepth, ConvertsToTheAskedDepth) {
  struct Case {
    const char* ext;
    int inBpp, target, outBpp;
  } const cases[] = {
      {"bmp", 24, 1, 1},  {"bmp", 24, 4, 4},   {"bmp", 24, 8, 8},   {"bmp", 4, 8, 8},
      {"bmp", 32, 16, 16}, {"bmp", 8, 24, 24}, {"bmp", 24, 32, 32}, {"png", 24, 48, 48},
      {"tiff", 24, 96, 96}, {"jpg", 24, 8, 8},  {"bmp", 24, 24, 24},
  };
  for (const Case& c : cases) {
    g_context.OutputExtension = c.ext;
    g_context.OutputBitDepth = c.target;
    Picture p = ConvertBitDepth(Make(8, 6, c.inBpp));
    ASSERT_TRUE(p) << c.ext << c.target;
    EXPECT_EQ(static_cast<int>(FreeImage_GetBPP(p.get())), c.outBpp) << c.ext << c.target;
  }
  g_context.OutputBitDepth = 12;
  EXPECT_FALSE(ConvertBitDepth(Make(8, 6, 24)));
  g_context.OutputBitDepth = 0;
  EXPECT_FALSE(ConvertBitDepth(Make(8, 6, 24)));
}

TEST(ConvertBitDepth, SixteenBitsUse555ForIconsAndTargaElse565) {
  g_context.OutputBitDepth = 16;
  for (const char* ext : {"bmp", "tga"}) {
    g_context.OutputExtension = ext;
    Picture p = ConvertBitDepth(Make(4, 4, 24));
    ASSERT_TRUE(p);
    bool is565 = FreeImage_GetGreenMask(p.get()) == FI16_565_GREEN_MASK;
    EXPECT_EQ(is565, std::string(ext) == "bmp") << ext;
  }
}

TEST(HexToColor, SixDigitsOrBlack) {
  RGBQUAD c = HexToColor("1A2b3C");
  EXPECT_EQ(c.rgbRed, 0x1A);
  EXPECT_EQ(c.rgbGreen, 0x2B);
  EXPECT_EQ(c.rgbBlue, 0x3C);
  for (const char* bad : {"", "FFF", "FFFFFFF"}) {
    RGBQUAD b = HexToColor(bad);
    EXPECT_EQ(b.rgbRed + b.rgbGreen + b.rgbBlue, 0) << bad;
  }
}

}  // namespace
}  // namespace tq::engine
