#include "text/text_table.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/ini.h"
#include "platform/text_util.h"

namespace tq::text {
namespace {

constexpr std::string_view kMissing = "%NO_STRING_ERROR%";

struct TextGroup {
  std::string name;  // upper case
  int first = 0;
  int last = 0;
  std::array<int, 256> firstLetter{};  // first position of a key starting with that code
};

// Index 0 of each array is a blank record, as lookups count from 1.
std::vector<TextGroup> g_groups;
std::vector<std::string> g_keys;
std::vector<std::string> g_values;
int g_lastGroup = 0;

}  // namespace

void LoadTextTable(const std::string& languageFile) {
  std::span<const TextPair> data = BuiltinTextData();
  size_t groups = 0, entries = 0;
  for (const TextPair& p : data) {
    std::string first = platform::UpperAscii(p.first);
    if (first == "_END_") break;
    (first == "_GROUP_" ? groups : entries)++;
  }
  g_groups.assign(groups + 1, TextGroup{});
  g_keys.assign(entries + 1, std::string());
  g_values.assign(entries + 1, std::string());
  g_lastGroup = 0;

  int g = 0, n = 0;
  for (const TextPair& p : data) {
    std::string first = platform::UpperAscii(p.first);
    if (first == "_END_") break;
    if (first == "_GROUP_") {
      g_groups[g].last = n;
      ++g;
      g_groups[g].name = platform::UpperAscii(p.second);
      g_groups[g].first = n + 1;
      continue;
    }
    ++n;
    // Key and text travel together through the sort, split by code 1.
    g_keys[n] = first + '\x01' + std::string(p.second);
  }
  g_groups[g].last = n;

  for (size_t gi = 1; gi < g_groups.size(); ++gi) {
    TextGroup& group = g_groups[gi];
    if (group.last < group.first) continue;
    std::sort(g_keys.begin() + group.first, g_keys.begin() + group.last + 1,
              [](const std::string& a, const std::string& b) {
                return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                    [](char x, char y) {
                                                      return static_cast<unsigned char>(x) <
                                                             static_cast<unsigned char>(y);
                                                    });
              });
    unsigned char previous = 0;
    for (int k = group.first; k <= group.last; ++k) {
      size_t split = g_keys[k].find('\x01');
      g_values[k] = g_keys[k].substr(split + 1);
      g_keys[k].resize(split);
      unsigned char c = g_keys[k].empty() ? 0 : static_cast<unsigned char>(g_keys[k][0]);
      if (k == group.first ? c != 0 : c != previous) group.firstLetter[c] = k;
      previous = c;
    }
  }

  if (languageFile.empty()) return;
  std::optional<platform::IniFile> file = platform::IniFile::Load(languageFile);
  if (!file) return;
  for (size_t gi = 1; gi < g_groups.size(); ++gi) {
    const TextGroup& group = g_groups[gi];
    for (int k = group.first; k <= group.last; ++k)
      if (const std::string* value = file->Value(group.name, g_keys[k])) g_values[k] = *value;
  }
}

std::string LangText(std::string_view group, std::string_view key) {
  std::string upperGroup = platform::UpperAscii(group);
  std::string upperKey = platform::UpperAscii(key);
  if (g_lastGroup <= 0 || static_cast<size_t>(g_lastGroup) >= g_groups.size() ||
      g_groups[g_lastGroup].name != upperGroup) {
    g_lastGroup = 0;
    for (size_t gi = 1; gi < g_groups.size(); ++gi)
      if (g_groups[gi].name == upperGroup) {
        g_lastGroup = static_cast<int>(gi);
        break;
      }
  }
  if (g_lastGroup == 0) return std::string(kMissing);
  const TextGroup& g = g_groups[g_lastGroup];
  unsigned char c = upperKey.empty() ? 0 : static_cast<unsigned char>(upperKey[0]);
  for (int k = c ? g.firstLetter[c] : 0; k != 0 && k <= g.last; ++k) {
    int order = upperKey.compare(g_keys[k]);
    // std::string::compare orders by unsigned character code, as the sort does.
    if (order == 0) return g_values[k];
    if (order < 0) break;
  }
  return std::string(kMissing);
}

std::string ExpandParams(std::string_view text, std::string_view p1, std::string_view p2,
                         std::string_view p3, std::string_view p4) {
  std::string out(text);
  if (out.empty()) return out;
  const std::string_view values[] = {p1, p2, p3, p4};
  for (int n = 0; n < 4; ++n) {
    if (values[n].empty()) continue;
    std::string placeholder = "%s" + std::to_string(n + 1) + "%";
    out = platform::ReplaceNoCase(out, placeholder, values[n]);
  }
  return out;
}

}  // namespace tq::text
