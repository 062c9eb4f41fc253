#include "platform/ini.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/text_util.h"

namespace tq::platform {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kEol = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

IniFile IniFile::Parse(std::string_view bytes) {
  std::string converted;
  std::string_view text;
  if (bytes.substr(0, kBom.size()) == kBom) {
    text = bytes.substr(kBom.size());
  } else {
    converted = Latin1ToUtf8(bytes);
    text = converted;
  }

  IniFile file;
  file.groups_.push_back(IniGroup{});  // keys before the first group line
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    line.remove_prefix(start);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? line.npos : close - 1);
      file.groups_.push_back(IniGroup{std::string(name), {}});
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
    std::string_view value = line.substr(eq + 1);
    size_t v = 0;
    while (v < value.size() && IsBlank(value[v])) ++v;
    value.remove_prefix(v);
    file.groups_.back().entries.push_back(IniEntry{std::string(key), std::string(value)});
  }
  return file;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return Parse(bytes);
}

const IniGroup* IniFile::Group(std::string_view name) const {
  for (const IniGroup& g : groups_)
    if (EqualsNoCase(g.name, name)) return &g;
  return nullptr;
}

const std::string* IniFile::Value(std::string_view group, std::string_view key) const {
  const IniGroup* g = Group(group);
  if (!g) return nullptr;
  for (const IniEntry& e : g->entries)
    if (EqualsNoCase(e.key, key)) return &e.value;
  return nullptr;
}

IniWriter::IniWriter() : bytes_(kBom) { bytes_ += kEol; }

void IniWriter::BeginGroup(std::string_view name) {
  bytes_ += '[';
  bytes_ += name;
  bytes_ += ']';
  bytes_ += kEol;
}

void IniWriter::Put(std::string_view key, std::string_view value) {
  bytes_ += key;
  bytes_ += " = ";
  bytes_ += value;
  bytes_ += kEol;
}

void IniWriter::EndGroup() {
  bytes_ += "; ";
  bytes_ += kEol;
}

long long IniInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // Wraps instead of overflowing; callers keep the low bits of their width.
  unsigned long long value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
  return static_cast<long long>(negative ? 0ULL - value : value);
}

float IniReal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::string_view rest = text.substr(i);
  auto starts = [&](std::string_view word) {
    return rest.size() >= word.size() && EqualsNoCase(rest.substr(0, word.size()), word);
  };
  if (starts("+Infinity") || starts("Infinity")) return INFINITY;
  if (starts("-Infinity")) return -INFINITY;
  if (starts("NaN")) return NAN;
  // Only sign, digits and one decimal point: strtod would also take hex and exponents.
  std::string number;
  size_t j = 0;
  if (j < rest.size() && (rest[j] == '-' || rest[j] == '+')) number += rest[j++];
  bool point = false;
  while (j < rest.size() && ((rest[j] >= '0' && rest[j] <= '9') || (rest[j] == '.' && !point))) {
    if (rest[j] == '.') point = true;
    number += rest[j++];
  }
  // from_chars ignores the process locale, which a toolkit may have changed.
  float value = 0;
  const char* first = number.data();
  if (!number.empty() && number[0] == '+') ++first;
  std::from_chars(first, number.data() + number.size(), value);
  return value;
}

std::string IniRealText(float value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
  char buffer[128];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

}  // namespace tq::platform
