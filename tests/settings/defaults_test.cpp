#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/system.h"
#include "settings/defaults.h"
#include "settings/settings_table.h"

namespace tq::settings {
namespace {

const SettingRow& RowOf(std::string_view group, std::string_view key) {
  const SettingRow* row = FindSetting(group, key);
  EXPECT_NE(row, nullptr) << group << "/" << key;
  return *row;
}

// The desktop size is process-wide; every test puts it back.
class DefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = platform::PrimaryDesktopSize(); }
  void TearDown() override { platform::SetPrimaryDesktopSize(saved_); }
  platform::DesktopSize saved_;
};

TEST_F(DefaultsTest, ConsoleFlagChangesOnlyKeepAspectRatio) {
  platform::SetPrimaryDesktopSize({1920, 1080});
  AppSettings gui, console;
  SetDefaultSettings(0, gui);
  SetDefaultSettings(1, console);
  const SettingRow& keep = RowOf("Transform", "Keep Aspect Ratio");
  EXPECT_EQ(FieldText(keep, gui), "1");
  EXPECT_EQ(FieldText(keep, console), "0");
  for (const SettingRow& row : SettingsTable()) {
    if (&row == &keep) continue;
    if (row.rule == DefaultRule::Now) {
      // Both calls read the clock; a second may pass between them.
      long long a = std::atoll(FieldText(row, gui).c_str());
      long long b = std::atoll(FieldText(row, console).c_str());
      EXPECT_LE(std::llabs(a - b), 1) << row.key;
      EXPECT_LE(std::llabs(a - platform::LocalNow()), 2) << row.key;
      continue;
    }
    EXPECT_EQ(FieldText(row, gui), FieldText(row, console)) << row.group << "/" << row.key;
  }
}

TEST_F(DefaultsTest, EveryFieldIsSetAndRunTimeFieldsStay) {
  AppSettings s;
  s.ConfigPath = "/somewhere/config.ini";
  s.InstanceMutex = 7;
  s.MenuBarHeight = 21;
  s.ToolBarHeight = 40;
  s.LayoutTopOffset = 3;
  s.LayoutRowHeight = 30;
  s.StatusBarHeight = 22;
  // Scribble over every persisted field first, so a row the defaults skip shows.
  for (const SettingRow& row : SettingsTable()) StoreText(row, "77", s);
  SetDefaultSettings(0, s);
  EXPECT_EQ(s.ConfigPath, "/somewhere/config.ini");
  EXPECT_EQ(s.InstanceMutex, 7);
  EXPECT_EQ(s.MenuBarHeight, 21);
  EXPECT_EQ(s.ToolBarHeight, 40);
  EXPECT_EQ(s.LayoutTopOffset, 3);
  EXPECT_EQ(s.LayoutRowHeight, 30);
  EXPECT_EQ(s.StatusBarHeight, 22);
  for (const SettingRow& row : SettingsTable()) {
    bool computed = row.rule == DefaultRule::Now || row.rule == DefaultRule::DesktopX ||
                    row.rule == DefaultRule::DesktopY;
    if (computed) continue;
    EXPECT_NE(FieldText(row, s), "77") << row.group << "/" << row.key;
  }
  EXPECT_EQ(s.CFG, 17);
  EXPECT_EQ(s.InputFormat, "pcx");
  EXPECT_EQ(s.OutputFormat, "bmp");
  EXPECT_EQ(s.ImageGamma, 1.0f);
  EXPECT_EQ(s.JPGQuality, 95);
  EXPECT_EQ(s.RAWToneMapping, 2);
  EXPECT_EQ(s.FilenameMask, "%filename%.%ext%");
}

TEST_F(DefaultsTest, WindowPositionIsCentredOnThePrimaryDesktop) {
  struct Case {
    int width, height, x, y;
  };
  for (Case c : {Case{1920, 1080, 705, 410}, Case{500, 1080, 100, 410}, Case{1920, 200, 705, 100},
                 Case{511, 261, 0, 0}, Case{510, 260, 100, 100}, Case{0, 0, 100, 100}}) {
    platform::SetPrimaryDesktopSize({c.width, c.height});
    AppSettings s;
    SetDefaultSettings(0, s);
    EXPECT_EQ(s.X, c.x) << c.width << "x" << c.height;
    EXPECT_EQ(s.Y, c.y) << c.width << "x" << c.height;
    EXPECT_EQ(s.WindowWidth, 510);
    EXPECT_EQ(s.WindowHeight, 260);
  }
}

TEST_F(DefaultsTest, ByteFieldsKeepTheirLowEightBits) {
  struct Case {
    const char* text;
    int stored;
    const char* written;
  };
  const SettingRow& byteRow = RowOf("General", "Save Window Position");
  const SettingRow& intRow = RowOf("General", "Update Range");
  for (Case c : {Case{"300", 44, "44"}, Case{"255", -1, "-1"}, Case{"200", -56, "-56"}, Case{"-1", -1, "-1"},
                 Case{"256", 0, "0"}, Case{"127", 127, "127"}}) {
    AppSettings s;
    StoreText(byteRow, c.text, s);
    EXPECT_EQ(s.SaveWindowPosition, c.stored) << c.text;
    EXPECT_EQ(FieldText(byteRow, s), c.written) << c.text;
    // The same numbers fit an int field whole.
    StoreText(intRow, c.text, s);
    EXPECT_EQ(FieldText(intRow, s), c.text);
  }
}

}  // namespace
}  // namespace tq::settings
