#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tq::platform {

// ASCII-only case helpers: names, keys and switches are plain ASCII.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// Unicode case mapping of UTF-8 text (file names, tokens). Invalid bytes
// pass through unchanged.
std::string ToUpper(std::string_view utf8);
std::string ToLower(std::string_view utf8);
// First character upper case, the rest lower case.
std::string ToTitle(std::string_view utf8);

// Removes the given characters from both ends.
std::string_view Trim(std::string_view text, std::string_view chars = " ");
std::vector<std::string> Split(std::string_view text, char separator);
// Replaces every occurrence of `from` (exact case).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Replaces every occurrence of ASCII `from`, found without regard to case,
// in one pass from left to right; inserted text is not searched again.
std::string ReplaceNoCase(std::string_view text, std::string_view from, std::string_view to);
// Position of `needle` in `text` without regard to ASCII case, or npos.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0);

}  // namespace tq::platform
