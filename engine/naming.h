#pragma once
#include <span>
#include <string>
#include <string_view>

namespace tq::engine {

// The eighteen name tokens, in the order they are expanded.
std::span<const std::string_view> NameTokens();

// The file name without its last extension ("Photo.Final.PCX" -> "Photo.Final").
std::string BaseName(std::string_view fileName);
// Replaces every occurrence of `token` (any case) by its value for the file
// being converted, in one pass; inserted values are not searched again.
std::string ExpandToken(std::string_view text, std::string_view token);
// Filename Mask, lower-cased, with every token expanded.
std::string ExpandFilenameMask();
// OutputFolder, then CurrentSubfolder when Keep Subfolders is 1, then the name.
std::string OutputFilePath();

}  // namespace tq::engine
