#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "engine/bmp_writer.h"
#include "engine/conversion_context.h"
#include "settings/defaults.h"
#include "tests/support/independent_reader.h"
#include "tests/support/temp_dir.h"

namespace tq::engine {
namespace {

using test::TempDir;

std::uint32_t U32(const std::string& b, size_t at) {
  std::uint32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// An 8-bit picture with a distinct colour per index; pixels use 0..highest.
Picture Indexed(int width, int height, int highest) {
  Picture p = Adopt(FreeImage_Allocate(width, height, 8));
  RGBQUAD* pal = FreeImage_GetPalette(p.get());
  for (int i = 0; i < 256; ++i) {
    pal[i].rgbRed = static_cast<BYTE>(i * 7);
    pal[i].rgbGreen = static_cast<BYTE>(255 - i);
    pal[i].rgbBlue = static_cast<BYTE>(i * 3);
  }
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(p.get(), y);
    // Runs and literal stretches, odd lengths included, so RLE8 has work.
    for (int x = 0; x < width; ++x) row[x] = static_cast<BYTE>(x < width / 3 ? y % (highest + 1) : (x * 5 + y) % (highest + 1));
  }
  return p;
}

class BmpWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetDefaultSettings(1);
    g_context.OutputFormatId = FIF_BMP;
    g_context.OutputExtension = "bmp";
  }
  TempDir dir;
};

TEST_F(BmpWriterTest, ExactPaletteHoldsOnlyTheIndicesInUse) {
  for (int rle : {0, 1}) {
    settings::g_settings.BMPCompression = rle;
    Picture p = Indexed(13, 7, 9);
    ASSERT_EQ(HighestPaletteIndex(p.get()), 10);
    std::string path = dir / ("exact" + std::to_string(rle) + ".bmp");
    ASSERT_EQ(SaveExactPaletteBmp(p.get(), path), 1);
    std::string b = test::ReadFileBytes(path);
    EXPECT_EQ(U32(b, 2), b.size()) << "bfSize";
    EXPECT_EQ(U32(b, 10), 94u) << "pixel offset";
    EXPECT_EQ(U32(b, 30), static_cast<std::uint32_t>(rle)) << "biCompression";
    EXPECT_EQ(U32(b, 34), b.size() - 94) << "biSizeImage";
    EXPECT_EQ(U32(b, 46), 10u) << "biClrUsed";
    EXPECT_EQ(U32(b, 50), 10u) << "biClrImportant";

    test::ForeignPicture f = test::ReadWithPillow(path);
    ASSERT_TRUE(f.ok) << f.error;
    ASSERT_EQ(f.width, 13);
    ASSERT_EQ(f.height, 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) {
        BYTE index = 0;
        FreeImage_GetPixelIndex(p.get(), x, 6 - y, &index);
        const RGBQUAD& c = FreeImage_GetPalette(p.get())[index];
        std::uint32_t want = (std::uint32_t{c.rgbRed} << 24) | (c.rgbGreen << 16) | (c.rgbBlue << 8) | 0xFF;
        ASSERT_EQ(f.Pixel(x, y), want) << x << "," << y << " rle " << rle;
      }
    EXPECT_TRUE(test::ImageMagickAccepts(path));
  }
}

TEST_F(BmpWriterTest, Rle8FilesHaveTrueSizesAndNoStrayBytes) {
  g_context.OutputSaveFlags = BMP_SAVE_RLE;
  for (int width : {1, 2, 3, 5, 64, 255, 256, 257, 600}) {
    Picture p = Indexed(width, 4, 200);
    std::string path = dir / ("rle" + std::to_string(width) + ".bmp");
    ASSERT_EQ(SavePicture(p.get(), path), 1);
    std::string b = test::ReadFileBytes(path);
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 34), b.size() - U32(b, 10));
    // Saved twice, the bytes are the same: nothing uninitialised got in.
    ASSERT_EQ(SavePicture(p.get(), path + "2"), 1);
    EXPECT_EQ(b, test::ReadFileBytes(path + "2"));
    test::ForeignPicture f = test::ReadWithPillow(path);
    ASSERT_TRUE(f.ok) << width << f.error;
    for (int x = 0; x < width; ++x) {
      BYTE index = 0;
      FreeImage_GetPixelIndex(p.get(), x, 3, &index);
      ASSERT_EQ(f.Pixel(x, 0) >> 24, FreeImage_GetPalette(p.get())[index].rgbRed) << width << " x " << x;
    }
  }
}

TEST_F(BmpWriterTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryOne) {
  std::string path = dir / "out.bmp";
  test::WriteFileBytes(path, "old contents");
  Picture p = Indexed(8, 8, 3);
  // A format FreeImage cannot write this picture in.
  g_context.OutputFormatId = FIF_JPEG;
  Picture rgb16 = Adopt(FreeImage_AllocateT(FIT_RGB16, 4, 4));
  EXPECT_EQ(SavePicture(rgb16.get(), path), 0);
  EXPECT_EQ(test::ReadFileBytes(path), "old contents");
  // A folder that cannot be written.
  g_context.OutputFormatId = FIF_BMP;
  chmod(dir.path().c_str(), 0555);
  if (geteuid() != 0) {
    EXPECT_EQ(SavePicture(p.get(), path), 0);
  }
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(test::ReadFileBytes(path), "old contents");
  ASSERT_EQ(SavePicture(p.get(), path), 1);
  EXPECT_EQ(test::ReadFileBytes(path).substr(0, 2), "BM");
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace tq::engine
