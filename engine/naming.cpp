#include "engine/naming.h"

#include <array>
#include <cstdio>
#include <functional>

#include "engine/conversion_context.h"
#include "platform/system.h"
#include "platform/text_util.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

std::string InputBaseName() {
  const std::string& path = g_context.InputPath;
  size_t slash = path.rfind('/');
  return BaseName(slash == std::string::npos ? path : std::string_view(path).substr(slash + 1));
}

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

// Left-padded with "0" to five characters; a longer number keeps its first five.
std::string FiveDigits(std::int32_t value) {
  std::string text = std::to_string(value);
  if (text.size() < 5) text.insert(0, 5 - text.size(), '0');
  return text.substr(0, 5);
}

struct TokenRule {
  std::string_view token;
  std::string (*value)();
};

// Each date token reads the clock on its own, as it is expanded.
const TokenRule kTokens[] = {
    {"%filename%", [] { return InputBaseName(); }},
    {"%filename[u]%", [] { return platform::ToUpper(InputBaseName()); }},
    {"%filename[l]%", [] { return platform::ToLower(InputBaseName()); }},
    {"%filename[t]%", [] { return platform::ToTitle(InputBaseName()); }},
    {"%ext%", [] { return g_context.OutputExtension; }},
    {"%ext[u]%", [] { return platform::ToUpper(g_context.OutputExtension); }},
    {"%ext[t]%", [] { return platform::ToTitle(g_context.OutputExtension); }},
    {"%yyyy%", [] { return std::to_string(platform::CurrentLocalTime().year); }},
    {"%mm%", [] { return TwoDigits(platform::CurrentLocalTime().month); }},
    {"%dd%", [] { return TwoDigits(platform::CurrentLocalTime().day); }},
    {"%hh%", [] { return TwoDigits(platform::CurrentLocalTime().hour); }},
    {"%ii%", [] { return TwoDigits(platform::CurrentLocalTime().minute); }},
    {"%ss%", [] { return TwoDigits(platform::CurrentLocalTime().second); }},
    {"%bpp%", [] { return std::to_string(g_context.OutputBitDepth); }},
    {"%width%", [] { return std::to_string(g_context.ResultWidth); }},
    {"%height%", [] { return std::to_string(g_context.ResultHeight); }},
    {"%rnd%", [] { return FiveDigits(g_context.RandomNumber); }},
    {"%n%", [] { return FiveDigits(g_context.FileNumber); }},
};

const std::array<std::string_view, std::size(kTokens)> kTokenNames = [] {
  std::array<std::string_view, std::size(kTokens)> names{};
  for (size_t i = 0; i < std::size(kTokens); ++i) names[i] = kTokens[i].token;
  return names;
}();

}  // namespace

std::span<const std::string_view> NameTokens() { return kTokenNames; }

std::string BaseName(std::string_view fileName) {
  size_t dot = fileName.rfind('.');
  if (fileName.empty() || dot == std::string_view::npos) return std::string(fileName);
  return std::string(fileName.substr(0, dot));
}

std::string ExpandToken(std::string_view text, std::string_view token) {
  for (const TokenRule& rule : kTokens) {
    if (rule.token != token) continue;
    // Only computed when the token is present, so the clock is read per use.
    if (platform::FindNoCase(text, token) == std::string_view::npos) return std::string(text);
    return platform::ReplaceNoCase(text, token, rule.value());
  }
  return std::string(text);
}

std::string ExpandFilenameMask() {
  std::string mask = platform::ToLower(settings::g_settings.FilenameMask);
  if (mask.empty()) mask = "%filename%.%ext%";
  for (std::string_view token : kTokenNames)
    if (mask.find(token) != std::string::npos) mask = ExpandToken(mask, token);
  return mask;
}

std::string OutputFilePath() {
  std::string path = g_context.OutputFolder;
  if (settings::g_settings.KeepSubfolders == 1) path += g_context.CurrentSubfolder;
  return path + ExpandFilenameMask();
}

}  // namespace tq::engine
