#include <FreeImage.h>
#include <gtest/gtest.h>

#include "engine/formats.h"
#include "settings/defaults.h"

namespace tq::engine {
namespace {

using settings::AppSettings;

AppSettings Defaults() {
  AppSettings s;
  settings::SetDefaultSettings(1, s);
  return s;
}

struct FlagCase {
  const char* ext;
  void (*set)(AppSettings&);
  int flags;
};

TEST(EncoderFlags, FollowTheOutputSettings) {
  const FlagCase cases[] = {
      {"bmp", [](AppSettings&) {}, 0},
      {"bmp", [](AppSettings& s) { s.BMPCompression = 1; s.BMPBPP = 24; }, BMP_SAVE_RLE},
      {"bmp", [](AppSettings& s) { s.BMPCompression = 7; }, 0},
      {"jpg", [](AppSettings&) {}, 0x1005F},
      {"jpg", [](AppSettings& s) { s.JPGQuality = 80; s.JPGChroma = 2; s.JPGSaveAs = 3; }, 80 | 0x4000 | 0x2000},
      {"jpg", [](AppSettings& s) { s.JPGChroma = 9; s.JPGSaveAs = 1; }, 95 | 0x40000},
      {"png", [](AppSettings& s) { s.PNGCompression = 2; s.PNGInterlaced = 1; }, 0x206},
      {"png", [](AppSettings&) {}, 0x100},
      {"png", [](AppSettings& s) { s.PNGCompression = 4; }, 0},
      {"tiff", [](AppSettings& s) { s.TIFFCompression = 6; s.TIFFColorModel = 2; }, 0x4000},
      {"tiff", [](AppSettings& s) { s.TIFFCompression = 0; s.TIFFColorModel = 1; }, 0x800 | 1},
      {"tiff", [](AppSettings& s) { s.TIFFCompression = 8; }, 0x10000},
      {"exr", [](AppSettings&) {}, 0x2},
      {"exr", [](AppSettings& s) { s.EXRCompression = 4; }, 0x20},
      {"exr", [](AppSettings& s) { s.EXRCompression = 5; }, 0},
      {"tga", [](AppSettings& s) { s.TGACompression = 1; }, 2},
      {"jxr", [](AppSettings&) {}, 100},
      {"webp", [](AppSettings&) {}, 0x100},
      {"gif", [](AppSettings&) {}, 0},
      {"dds", [](AppSettings&) {}, 0},
      {"pcx", [](AppSettings&) {}, 0},
      {"nope", [](AppSettings&) {}, 0},
  };
  for (const FlagCase& c : cases) {
    AppSettings s = Defaults();
    c.set(s);
    EXPECT_EQ(EncoderFlags(c.ext, s), c.flags) << c.ext;
  }
}

TEST(ChooseBitDepth, TakesTheFirstLargeEnoughDepthElseTheLast) {
  struct Case {
    const char* ext;
    int source, depth;
  } const cases[] = {
      {"bmp", 1, 1},  {"bmp", 4, 4},   {"bmp", 8, 8},   {"bmp", 24, 24}, {"bmp", 32, 32},
      {"bmp", 48, 32}, {"bmp", 2, 4},  {"jpg", 1, 8},   {"jpg", 32, 24}, {"png", 16, 24},
      {"tiff", 64, 96}, {"gif", 24, 8}, {"dds", 24, 0},  {"psd", 8, 0},   {"xyz", 8, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseBitDepth(c.ext, c.source), c.depth) << c.ext << " " << c.source;
}

TEST(FormatCatalogue, HoldsTwentyThreeFormatsTwentyWithEntries) {
  EXPECT_EQ(OutputFormatTable().size(), 23u);
  int withEntry = 0;
  for (const OutputFormat& f : OutputFormatTable()) {
    if (FindOutputFormat(f.extension)) ++withEntry;
    EXPECT_EQ(FindFormatOptions(f.extension), &f);
  }
  EXPECT_EQ(withEntry, 20);
  const OutputFormat* bmp = FindOutputFormat("bmp");
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->fif, FIF_BMP);
  EXPECT_EQ(bmp->description, "Windows or OS/2 Bitmap");
  EXPECT_EQ(BitDepthList(*bmp), (std::vector<int>{1, 4, 8, 16, 24, 32}));
  EXPECT_EQ(FindOutputFormat("BMP"), nullptr);  // extensions are compared exactly
  EXPECT_EQ(FindOutputFormat("pcx"), nullptr);
  const InputFormat* pcx = FindInputFormat("pcx");
  ASSERT_NE(pcx, nullptr);
  EXPECT_EQ(pcx->description, "ZSoft Paintbrush File");
  EXPECT_EQ(FindInputFormat("nef")->formatKey, "raw");
}

}  // namespace
}  // namespace tq::engine
