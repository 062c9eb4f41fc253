#include "settings/config_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <type_traits>

#include "app/build_info.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "settings/defaults.h"
#include "settings/settings_table.h"
#include "tests/support/temp_dir.h"

namespace tq::settings {
namespace {

using namespace std::string_literals;

const std::string kBom = "\xEF\xBB\xBF";

// Lines joined with CR LF, each one ended.
std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

std::string Field(const AppSettings& s, std::string_view group, std::string_view key) {
  const SettingRow* row = FindSetting(group, key);
  EXPECT_NE(row, nullptr) << group << "/" << key;
  return row ? FieldText(*row, s) : std::string();
}

// A text as a field of that row holds it after a load.
std::string Normalised(const SettingRow& row, std::string_view text) {
  AppSettings scratch;
  StoreText(row, text, scratch);
  return FieldText(row, scratch);
}

size_t FilesIn(const std::string& folder) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++n;
  }
  return n;
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = platform::PrimaryDesktopSize();
    // A desktop that would centre the window, so the defaults of a missing
    // file (100, 100) differ from those of SetDefaultSettings.
    platform::SetPrimaryDesktopSize({1920, 1080});
    s.ConfigPath = dir / "config.ini";
  }
  void TearDown() override { platform::SetPrimaryDesktopSize(saved_); }

  AppSettings LoadFrom(const std::string& bytes) {
    test::WriteFileBytes(s.ConfigPath, bytes);
    AppSettings loaded;
    loaded.ConfigPath = s.ConfigPath;
    LoadSettings(loaded);
    return loaded;
  }
  std::string Saved(AppSettings& settings) {
    SaveSettings(settings);
    return test::ReadFileBytes(settings.ConfigPath);
  }

  test::TempDir dir;
  AppSettings s;
  platform::DesktopSize saved_;
};

TEST_F(ConfigFileTest, DefaultsAreWrittenByteForByte) {
  platform::SetPrimaryDesktopSize({0, 0});
  SetDefaultSettings(0, s);
  s.UpdateDate = 1700000000;
  s.CustomTimestamp = 1700000001;
  const std::string colours = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";
  const std::string expected =
      kBom + "\r\n" +
      Lines({"[General]", "CFG = 17", "Language = en", "Update Range = 2", "Update Date = 1700000000",
             "Save Window Position = 1", "; ",
             "[Window]", "IsMaximized = 0", "Width = 510", "Height = 260", "X = 100", "Y = 100", "; ",
             "[Interface]", "UI Theme = handdrawn", "UI Size = 2", "; ",
             "[Input]", "Format = pcx", "; ",
             "[Output]", "Format = bmp", "BMP BPP = 0", "BMP Compression = 0", "BMP Color Table = 0", "; ",
             "[Transform]", "Do Image Rotation = 0", "Image Rotation Type = 0", "Image Rotation = 0",
             "Image Rotation Back Color = 000000", "Do Image Resize = 0", "Image Width = 0",
             "Image Width Unit = 0", "Image Height = 0", "Image Height Unit = 0", "Keep Aspect Ratio = 1",
             "Image Resize Type = 0", "Image Resize Algorithm = 3", "Do Image Flip Horizontal = 0",
             "Do Image Flip Vertical = 0", "; ",
             "[Adjustment]", "Do Image Color Correction = 0", "Image Brightness = 0", "Image Contrast = 0",
             "Image Gamma = 1.000000", "Image Invert = 0", "Do Image Greyscale = 0", "Do Image Threshold = 0",
             "Image Threshold = 0", "; ",
             "[Frame]", "Do Frame = 0", "Solid Left = 0", "Solid Right = 0", "Solid Top = 0", "Solid Bottom = 0",
             "Solid Left Color = 000000", "Solid Right Color = 000000", "Solid Top Color = 000000",
             "Solid Bottom Color = 000000", "Solid Opacity = 255", "; ",
             "[Watermark]", "Do Watermark = 0", "Text = " + app::CompanyNotice(), "Fonts = Arial,Tahoma,Verdana",
             "Font = Arial", "Font Size = 14", "Font Leading = 0", "Font Colors = " + colours,
             "Font Color = FFFFFF", "Font Style = 0", "Font Effect = 0", "Text Antialiasing = 0",
             "Text Alignment = 0", "Text Padding = 0", "Text Opacity = 255", "Back Colors = " + colours,
             "Back Color = 000000", "Back Opacity = 1", "Text Boundary = 0", "Text Position = 8",
             "Text X Offset = 10", "Text Y Offset = 10", "Text Rotation = 0", "Text Size = 0", "Text Scale = 10",
             "Image = ", "Image Greyscale = 0", "Image Opacity = 255", "Image Boundary = 0", "Image Position = 8",
             "Image X Offset = 10", "Image Y Offset = 10", "Image Rotation = 0", "Image Size = 0",
             "Image Scale = 10", "; ",
             "[Advanced]", "Filename Mask = %filename%.%ext%", "File Timestamp = 0",
             "Custom Timestamp = 1700000001", "Out Folders History = 1", "Out Folders Number = 5",
             "Keep Subfolders = 1", "; ",
             "[File]", "Recent Out Folders = ", "Recent Files = ", "; ",
             "[Privacy]", "Clean Recent Files = 0", "; "});
  EXPECT_EQ(Saved(s), expected);
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a temporary file was left behind";
}

