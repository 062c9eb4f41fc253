#pragma once
#include <string>

#include "settings/app_settings.h"
#include "settings/settings_table.h"

namespace tq::settings {

// Puts every persisted field to its default; run-time fields stay. The console
// flag selects only the default of Keep Aspect Ratio (0 in console mode).
void SetDefaultSettings(Byte consoleFlag, AppSettings& s = g_settings);

// The default of one row as text, as SetDefaultSettings gives it.
std::string DefaultText(const SettingRow& row, Byte consoleFlag);

// Stores a value text into the row's field: numbers are read up to the first
// non-digit, byte fields keep their low 8 bits.
void StoreText(const SettingRow& row, std::string_view text, AppSettings& s);
// The field as it is written to the configuration file.
std::string FieldText(const SettingRow& row, const AppSettings& s);

// Window defaults from the desktop size: (width - 510) / 2 when wider, else 100.
Int CentredX(int desktopWidth);
Int CentredY(int desktopHeight);

}  // namespace tq::settings
