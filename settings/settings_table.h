#pragma once
#include <span>
#include <string_view>
#include <variant>

#include "settings/app_settings.h"

namespace tq::settings {

// Where a field lives in the record; the alternative gives its width.
using FieldRef = std::variant<Byte AppSettings::*, Int AppSettings::*, Real AppSettings::*,
                              std::string AppSettings::*>;

// Defaults that are not a fixed text.
enum class DefaultRule {
  Fixed,                 // the row's default text
  Now,                   // the current local date and time
  DesktopX,              // centred on the primary desktop, else 100
  DesktopY,
  FirstInputExtension,   // first entry of InputExtensions
  FirstOutputExtension,  // first entry of OutputExtensions
  KeepAspectRatio,       // 1 in the GUI, 0 in console mode
  CompanyNotice,         // the copyright line, as default watermark text
};

enum class WhenWritten {
  Always,
  WindowSaved,   // only when Save Window Position is not 0
  InputFormat,   // only when the row's format is in InputExtensions
  OutputFormat,  // only when the row's format is in OutputExtensions
};

// One persisted setting: group and key of the configuration file, the field,
// its default, how a text is read and when the key is written.
struct SettingRow {
  std::string_view group;
  std::string_view key;
  FieldRef field;
  std::string_view defaultText;
  DefaultRule rule = DefaultRule::Fixed;
  bool trimmed = false;          // text keys: spaces removed from both ends when read
  WhenWritten when = WhenWritten::Always;
  std::string_view format = {};  // per-format rows: the extension they belong to
  // What LoadSettings takes for a missing key when that differs from the
  // SetDefaultSettings default (CFG, X, Y, Keep Aspect Ratio).
  std::string_view missingText = {};
  bool hasMissingText = false;
};

// Every persisted setting, groups in file order, keys in the order written.
std::span<const SettingRow> SettingsTable();

// The row of group/key (exact spelling), or nullptr.
const SettingRow* FindSetting(std::string_view group, std::string_view key);

}  // namespace tq::settings