// Every row gets a value of its type that no default has; what the file
// carries must come back, what it leaves out must come back as the default.
TEST_F(ConfigFileTest, EveryWrittenRowSurvivesARoundTrip) {
  std::span<const SettingRow> table = SettingsTable();
  for (size_t i = 0; i < table.size(); ++i) {
    const SettingRow& row = table[i];
    std::visit(
        [&](auto member) {
          using T = std::remove_reference_t<decltype(s.*member)>;
          if constexpr (std::is_same_v<T, std::string>) {
            // Inner tabs and blanks stay; trailing blanks only where not trimmed.
            std::string text = "v" + std::to_string(i) + " \xC3\xA9\t%x%";
            s.*member = row.trimmed ? text : text + "  ";
          } else if constexpr (std::is_same_v<T, Real>) {
            s.*member = 0.25f + static_cast<float>(i);
          } else if constexpr (std::is_same_v<T, Byte>) {
            s.*member = static_cast<Byte>(20 + i % 100);
          } else {
            s.*member = -1000 - static_cast<T>(i) * 13;
          }
        },
        row.field);
  }
  SaveSettings(s);
  AppSettings loaded;
  loaded.ConfigPath = s.ConfigPath;
  LoadSettings(loaded);

  auto inArray = [](const auto& list, std::string_view format) {
    return std::find(list.begin(), list.end(), format) != list.end();
  };
  int written = 0;
  for (const SettingRow& row : table) {
    bool isWritten = row.when == WhenWritten::Always || row.when == WhenWritten::WindowSaved ||
                     (row.when == WhenWritten::InputFormat && inArray(app::InputExtensions, row.format)) ||
                     (row.when == WhenWritten::OutputFormat && inArray(app::OutputExtensions, row.format));
    std::string expected = FieldText(row, s);
    if (row.field == FieldRef(&AppSettings::CFG)) {
      expected = "17";
    } else if (!isWritten) {
      expected = Normalised(row, row.hasMissingText ? std::string(row.missingText) : DefaultText(row, 0));
    } else {
      ++written;
      ASSERT_NE(expected, Normalised(row, DefaultText(row, 0))) << row.key << ": the value must differ";
    }
    EXPECT_EQ(FieldText(row, loaded), expected) << row.group << "/" << row.key;
  }
  // Every key line of the file was checked above (CFG aside).
  std::string bytes = test::ReadFileBytes(s.ConfigPath);
  int keyLines = 0;
  for (size_t at = bytes.find(" = "); at != std::string::npos; at = bytes.find(" = ", at + 1)) ++keyLines;
  EXPECT_EQ(keyLines, written + 1);
  EXPECT_GT(written, 80);
}

// One file and the value of one setting after loading it.
struct LoadCase {
  const char* what;
  std::string file;
  std::string_view group, key;
  std::string expected;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.what; }

class LoadCaseTest : public ConfigFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadCaseTest, ReadsTheValue) {
  const LoadCase& c = GetParam();
  AppSettings loaded = LoadFrom(c.file);
  EXPECT_EQ(Field(loaded, c.group, c.key), c.expected) << c.what;
}

const std::string kCfg10 = kBom + Lines({"[General]", "CFG = 10", "[Advanced]"});
const std::string kCfg13 = kBom + Lines({"[General]", "CFG = 13", "[Input]"});
const std::string kWatermark = kBom + Lines({"[Watermark]"});
const std::string kGeneral = kBom + Lines({"[General]"});
const std::string kAdjust = kBom + Lines({"[Adjustment]"});

