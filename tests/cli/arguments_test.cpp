#include "cli/arguments.h"

#include <gtest/gtest.h>

#include <set>
#include <type_traits>
#include <variant>

#include "cli/keywords.h"
#include "cli/switches.h"
#include "engine/conversion_context.h"
#include "settings/defaults.h"
#include "tests/support/cli_support.h"

namespace tq::cli {
namespace {

using S = settings::AppSettings;

// Console defaults and an empty context before every case, as console
// set-up leaves them.
class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::ResetConversionState();
    engine::g_context.RunMode.clear();
    settings::SetDefaultSettings(1);
  }
};

struct NameCase {
  const char* argument;
  const char* name;
  const char* value;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << "[" << c.argument << "]"; }

class ParameterTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ParameterTest, NameAndValueOfOneArgument) {
  Arguments args = {GetParam().argument};
  EXPECT_EQ(ParameterName(args, 0), GetParam().name);
  EXPECT_EQ(ParameterValue(args, 0), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParameterTest,
    ::testing::Values(NameCase{"-i", "-I", "-i"}, NameCase{"--input=photo.pcx", "--INPUT", "photo.pcx"},
                      NameCase{"--INPUT=a=b", "--INPUT", "a=b"}, NameCase{"  -q  ", "-Q", "-q"},
                      NameCase{"photo.pcx", "", "photo.pcx"}, NameCase{"-x=y", "-X=Y", "-x=y"},
                      NameCase{"--flip-vertical", "--FLIP-VERTICAL", "--flip-vertical"},
                      NameCase{"--width=", "--WIDTH", ""}, NameCase{" --gamma = 2 ", "--GAMMA ", " 2"},
                      NameCase{"", "", ""}, NameCase{"\"-i\"", "", "\"-i\""}));

TEST(Parameter, PastTheEndIsEmpty) {
  Arguments args = {"-i"};
  EXPECT_EQ(ParameterName(args, 1), "");
  EXPECT_EQ(ParameterValue(args, 5), "");
}

TEST(Quotes, ContinuationJoinsUntilTheClosingQuote) {
  Arguments args = {"-i", "\"my", "holiday", "photo.pcx\"", "-q"};
  size_t i = 1;
  EXPECT_EQ(ContinueQuoted(args, i, "\"my"), "\"my holiday photo.pcx\"");
  EXPECT_EQ(i, 3u);
  size_t j = 1;
  EXPECT_EQ(ContinueQuoted(args, j, "\"closed\""), "\"closed\"");
  EXPECT_EQ(j, 1u);
  Arguments open = {"-i", "\"never", "closed"};
  size_t k = 1;
  EXPECT_EQ(ContinueQuoted(open, k, "\"never"), "\"never closed");
  EXPECT_EQ(k, 2u);
  EXPECT_EQ(RemoveQuotes("\"\"a \"b\"\""), "a \"b");
}

// One parse: the arguments and what the option loop must leave.
struct ParseCase {
  Arguments args;
  std::string error;
  std::string sourceRoot;
  std::string outputFolder = {};
  std::string outputExtension = {};
  bool quiet = false;
  bool pause = false;
  std::string runMode = {};
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  for (const std::string& a : c.args) *os << "[" << a << "] ";
}

class ParseTest : public CommandLine, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(ParseTest, OptionLoop) {
  const ParseCase& c = GetParam();
  ParseOutcome out = ParseOptions(c.args);
  EXPECT_EQ(out.error, c.error);
  EXPECT_EQ(engine::g_context.SourceRoot, c.sourceRoot);
  EXPECT_EQ(engine::g_context.ConsoleMode, c.sourceRoot.empty() ? 0 : 1);
  EXPECT_EQ(engine::g_context.OutputFolder, c.outputFolder);
  EXPECT_EQ(engine::g_context.OutputExtension, c.outputExtension);
  EXPECT_EQ(out.quiet, c.quiet);
  EXPECT_EQ(out.pause, c.pause);
  EXPECT_EQ(engine::g_context.RunMode, c.runMode);
}

const std::string kBad(kIncorrectParameters);

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTest,
    ::testing::Values(
        ParseCase{{"-i", "photo.pcx"}, "", "photo.pcx"}, ParseCase{{"--input=photo.pcx"}, "", "photo.pcx"},
        ParseCase{{"--INPUT=photo.pcx"}, "", "photo.pcx"}, ParseCase{{"-I", " photo.pcx "}, "", "photo.pcx"},
        ParseCase{{"-i"}, kBad, ""}, ParseCase{{"-i", "-o", "x"}, kBad, ""}, ParseCase{{"--input"}, kBad, ""},
        ParseCase{{"--input="}, kBad, ""}, ParseCase{{"--input=-x"}, kBad, ""},
        ParseCase{{"-i", "\"my", "photo.pcx\""}, "", "my photo.pcx"},
        ParseCase{{"-i", "\"a", "b", "c.pcx\"", "-q"}, "", "a b c.pcx", "", "", true},
        // The pieces after the first are consumed, even when they look like options.
        ParseCase{{"-i", "\"a", "-q", "b\""}, "", "a -q b"},
        ParseCase{{"-i", "\"open"}, "", "open"},
        ParseCase{{"-i", "a.pcx", "-o", "\"\"out\"\""}, "", "a.pcx", "out"},
        ParseCase{{"--output=\"my", "folder\"", "-i", "a.pcx"}, "", "a.pcx", "my folder"},
        ParseCase{{"-o"}, kBad, ""}, ParseCase{{"-c", "BMP"}, "", "", "", "BMP"},
        ParseCase{{"--conversion=\"bmp\""}, "", "", "", "bmp"},
        // -c loses its quotes but does not continue.
        ParseCase{{"-c", "\"my", "-q"}, "", "", "", "my", true}, ParseCase{{"-c", "-q"}, kBad, ""},
        ParseCase{{"-i", "a.pcx", "-i", "b.pcx", "-o", "x", "-o", "y"}, "", "b.pcx", "y"},
        ParseCase{{"-p", "--input"}, kBad, "", "", "", false, true}, ParseCase{{"--input", "-p"}, kBad, ""},
        ParseCase{{"--profile=/no/such/profile.ini", "-d"}, std::string(kInvalidProfile), ""},
        ParseCase{{"--profile=\"\""}, std::string(kInvalidProfile), ""}, ParseCase{{"--profile"}, kBad, ""},
        ParseCase{{"--profile="}, kBad, ""}, ParseCase{{"-q"}, "", "", "", "", true},
        ParseCase{{"-i", "a.pcx", "-h", "-v", "stray"}, "", "a.pcx"},
        ParseCase{{"-d"}, "", "", "", "", false, false, "DEBUG"},
        ParseCase{{"--DeBuG", "--quiet", "--PAUSE"}, "", "", "", "", true, true, "DEBUG"},
        ParseCase{{"--width"}, kBad, ""}, ParseCase{{"--width="}, kBad, ""},
        ParseCase{{"--brightness=-5", "-i", "a.pcx"}, "", "a.pcx"}, ParseCase{{"--brightness=--5"}, kBad, ""},
        ParseCase{{"--wm-text"}, kBad, ""}, ParseCase{{"--png-interlaced", "-q"}, "", "", "", "", true},
        // The loop stops at the first error: later arguments are not looked at.
        ParseCase{{"-q", "--width", "-i", "a.pcx", "-p"}, kBad, "", "", "", true}));

