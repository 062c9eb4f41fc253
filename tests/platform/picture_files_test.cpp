#include <gtest/gtest.h>

#include "engine/bmp_writer.h"
#include "platform/picture_files.h"
#include "tests/support/temp_dir.h"

namespace tq::platform {
namespace {

// Found by fuzzing: 123 bytes of BMP claiming 2048 x 32006 pixels of 32 bits
// in run-length form, which took seconds and a quarter gigabyte to decode.
TEST(WatermarkPictureFiles, RunLengthBmpThatClaimsMoreThanItsBytesCanHoldIsRefused) {
  EXPECT_FALSE(LoadPictureFile(std::string(TQ_FIXTURES) + "/fuzz/bmp-rle-claims-65-megapixels.bmp"));
}

TEST(WatermarkPictureFiles, RunLengthBmpsOfTheirOwnDepthStillLoad) {
  test::TempDir dir;
  engine::Picture p = engine::Adopt(FreeImage_Allocate(300, 40, 8));
  RGBQUAD* pal = FreeImage_GetPalette(p.get());
  pal[7].rgbRed = 200;
  for (int y = 0; y < 40; ++y) memset(FreeImage_GetScanLine(p.get(), y), y < 20 ? 7 : 0, 300);
  std::vector<std::uint8_t> bmp = engine::BuildIndexedBmp(p.get(), 256, true);
  test::WriteFileBytes(dir / "rle8.bmp", std::string(bmp.begin(), bmp.end()));
  auto loaded = LoadPictureFile(dir / "rle8.bmp");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->width, 300);
  EXPECT_EQ(loaded->height, 40);
  EXPECT_EQ(loaded->rgba[0], 0);                 // top row: index 0
  EXPECT_EQ(loaded->rgba[39 * 300 * 4], 200);    // bottom row: index 7

  // The same bytes marked as 32 bits: run-length data belongs to 8 bits only.
  bmp[28] = 32;
  test::WriteFileBytes(dir / "bad.bmp", std::string(bmp.begin(), bmp.end()));
  EXPECT_FALSE(LoadPictureFile(dir / "bad.bmp"));
}

}  // namespace
}  // namespace tq::platform