INSTANTIATE_TEST_SUITE_P(
    Files, LoadCaseTest,
    ::testing::Values(
        // Masks of files before %ext% existed gain it; the test is case-sensitive.
        LoadCase{"old mask", kCfg10 + "Filename Mask = %filename%\r\n", "Advanced", "Filename Mask",
                 "%filename%.%ext%"},
        LoadCase{"old upper-case mask", kCfg10 + "Filename Mask = %FILENAME%.%EXT%\r\n", "Advanced",
                 "Filename Mask", "%FILENAME%.%EXT%.%ext%"},
        LoadCase{"old mask with %ext%", kCfg10 + "Filename Mask = a-%ext%\r\n", "Advanced", "Filename Mask",
                 "a-%ext%"},
        LoadCase{"mask of version 11", kBom + Lines({"[General]", "CFG = 11", "[Advanced]", "Filename Mask = x"}),
                 "Advanced", "Filename Mask", "x"},
        LoadCase{"no CFG reads 0", kBom + Lines({"[Advanced]", "Filename Mask = x"}), "Advanced", "Filename Mask",
                 "x.%ext%"},
        LoadCase{"CFG as read", kCfg10, "General", "CFG", "10"},
        LoadCase{"missing CFG", kBom + Lines({"[General]", "Language = en"}), "General", "CFG", "0"},
        // RAW load modes moved up by two in version 14.
        LoadCase{"RAW 1 of version 13", kCfg13 + "RAW Load As = 1\r\n", "Input", "RAW Load As", "3"},
        LoadCase{"RAW 0 of version 13", kCfg13 + "RAW Load As = 0\r\n", "Input", "RAW Load As", "0"},
        LoadCase{"RAW 1 of version 14", kBom + Lines({"[General]", "CFG = 14", "[Input]", "RAW Load As = 1"}),
                 "Input", "RAW Load As", "1"},
        // A file without a Window group: the fixed geometry, not the centred one.
        LoadCase{"no window X", kGeneral + "Save Window Position = 1\r\n", "Window", "X", "100"},
        LoadCase{"no window Y", kGeneral + "Save Window Position = 1\r\n", "Window", "Y", "100"},
        LoadCase{"no window width", kGeneral, "Window", "Width", "510"},
        LoadCase{"no window height", kGeneral, "Window", "Height", "260"},
        LoadCase{"no window state", kGeneral, "Window", "IsMaximized", "0"},
        LoadCase{"missing Keep Aspect Ratio", kGeneral, "Transform", "Keep Aspect Ratio", "1"},
        LoadCase{"missing text", kGeneral, "Watermark", "Fonts", "Arial,Tahoma,Verdana"},
        LoadCase{"missing real", kGeneral, "Adjustment", "Image Gamma", "1.000000"},
        // Reals.
        LoadCase{"gamma 1.5", kAdjust + "Image Gamma = 1.5\r\n", "Adjustment", "Image Gamma", "1.500000"},
        LoadCase{"gamma nan", kAdjust + "Image Gamma = nan\r\n", "Adjustment", "Image Gamma", "NaN"},
        LoadCase{"gamma -INFINITY", kAdjust + "Image Gamma = -INFINITY\r\n", "Adjustment", "Image Gamma",
                 "-Infinity"},
        LoadCase{"gamma +infinity", kAdjust + "Image Gamma = +infinity\r\n", "Adjustment", "Image Gamma",
                 "+Infinity"},
        LoadCase{"gamma with a unit", kAdjust + "Image Gamma = 2.25x\r\n", "Adjustment", "Image Gamma",
                 "2.250000"},
        LoadCase{"gamma of no number", kAdjust + "Image Gamma = abc\r\n", "Adjustment", "Image Gamma",
                 "0.000000"},
        // Trimmed keys lose spaces at both ends, never tabs; others keep them.
        LoadCase{"trimmed font", kWatermark + "Font =   Tahoma   \r\n", "Watermark", "Font", "Tahoma"},
        LoadCase{"trimmed keeps tabs", kWatermark + "Font = Tahoma\t \r\n", "Watermark", "Font", "Tahoma\t"},
        LoadCase{"trimmed text", kWatermark + "Text =  (c) me  \r\n", "Watermark", "Text", "(c) me"},
        LoadCase{"language keeps blanks", kGeneral + "Language = de  \r\n", "General", "Language", "de  "},
        LoadCase{"recent folders untrimmed", kBom + Lines({"[File]", "Recent Out Folders = /a/\t /b/ "}), "File",
                 "Recent Out Folders", "/a/\t /b/ "},
        LoadCase{"value holds =", kWatermark + "Text = a = b\r\n", "Watermark", "Text", "a = b"},
        // Names in any case.
        LoadCase{"lower-case group and key", kBom + Lines({"[general]", "cfg = 10"}), "General", "CFG", "10"},
        LoadCase{"upper-case names", kBom + Lines({"[WATERMARK]", "FONT SIZE = 20"}), "Watermark", "Font Size",
                 "20"},
        // Line syntax.
        LoadCase{"leading blanks and blanks before =", kBom + Lines({" \t[Watermark]", "\t Font Size \t=\t 16"}),
                 "Watermark", "Font Size", "16"},
        LoadCase{"LF line ends", kBom + "[Watermark]\nFont Size = 17\n", "Watermark", "Font Size", "17"},
        LoadCase{"comment line", kWatermark + "; Font Size = 20\r\n", "Watermark", "Font Size", "14"},
        LoadCase{"group without ]", kBom + Lines({"[Watermark", "Font Size = 20"}), "Watermark", "Font Size",
                 "20"},
        LoadCase{"key before any group", kBom + Lines({"Font Size = 20", "[Watermark]"}), "Watermark",
                 "Font Size", "14"},
        LoadCase{"key of another group", kGeneral + "Font Size = 20\r\n", "Watermark", "Font Size", "14"},
        // Encodings.
        LoadCase{"no BOM is ISO 8859-1", "[Watermark]\r\nFont = Caf\xE9\r\n", "Watermark", "Font",
                 "Caf\xC3\xA9"},
        LoadCase{"BOM is UTF-8", kWatermark + "Font = Caf\xC3\xA9\r\n", "Watermark", "Font", "Caf\xC3\xA9"},
        LoadCase{"cut UTF-8 sequence", kWatermark + "Font = Ar\xE2\x82", "Watermark", "Font", "Ar\xEF\xBF\xBD"},
        LoadCase{"stray UTF-8 bytes", kWatermark + "Font = a\x80\xC0z\r\n", "Watermark", "Font",
                 "a\xEF\xBF\xBD\xEF\xBF\xBDz"},
        // Numbers.
        LoadCase{"12px", kWatermark + "Font Size = 12px\r\n", "Watermark", "Font Size", "12"},
        LoadCase{"no digits", kWatermark + "Font Size = px\r\n", "Watermark", "Font Size", "0"},
        LoadCase{"negative", kWatermark + "Font Size = -7\r\n", "Watermark", "Font Size", "-7"},
        LoadCase{"empty number", kWatermark + "Font Size =\r\n", "Watermark", "Font Size", "0"},
        LoadCase{"empty text", kGeneral + "Language = \r\n", "General", "Language", ""},
        LoadCase{"byte keeps low bits", kGeneral + "Save Window Position = 300\r\n", "General",
                 "Save Window Position", "44"}));

