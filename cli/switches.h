#pragma once
#include <span>
#include <string>
#include <string_view>

#include "settings/app_settings.h"
#include "settings/settings_table.h"

namespace tq::cli {

// How a switch's value text is read.
enum class SwitchKind {
  Flag,  // no value; its presence stores the row's flag value
  Num,   // ReadNum
  Real,  // ReadReal, single precision
  Word,  // trimmed, upper-cased, looked up in the row's keyword table
  Text,  // stored as given (quote handling is the command line's)
  Mask,  // a Text whose quotes a profile removes too (the filename mask)
};

// One switch: the command-line name, the profile key, how the value is read,
// the setting it writes and the on/off setting it switches on with it.
struct SwitchRow {
  std::string_view name;        // "--WIDTH"
  std::string_view profileKey;  // the same except for frame opacity
  SwitchKind kind;
  int table;                    // keyword table of a Word, else kNoKeywordTable
  settings::FieldRef field;
  settings::Byte flagValue;     // what a Flag stores
  settings::Byte settings::AppSettings::*alsoSets;  // nullptr when none
  settings::Byte alsoValue;
};

std::span<const SwitchRow> SwitchTable();
// The row of an upper-cased command-line name or profile key, or nullptr.
const SwitchRow* FindSwitch(std::string_view name);
const SwitchRow* FindProfileKey(std::string_view key);

// Whether the command line continues and strips quotes of this value.
bool TakesQuotedText(const SwitchRow& row);

// Stores the value text by the row's kind; the also-set setting first.
void ApplySwitch(const SwitchRow& row, std::string_view value,
                 settings::AppSettings& s = settings::g_settings);

// Reads the group "CLI" of a profile file into the settings, keys in file
// order. False when the path is "" or names no readable regular file.
bool LoadProfile(const std::string& path, settings::AppSettings& s = settings::g_settings);

}  // namespace tq::cli
