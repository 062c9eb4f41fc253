#pragma once
#include <string>

#include "settings/app_settings.h"

namespace tq::settings {

// Reads s.ConfigPath into every persisted field. A missing or unreadable file
// gives the GUI defaults; a key the file lacks takes its row's default for a
// missing key. The migrations of older files follow in both cases.
void LoadSettings(AppSettings& s = g_settings);

// Writes every persisted field to s.ConfigPath through a temporary file that
// is renamed into place, so a failed save keeps the old file. Failures are
// silent: the settings stay in memory.
void SaveSettings(AppSettings& s = g_settings);

// At exit: "Clean On Exit" forgets the recent output folders before saving.
void ForgetRecentFoldersIfAsked(AppSettings& s = g_settings);

// "config.ini" in the program's folder below the application-data folder,
// creating the folders when missing.
std::string DefaultConfigPath();

}  // namespace tq::settings