TEST_F(ConfigFileTest, MissingOrUnreadableFileGivesTheDefaults) {
  AppSettings expected;
  SetDefaultSettings(0, expected);
  for (bool folder : {false, true}) {
    AppSettings loaded;
    loaded.ConfigPath = dir / "absent.ini";
    if (folder) {
      ASSERT_TRUE(platform::CreateFolder(loaded.ConfigPath));  // opens, but cannot be read
    }
    LoadSettings(loaded);
    for (const SettingRow& row : SettingsTable()) {
      if (row.rule == DefaultRule::Now) continue;
      EXPECT_EQ(FieldText(row, loaded), FieldText(row, expected)) << row.key;
    }
    EXPECT_EQ(loaded.X, 705) << "the defaults centre the window";
    EXPECT_EQ(loaded.CFG, 17);
    EXPECT_EQ(loaded.ConfigPath, dir / "absent.ini");
  }
}

TEST_F(ConfigFileTest, WrittenValues) {
  struct Case {
    float gamma;
    const char* line;
  };
  SetDefaultSettings(0, s);
  for (Case c : {Case{1.5f, "Image Gamma = 1.500000"}, Case{0.01f, "Image Gamma = 0.010000"},
                 Case{INFINITY, "Image Gamma = +Infinity"}, Case{-INFINITY, "Image Gamma = -Infinity"},
                 Case{NAN, "Image Gamma = NaN"}}) {
    s.ImageGamma = c.gamma;
    EXPECT_NE(Saved(s).find("\r\n" + std::string(c.line) + "\r\n"), std::string::npos) << c.line;
  }
  s.CFG = 3;
  s.TextSize = -2;
  s.RecentOutFolders = "/a/\t/b c/";
  std::string bytes = Saved(s);
  EXPECT_NE(bytes.find("\r\nCFG = 17\r\n"), std::string::npos);
  EXPECT_EQ(s.CFG, 3) << "the record keeps the version it read";
  EXPECT_NE(bytes.find("\r\nText Size = -2\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nRecent Out Folders = /a/\t/b c/\r\n"), std::string::npos);
}

