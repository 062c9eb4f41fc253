// The program's FreeImage: format numbers as FreeImage.h has them, and the
// codecs it was linked without refuse cleanly.
#include <FreeImage.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/picture.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FreeImageCodecs, EveryFormatKeepsItsNumber) {
  const struct {
    FREE_IMAGE_FORMAT fif;
    const char* format;
  } cases[] = {{FIF_BMP, "BMP"},   {FIF_JPEG, "JPEG"}, {FIF_PCX, "PCX"}, {FIF_PNG, "PNG"},
               {FIF_TIFF, "TIFF"}, {FIF_PSD, "PSD"},   {FIF_FAXG3, "G3"},   {FIF_SGI, "SGI"},
               {FIF_EXR, "EXR"},   {FIF_J2K, "J2K"},   {FIF_JP2, "JP2"}, {FIF_PFM, "PFM"},
               {FIF_RAW, "RAW"},   {FIF_WEBP, "WebP"}, {FIF_JXR, "JPEG-XR"}};
  EXPECT_EQ(FreeImage_GetFIFCount(), FIF_JXR + 1);
  for (const auto& c : cases) {
    const char* format = FreeImage_GetFormatFromFIF(c.fif);
    ASSERT_NE(format, nullptr) << c.format;
    EXPECT_STREQ(format, c.format);
  }
}

TEST(FreeImageCodecs, FormatsLinkedWithoutTheirCodecRefuseToSave) {
  tq::test::TempDir dir;
  tq::engine::Picture rgb = tq::engine::Adopt(FreeImage_Allocate(8, 8, 24));
  for (FREE_IMAGE_FORMAT fif : {FIF_BMP, FIF_PNG, FIF_JPEG}) {
    std::string path = dir / ("kept." + std::to_string(fif));
    EXPECT_TRUE(FreeImage_Save(fif, rgb.get(), path.c_str(), 0)) << fif;
    EXPECT_EQ(FreeImage_GetFileType(path.c_str(), 0), fif) << "read back as its own format";
  }
  if (!TQ_FREEIMAGE_OWN_CODECS) GTEST_SKIP() << "linked with the shared FreeImage";
  for (FREE_IMAGE_FORMAT fif : {FIF_TIFF, FIF_EXR, FIF_J2K, FIF_JP2, FIF_WEBP, FIF_JXR}) {
    std::string path = dir / ("left-out." + std::to_string(fif));
    EXPECT_FALSE(FreeImage_Save(fif, rgb.get(), path.c_str(), 0)) << fif;
    EXPECT_FALSE(FreeImage_FIFSupportsReading(fif)) << fif;
  }
}

}  // namespace