// One switch application: the arguments and the expected value of a setting.
struct SwitchCase {
  Arguments args;
  settings::FieldRef field;
  std::string expected;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
  for (const std::string& a : c.args) *os << "[" << a << "] ";
}

class SwitchTest : public CommandLine, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTest, StoresTheValueInItsSetting) {
  ParseOutcome out = ParseOptions(GetParam().args);
  ASSERT_EQ(out.error, "");
  EXPECT_EQ(test::FieldAsText(GetParam().field, settings::g_settings), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SwitchTest,
    ::testing::Values(
        SwitchCase{{"--resize-algorithm=lanczos"}, &S::ImageResizeAlgorithm, "5"},
        SwitchCase{{"--resize-algorithm=LANCZOS3"}, &S::ImageResizeAlgorithm, "0"},
        SwitchCase{{"--resize-algorithm= bicubic "}, &S::ImageResizeAlgorithm, "3"},
        SwitchCase{{"--png-compression=rle"}, &S::PNGCompression, "1"},
        SwitchCase{{"--tiff-compression=lzw"}, &S::TIFFCompression, "6"},
        SwitchCase{{"--tiff-color-model=lab"}, &S::TIFFColorModel, "2"},
        SwitchCase{{"--bmp-compression=RLE"}, &S::BMPCompression, "1"},
        SwitchCase{{"--wm-font-effect=strikethrough"}, &S::FontEffect, "0"},
        SwitchCase{{"--wm-font-effect=strikethrought"}, &S::FontEffect, "2"},
        SwitchCase{{"--wm-font-style=bolditalic"}, &S::FontStyle, "3"},
        SwitchCase{{"--wm-text-size=scaled"}, &S::TextSize, "0"},
        SwitchCase{{"--dds-load-as=rgba"}, &S::DDSLoadAs, "2"},
        SwitchCase{{"--raw-load-as=48hs"}, &S::RAWLoadAs, "4"},
        SwitchCase{{"--width=$320"}, &S::ImageWidth, "800"}, SwitchCase{{"--width=$320"}, &S::DoImageResize, "1"},
        SwitchCase{{"--height=%1010"}, &S::ImageHeight, "10"}, SwitchCase{{"--width=800px"}, &S::ImageWidth, "800"},
        SwitchCase{{"--width=abc"}, &S::ImageWidth, "0"}, SwitchCase{{"--width=10", "--width=20"}, &S::ImageWidth, "20"},
        SwitchCase{{"--gamma=1.5"}, &S::ImageGamma, "1.5"}, SwitchCase{{"--gamma=1.5"}, &S::DoImageColorCorrection, "1"},
        SwitchCase{{"--invert"}, &S::ImageInvert, "1"}, SwitchCase{{"--invert"}, &S::DoImageColorCorrection, "1"},
        SwitchCase{{"--brightness=-20"}, &S::ImageBrightness, "-20"},
        SwitchCase{{"--contrast=30"}, &S::DoImageColorCorrection, "1"},
        SwitchCase{{"--wm-text=Hello", "--wm-image=logo.png"}, &S::DoWatermark, "2"},
        SwitchCase{{"--wm-image=logo.png", "--wm-text=Hello"}, &S::DoWatermark, "1"},
        SwitchCase{{"--wm-text=\"Hello", "big", "World\""}, &S::WatermarkText, "Hello big World"},
        SwitchCase{{"--wm-font=\"DejaVu Sans\""}, &S::WatermarkFont, "DejaVu Sans"},
        SwitchCase{{"--filename-mask=\"%filename%", "copy.%ext%\""}, &S::FilenameMask, "%filename% copy.%ext%"},
        SwitchCase{{"--rotation-back-color=FF0000"}, &S::ImageRotationBackColor, "FF0000"},
        SwitchCase{{"--no-subfolders"}, &S::KeepSubfolders, "0"},
        SwitchCase{{"--png-interlaced=0"}, &S::PNGInterlaced, "1"},
        SwitchCase{{"--keep-aspect-ratio"}, &S::KeepAspectRatio, "1"},
        SwitchCase{{"--rotation=90"}, &S::TransformImageRotation, "90"},
        SwitchCase{{"--rotation=90"}, &S::DoImageRotation, "1"},
        SwitchCase{{"--threshold=128"}, &S::DoImageThreshold, "1"},
        SwitchCase{{"--fr-solid-left=5"}, &S::DoFrame, "1"},
        SwitchCase{{"--fr-solid-opacity=128"}, &S::SolidOpacity, "128"},
        // The profile spelling is no command-line switch.
        SwitchCase{{"--wm-solid-opacity=128"}, &S::SolidOpacity, "255"},
        SwitchCase{{"--fr-solid-opacity=128"}, &S::DoFrame, "0"},
        SwitchCase{{"--file-timestamp=custom"}, &S::FileTimestamp, "2"},
        SwitchCase{{"--file-timestamp-custom=$10"}, &S::CustomTimestamp, "16"},
        SwitchCase{{"--bmp-bpp=24"}, &S::BMPBPP, "24"}, SwitchCase{{"--jpg-quality=101"}, &S::JPGQuality, "101"},
        SwitchCase{{"--wm-image-x-offset=-4"}, &S::ImageXOffset, "-4"}));

// The table is read by kind; a row whose field has the wrong type would be
// silently ignored, so every row is checked against its field.
TEST(SwitchTableRows, KindsMatchTheirFieldsAndNamesAreUnique) {
  std::set<std::string_view> names, keys;
  for (const SwitchRow& row : SwitchTable()) {
    SCOPED_TRACE(std::string(row.name));
    EXPECT_TRUE(names.insert(row.name).second);
    EXPECT_TRUE(keys.insert(row.profileKey).second);
    EXPECT_EQ(FindSwitch(row.name), &row);
    EXPECT_EQ(FindProfileKey(row.profileKey), &row);
    EXPECT_EQ(row.name.substr(0, 2), "--");
    EXPECT_EQ(row.name == "--FR-SOLID-OPACITY", row.profileKey != row.name);
    bool isByte = std::holds_alternative<settings::Byte S::*>(row.field);
    bool isInt = std::holds_alternative<settings::Int S::*>(row.field);
    switch (row.kind) {
      case SwitchKind::Flag: EXPECT_TRUE(isByte); break;
      case SwitchKind::Num: EXPECT_TRUE(isInt); break;
      case SwitchKind::Real: EXPECT_TRUE(std::holds_alternative<settings::Real S::*>(row.field)); break;
      case SwitchKind::Word:
        EXPECT_TRUE(isByte || isInt);
        EXPECT_FALSE(KeywordWords(row.table).empty());
        EXPECT_NE(row.table, kFrameKind);
        EXPECT_NE(row.table, kWatermarkKind);
        break;
      case SwitchKind::Text:
      case SwitchKind::Mask: EXPECT_TRUE(std::holds_alternative<std::string S::*>(row.field)); break;
    }
  }
  EXPECT_EQ(FindProfileKey("--WM-SOLID-OPACITY"), FindSwitch("--FR-SOLID-OPACITY"));
  EXPECT_EQ(FindProfileKey("--FR-SOLID-OPACITY"), nullptr);
  EXPECT_EQ(FindSwitch("--WM-SOLID-OPACITY"), nullptr);
  EXPECT_EQ(FindSwitch("-I"), nullptr);  // options are not switches
}

}  // namespace
}  // namespace tq::cli