TEST_F(ConfigFileTest, WindowGroupIsEmptyWhenPositionsAreNotSaved) {
  SetDefaultSettings(0, s);
  s.SaveWindowPosition = 0;
  s.X = 333;
  s.WindowWidth = 800;
  std::string bytes = Saved(s);
  EXPECT_NE(bytes.find("\r\n[Window]\r\n; \r\n[Interface]\r\n"), std::string::npos);
  EXPECT_EQ(s.X, 333);
  AppSettings loaded;
  loaded.ConfigPath = s.ConfigPath;
  LoadSettings(loaded);
  EXPECT_EQ(loaded.X, 100);
  EXPECT_EQ(loaded.Y, 100);
  EXPECT_EQ(loaded.WindowWidth, 510);
  EXPECT_EQ(loaded.SaveWindowPosition, 0);
}

TEST_F(ConfigFileTest, UnknownGroupsAndKeysAreNotWrittenBack) {
  AppSettings loaded = LoadFrom(kBom + Lines({"[Extra]", "Foo = 1", "[General]", "Bar = 2", "Language = fr"}));
  EXPECT_EQ(loaded.Language, "fr");
  std::string bytes = Saved(loaded);
  EXPECT_EQ(bytes.find("Extra"), std::string::npos);
  EXPECT_EQ(bytes.find("Foo"), std::string::npos);
  EXPECT_EQ(bytes.find("Bar"), std::string::npos);
}

TEST_F(ConfigFileTest, RecentFoldersAreForgottenOnlyWhenAsked) {
  for (Byte history : {0, 1}) {
    SetDefaultSettings(0, s);
    s.RecentOutFolders = "/a/\t/b/";
    s.OutFoldersHistory = history;
    ForgetRecentFoldersIfAsked(s);
    EXPECT_EQ(s.RecentOutFolders, history ? "/a/\t/b/" : "");
    std::string line = history ? "Recent Out Folders = /a/\t/b/" : "Recent Out Folders = ";
    EXPECT_NE(Saved(s).find("\r\n" + line + "\r\n"), std::string::npos);
  }
}

// Whatever a damaged file holds, it loads, and what is saved from it is
// stable: loading and saving again gives the same bytes.
TEST_F(ConfigFileTest, CorruptFilesLoadAndSaveStably) {
  std::mt19937 random(1234);
  auto junk = [&](size_t n) {
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
  };
  const std::string longLine(100000, 'x');
  const std::vector<std::pair<const char*, std::string>> files = {
      {"binary junk", junk(65536)},
      {"junk after a BOM", kBom + junk(65536)},
      {"junk lines", kBom + "[Watermark]\r\n" + junk(4096) + "\r\nFont = =\r\n" + junk(4096)},
      {"long value", kWatermark + "Text = " + longLine + "\r\nFont Size = 20\r\n"},
      {"long line without =", kWatermark + longLine},
      {"long group line", kBom + "[" + longLine},
      {"long key", kWatermark + longLine + " = 5\r\n"},
      {"NUL bytes", kBom + "[Water\0mark]\r\nFont\0 = a\0b\r\nFont Size = 1\0" "2\r\n"s},
      {"only NUL bytes", std::string(1000, '\0')},
      {"cut UTF-8 at the end", kWatermark + "Font = \xF0\x9F\x98"},
      {"half a BOM", "\xEF\xBB"},
      {"lone CRs", kBom + "\r\r\r[General]\rLanguage = x\r\r\n"},
      {"only =", kBom + "=\r\n==\r\n[=]\r\n= =\r\n"},
      {"huge numbers", kBom + Lines({"[Watermark]", "Font Size = 99999999999999999999999999",
                                     "[Adjustment]", "Image Gamma = " + std::string(400, '9') + ".5"})},
  };
  for (const auto& [what, bytes] : files) {
    AppSettings loaded = LoadFrom(bytes);
    std::string first = Saved(loaded);
    ASSERT_EQ(first.substr(0, 5), kBom + "\r\n") << what;
    AppSettings again;
    again.ConfigPath = loaded.ConfigPath;
    LoadSettings(again);
    EXPECT_EQ(Saved(again), first) << what;
  }
  AppSettings loaded = LoadFrom(files[3].second);
  EXPECT_EQ(loaded.WatermarkText, longLine);
  EXPECT_EQ(loaded.FontSize, 20);
}

