#include "settings/config_file.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>

#include "app/build_info.h"
#include "platform/app_folders.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "platform/text_util.h"
#include "settings/defaults.h"
#include "settings/settings_table.h"

namespace tq::settings {
namespace {

// Files older than these format versions lack a later change.
constexpr Int kMaskWithExtension = 11;  // masks gained the %ext% token
constexpr Int kRawLoadAsShifted = 14;   // two RAW load modes were added at the front

bool IsConfigVersion(const SettingRow& row) { return row.field == FieldRef(&AppSettings::CFG); }

template <typename List>
bool Contains(const List& list, std::string_view format) {
  return std::find(list.begin(), list.end(), format) != list.end();
}

bool IsWritten(const SettingRow& row, const AppSettings& s) {
  switch (row.when) {
    case WhenWritten::Always: return true;
    case WhenWritten::WindowSaved: return s.SaveWindowPosition != 0;
    case WhenWritten::InputFormat: return Contains(app::InputExtensions, row.format);
    case WhenWritten::OutputFormat: return Contains(app::OutputExtensions, row.format);
  }
  return false;
}

bool IsPerFormat(const SettingRow& row) {
  return row.when == WhenWritten::InputFormat || row.when == WhenWritten::OutputFormat;
}

std::span<const std::string_view> FormatOrder(const SettingRow& row) {
  if (row.when == WhenWritten::InputFormat) return app::InputExtensions;
  return app::OutputExtensions;
}

void Migrate(AppSettings& s) {
  if (s.CFG < kMaskWithExtension && s.FilenameMask.find("%ext%") == std::string::npos)
    s.FilenameMask += ".%ext%";
  if (s.CFG < kRawLoadAsShifted && s.RAWLoadAs != 0) s.RAWLoadAs += 2;
}

void PutRow(platform::IniWriter& out, const SettingRow& row, const AppSettings& s) {
  // The file is always written in the current format, whatever was read.
  out.Put(row.key, IsConfigVersion(row) ? DefaultText(row, 0) : FieldText(row, s));
}

// One group's rows; the per-format rows follow the order of the format
// array and, within one format, the table.
void PutGroup(platform::IniWriter& out, std::span<const SettingRow> rows, const AppSettings& s) {
  bool formatsDone = false;
  for (const SettingRow& row : rows) {
    if (!IsPerFormat(row)) {
      if (IsWritten(row, s)) PutRow(out, row, s);
      continue;
    }
    if (formatsDone) continue;
    formatsDone = true;
    for (std::string_view format : FormatOrder(row))
      for (const SettingRow& other : rows)
        if (IsPerFormat(other) && other.format == format && IsWritten(other, s)) PutRow(out, other, s);
  }
}

}  // namespace

void LoadSettings(AppSettings& s) {
  std::optional<platform::IniFile> file = platform::IniFile::Load(s.ConfigPath);
  if (!file) {
    SetDefaultSettings(0, s);
  } else {
    for (const SettingRow& row : SettingsTable()) {
      const std::string* value = file->Value(row.group, row.key);
      if (!value)
        StoreText(row, row.hasMissingText ? std::string(row.missingText) : DefaultText(row, 0), s);
      else
        StoreText(row, row.trimmed ? platform::Trim(*value, " ") : std::string_view(*value), s);
    }
  }
  Migrate(s);
}

void SaveSettings(AppSettings& s) {
  platform::IniWriter out;
  std::span<const SettingRow> table = SettingsTable();
  for (size_t first = 0; first < table.size();) {
    size_t end = first;
    while (end < table.size() && table[end].group == table[first].group) ++end;
    out.BeginGroup(table[first].group);
    PutGroup(out, table.subspan(first, end - first), s);
    out.EndGroup();
    first = end;
  }
  const std::string& bytes = out.Bytes();
  // A failed write keeps the old file and the settings in memory; nobody is told.
  (void)platform::WriteFileAtomically(s.ConfigPath, bytes.data(), bytes.size());
}

void ForgetRecentFoldersIfAsked(AppSettings& s) {
  if (s.OutFoldersHistory == 0) s.RecentOutFolders.clear();
}

std::string DefaultConfigPath() {
  std::string_view title = app::ProgramTitle;
  std::string brand(title.substr(0, title.find(' ')));
  return platform::ConfigFolder(brand, "tornquil") + "config.ini";
}

}  // namespace tq::settings
