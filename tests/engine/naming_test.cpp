#include <gtest/gtest.h>

#include "engine/conversion_context.h"
#include "engine/input_files.h"
#include "engine/naming.h"
#include "platform/system.h"
#include "settings/defaults.h"

namespace tq::engine {
namespace {

class NamingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetDefaultSettings(0);
    ResetConversionState();
    g_context.OutputFolder = "/out/";
    g_context.OutputExtension = "bmp";
  }
};

TEST_F(NamingTest, MasksExpandAsAUserExpects) {
  struct Case {
    const char* input;
    const char* mask;
    int fileNumber, randomNumber;
    const char* name;
  } const cases[] = {
      {"/in/Photo.Final.PCX", "%filename%.%ext%", 1, 1, "Photo.Final.bmp"},
      {"/in/Photo.Final.PCX", "IMG_%filename[u]%_%n%.%ext[u]%", 7, 1, "img_PHOTO.FINAL_00007.BMP"},
      {"/in/mY pIC.pcx", "%filename[t]%.%ext[t]%", 1, 1, "My pic.Bmp"},
      {"/in/mY pIC.pcx", "%FILENAME[L]%", 1, 1, "my pic"},
      {"/in/a.pcx", "", 1, 1, "a.bmp"},
      {"/in/a.pcx", "%filename%", 1, 1, "a"},
      {"/in/README", "%filename%.%ext%", 1, 1, "README.bmp"},
      {"/in/a%ext%.pcx", "%filename%.%ext%", 1, 1, "abmp.bmp"},
      {"/in/a.pcx", "%rnd%-%n%", 1, 42, "00042-00001"},
      {"/in/a.pcx", "%n%", 123456, 1, "12345"},
      {"/in/a.pcx", "Sub/%filename%.%ext%", 1, 1, "sub/a.bmp"},
      {"/in/Été.pcx", "%filename[u]%", 1, 1, "ÉTÉ"},
      {"/in/a.pcx", "%bpp%_%width%x%height%", 1, 1, "24_640x480"},
  };
  for (const Case& c : cases) {
    g_context.InputPath = c.input;
    g_context.FileNumber = c.fileNumber;
    g_context.RandomNumber = c.randomNumber;
    g_context.OutputBitDepth = 24;
    g_context.ResultWidth = 640;
    g_context.ResultHeight = 480;
    settings::g_settings.FilenameMask = c.mask;
    EXPECT_EQ(ExpandFilenameMask(), c.name) << c.mask;
  }
}

TEST_F(NamingTest, DateTokensUseTheLocalClock) {
  g_context.InputPath = "/in/a.pcx";
  settings::g_settings.FilenameMask = "%yyyy%-%mm%-%dd%_%hh%%ii%%ss%_%filename%.%ext%";
  platform::LocalTime before = platform::CurrentLocalTime();
  std::string name = ExpandFilenameMask();
  char expected[32];
  std::snprintf(expected, sizeof expected, "%04d-%02d-%02d_", before.year, before.month, before.day);
  EXPECT_EQ(name.substr(0, 11), expected);
  EXPECT_EQ(name.size(), std::string("2024-03-05_000000_a.bmp").size());
}

TEST_F(NamingTest, OutputPathKeepsSubfoldersWhenAsked) {
  g_context.InputPath = "/in/Photo.Final.PCX";
  g_context.CurrentSubfolder = "sub/";
  EXPECT_EQ(OutputFilePath(), "/out/sub/Photo.Final.bmp");
  settings::g_settings.KeepSubfolders = 0;
  EXPECT_EQ(OutputFilePath(), "/out/Photo.Final.bmp");
}

TEST(BaseName, DropsOnlyTheLastExtension) {
  EXPECT_EQ(BaseName("Photo.Final.PCX"), "Photo.Final");
  EXPECT_EQ(BaseName("README"), "README");
  EXPECT_EQ(BaseName(""), "");
  EXPECT_EQ(BaseName(".pcx"), "");
}

TEST(ExpandToken, ReplacesAnyCaseInOnePass) {
  g_context.OutputExtension = "%ext%";
  // The inserted value holds the token again; one pass must not loop on it.
  EXPECT_EQ(ExpandToken("a.%EXT%.%Ext%", "%ext%"), "a.%ext%.%ext%");
  g_context.OutputExtension = "bmp";
}

TEST(AcceptedExtensions, FollowTheBuildsInputArray) {
  ResetConversionState();
  EXPECT_EQ(g_acceptedInputExtensions, std::vector<std::string>{"pcx"});
  EXPECT_TRUE(IsAcceptedExtension("pcx"));
  EXPECT_FALSE(IsAcceptedExtension("PCX"));
  EXPECT_FALSE(IsAcceptedExtension("bmp"));
  EXPECT_FALSE(IsAcceptedExtension(""));
}

TEST(RelativeSubfolder, RemovesTheRoot) {
  EXPECT_EQ(RelativeSubfolder("/in/a/b.pcx", "/in/"), "a/");
  EXPECT_EQ(RelativeSubfolder("/in/b.pcx", "/in/"), "");
  EXPECT_EQ(RelativeSubfolder("/other/b.pcx", "/in/"), "");
  EXPECT_EQ(RelativeSubfolder("/in/a/b.pcx", ""), "");
  EXPECT_EQ(RelativeSubfolder("", "/in/"), "");
}

}  // namespace
}  // namespace tq::engine