// A child process runs the save, so resource limits and a changed user stay there.
template <typename Prepare>
int SaveInChild(AppSettings& s, Prepare prepare) {
  pid_t child = fork();
  if (child == 0) {
    prepare();
    SaveSettings(s);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(ConfigFileTest, AFailedWriteKeepsTheOldFile) {
  SetDefaultSettings(0, s);
  test::WriteFileBytes(s.ConfigPath, "the old settings");
  // A file-size limit stands in for a full disk: the write stops half-way.
  int status = SaveInChild(s, [] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadFileBytes(s.ConfigPath), "the old settings");
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a temporary file was left behind";
  // Without the limit the same save goes through.
  EXPECT_EQ(Saved(s).substr(0, 3), kBom);
}

TEST_F(ConfigFileTest, AKilledSaveLeavesTheOldFileOrTheWholeNewOne) {
  SetDefaultSettings(0, s);
  // A large value makes the write long enough to be cut.
  s.RecentFiles = std::string(4 << 20, 'x');
  const std::string old = "the old settings";
  // Many kills at spread moments after the first save has had time to
  // begin, so some land inside a write.
  for (int kill = 0; kill < 30; ++kill) {
    const int delayUs = 50000 + kill * 4000;
    test::WriteFileBytes(s.ConfigPath, old);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) SaveSettings(s);
    }
    usleep(static_cast<useconds_t>(delayUs));
    ::kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string now = test::ReadFileBytes(s.ConfigPath);
    if (now != old) {
      // A complete file ends with the comment line closing its last group.
      ASSERT_TRUE(now.ends_with("[Privacy]\r\nClean Recent Files = 0\r\n; \r\n")) << "killed after " << delayUs << " us";
    }
  }
}

TEST_F(ConfigFileTest, AReadOnlyFolderKeepsTheOldFile) {
  std::string folder = dir / "ro/";
  ASSERT_TRUE(platform::CreateFolder(folder));
  s.ConfigPath = folder + "config.ini";
  SetDefaultSettings(0, s);
  test::WriteFileBytes(s.ConfigPath, "the old settings");
  chmod(dir.path().c_str(), 0755);
  chmod(folder.c_str(), 0555);
  // Root writes into read-only folders, so the child gives up root first.
  int status = SaveInChild(s, [] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
  });
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(test::ReadFileBytes(s.ConfigPath), "the old settings");
  EXPECT_EQ(FilesIn(folder), 1u);
}

TEST_F(ConfigFileTest, AMissingFolderIsNotCreated) {
  SetDefaultSettings(0, s);
  s.ConfigPath = dir / "gone/config.ini";
  SaveSettings(s);
  EXPECT_FALSE(platform::FileExists(dir / "gone"));
  LoadSettings(s);
  EXPECT_EQ(s.CFG, 17);
}

// The reader on its own: what the profile and language files rely on too.
TEST(IniReading, FirstGroupAndKeyWinAndFoldersAreNoFiles) {
  platform::IniFile file = platform::IniFile::Parse(
      kBom + Lines({"[A]", "k = 1", "K = 2", "[a]", "k = 3", "[B]", "x=", "y =\t v \t"}));
  ASSERT_NE(file.Value("a", "K"), nullptr);
  EXPECT_EQ(*file.Value("a", "K"), "1");
  EXPECT_EQ(*file.Value("B", "x"), "");
  EXPECT_EQ(*file.Value("B", "y"), "v \t");
  EXPECT_EQ(file.Value("B", "z"), nullptr);
  EXPECT_EQ(file.Value("C", "x"), nullptr);
  test::TempDir dir;
  EXPECT_FALSE(platform::IniFile::Load(dir.path()).has_value());
  EXPECT_FALSE(platform::IniFile::Load(dir / "missing.ini").has_value());
}

}  // namespace
}  // namespace tq::settings
