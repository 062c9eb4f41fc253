#pragma once
#include <span>
#include <string>
#include <string_view>

namespace tq::text {

// The built-in data: ("_GROUP_", name) opens a group, ("_END_", "") ends the
// data, every other pair is a key and its English text.
struct TextPair {
  std::string_view first;
  std::string_view second;
};
std::span<const TextPair> BuiltinTextData();

// Builds the table from the built-in data; a language file, when given and
// readable, overlays texts of keys the table already has.
void LoadTextTable(const std::string& languageFile = "");
// The text of group/key (any case), or "%NO_STRING_ERROR%".
std::string LangText(std::string_view group, std::string_view key);
// Replaces "%s1%".."%s4%" (any case) by p1..p4; empty values leave theirs.
std::string ExpandParams(std::string_view text, std::string_view p1 = {}, std::string_view p2 = {},
                         std::string_view p3 = {}, std::string_view p4 = {});

}  // namespace tq::text
