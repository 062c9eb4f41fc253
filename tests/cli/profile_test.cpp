#include <gtest/gtest.h>

#include "cli/arguments.h"
#include "cli/switches.h"
#include "engine/conversion_context.h"
#include "settings/defaults.h"
#include "tests/support/cli_support.h"

namespace tq::cli {
namespace {

using S = settings::AppSettings;

// One profile line and the setting it must leave, against console defaults.
struct ProfileCase {
  std::string lines;  // below "[CLI]"
  settings::FieldRef field;
  std::string expected;
};

void PrintTo(const ProfileCase& c, std::ostream* os) { *os << c.lines.substr(0, c.lines.find('\r')); }

class ProfileTest : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileTest, KeyOfTheGroupCli) {
  test::TempDir dir;
  std::string path = dir / "profile.ini";
  test::WriteFileBytes(path, "[CLI]\r\n" + GetParam().lines);
  S s;
  settings::SetDefaultSettings(1, s);
  ASSERT_TRUE(LoadProfile(path, s));
  EXPECT_EQ(test::FieldAsText(GetParam().field, s), GetParam().expected) << GetParam().lines;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ProfileTest,
    ::testing::Values(
        ProfileCase{"--JPG-QUALITY = 90\r\n", &S::JPGQuality, "90"},
        ProfileCase{"--jpg-quality=80\n", &S::JPGQuality, "80"},
        ProfileCase{"--WM-SOLID-OPACITY = 128\r\n", &S::SolidOpacity, "128"},
        ProfileCase{"--FR-SOLID-OPACITY = 128\r\n", &S::SolidOpacity, "255"},
        // Texts keep their quotes but lose the blanks at both ends.
        ProfileCase{"--WM-TEXT = \"Hello\"\r\n", &S::WatermarkText, "\"Hello\""},
        ProfileCase{"--WM-TEXT = \"Hello\"\r\n", &S::DoWatermark, "1"},
        ProfileCase{"--WM-FONT =   Liberation Sans   \r\n", &S::WatermarkFont, "Liberation Sans"},
        ProfileCase{"--FR-SOLID-LEFT-COLOR = \"00FF00\"\r\n", &S::SolidLeftColor, "\"00FF00\""},
        // The mask alone loses its quotes.
        ProfileCase{"--FILENAME-MASK = \"%filename%-x.%ext%\"\r\n", &S::FilenameMask, "%filename%-x.%ext%"},
        // A flag key turns its setting on whatever its value says.
        ProfileCase{"--PNG-INTERLACED = 0\r\n", &S::PNGInterlaced, "1"},
        ProfileCase{"--NO-SUBFOLDERS = 1\r\n", &S::KeepSubfolders, "0"},
        ProfileCase{"--INVERT =\r\n", &S::DoImageColorCorrection, "1"},
        // Empty values are taken: numbers and words read 0, texts "".
        ProfileCase{"--WIDTH =\r\n", &S::ImageWidth, "0"}, ProfileCase{"--WIDTH =\r\n", &S::DoImageResize, "1"},
        ProfileCase{"--RESIZE-ALGORITHM =\r\n", &S::ImageResizeAlgorithm, "0"},
        ProfileCase{"--WM-FONT =\r\n", &S::WatermarkFont, ""},
        ProfileCase{"--GAMMA = 2.5\r\n", &S::ImageGamma, "2.5"},
        ProfileCase{"--RESIZE-ALGORITHM = lanczos \r\n", &S::ImageResizeAlgorithm, "5"},
        ProfileCase{"--WIDTH = 10\r\n--WIDTH = 20\r\n", &S::ImageWidth, "20"},
        ProfileCase{"; a comment\r\n--HEIGHT = $20\r\n", &S::ImageHeight, "32"},
        ProfileCase{"WIDTH = 10\r\n", &S::ImageWidth, "0"}));

TEST(Profile, OnlyTheGroupCliCountsAndConsoleOptionsAreNoKeys) {
  test::TempDir dir;
  std::string path = dir / "profile.ini";
  test::WriteFileBytes(path,
                       "--WIDTH = 5\r\n[Output]\r\n--JPG-QUALITY = 50\r\n[cli]\r\n-i = other.pcx\r\n-o = out\r\n"
                       "-c = jpg\r\n--profile = other.ini\r\n-d =\r\n-q =\r\n-p =\r\n--HEIGHT = 7\r\n");
  engine::ResetConversionState();
  engine::g_context.RunMode.clear();
  S s;
  settings::SetDefaultSettings(1, s);
  ASSERT_TRUE(LoadProfile(path, s));
  EXPECT_EQ(s.ImageWidth, 0);
  EXPECT_EQ(s.JPGQuality, 95);
  EXPECT_EQ(s.ImageHeight, 7);
  EXPECT_EQ(engine::g_context.SourceRoot, "");
  EXPECT_EQ(engine::g_context.ConsoleMode, 0);
  EXPECT_EQ(engine::g_context.OutputFolder, "");
  EXPECT_EQ(engine::g_context.OutputExtension, "");
  EXPECT_EQ(engine::g_context.RunMode, "");
}

TEST(Profile, ReadableFilesLoadEvenWithoutTheGroup) {
  test::TempDir dir;
  test::WriteFileBytes(dir / "empty.ini", "");
  test::WriteFileBytes(dir / "other.ini", "[Output]\r\nJPG Quality = 10\r\n");
  S s;
  settings::SetDefaultSettings(1, s);
  S before = s;
  EXPECT_TRUE(LoadProfile(dir / "empty.ini", s));
  EXPECT_TRUE(LoadProfile(dir / "other.ini", s));
  EXPECT_EQ(s.JPGQuality, before.JPGQuality);
}

TEST(Profile, RefusesWhatCannotBeReadAsAFile) {
  test::TempDir dir;
  S s;
  EXPECT_FALSE(LoadProfile("", s));
  EXPECT_FALSE(LoadProfile(dir / "missing.ini", s));
  EXPECT_FALSE(LoadProfile(dir.path(), s));  // a folder
  EXPECT_FALSE(LoadProfile("/dev/zero", s));  // would never end
}

// A profile takes effect at its place among the arguments.
TEST(Profile, JunkAndVeryLongLinesLoadWithoutHarm) {
  test::TempDir dir;
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk += static_cast<char>((i * 7919) % 256);
  const std::string longText(100000, 'w');
  const std::string files[] = {
      junk,
      "[CLI]\r\n--WM-TEXT = " + longText + "\r\n--JPG-QUALITY = 77\r\n",
      "[CLI]\r\n" + std::string(100000, '-') + "\r\n--JPG-QUALITY = 77\r\n",
      std::string("[CLI]\r\n--JPG-QUALITY = 77\r\n\0\0\0[CLI\r\n= =\r\n\xEF\xBB", 40) + junk,
  };
  for (const std::string& bytes : files) {
    test::WriteFileBytes(dir / "p.ini", bytes);
    S s;
    settings::SetDefaultSettings(1, s);
    EXPECT_TRUE(LoadProfile(dir / "p.ini", s));
    if (bytes.rfind("[CLI]", 0) == 0) {
      EXPECT_EQ(s.JPGQuality, 77);
    }
  }
  S s;
  settings::SetDefaultSettings(1, s);
  test::WriteFileBytes(dir / "p.ini", files[1]);
  ASSERT_TRUE(LoadProfile(dir / "p.ini", s));
  EXPECT_EQ(s.WatermarkText, longText);
  EXPECT_EQ(s.DoWatermark, 1);
}

TEST(Profile, AppliedAtItsPositionInTheArguments) {
  test::TempDir dir;
  std::string path = dir / "my profile.ini";
  test::WriteFileBytes(path, "[CLI]\r\n--JPG-QUALITY = 90\r\n");
  struct Case {
    Arguments args;
    int quality;
  };
  const Case cases[] = {
      {{"--jpg-quality=10", "--profile=" + path}, 90},
      {{"--profile=" + path, "--jpg-quality=10"}, 10},
      {{"--jpg-quality=10", "--profile=\"" + dir.path() + "my", "profile.ini\""}, 90},
  };
  for (const Case& c : cases) {
    settings::SetDefaultSettings(1);
    ParseOutcome out = ParseOptions(c.args);
    EXPECT_EQ(out.error, "") << c.args.back();
    EXPECT_EQ(settings::g_settings.JPGQuality, c.quality) << c.args.back();
  }
}

}  // namespace
}  // namespace tq::cli
