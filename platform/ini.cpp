#include "platform/ini.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>

#include "platform/text_util.h"

namespace tq::platform {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kEol = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at i, or 0. Overlong forms,
// surrogates and code points above U+10FFFF are not well-formed.
size_t WellFormedLength(std::string_view s, size_t i, size_t& validPrefix) {
  unsigned char c = s[i];
  validPrefix = 1;
  if (c < 0x80) return 1;
  size_t len = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (size_t k = 1; k < len; ++k) {
    if (i + k >= s.size()) return 0;
    unsigned char cc = s[i + k];
    bool ok = k == 1 ? (cc >= low && cc <= high) : IsContinuation(cc);
    if (!ok) return 0;
    validPrefix = k + 1;
  }
  return len;
}

// The settings hold text, so a broken sequence (a hand edit, a file cut
// short) becomes U+FFFD instead of travelling on to the toolkit and fonts.
std::string RepairUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t prefix = 0;
    size_t len = WellFormedLength(text, i, prefix);
    if (len) {
      out.append(text.substr(i, len));
      i += len;
    } else {
      out += "\xEF\xBF\xBD";
      i += prefix;  // the longest start of a sequence counts as one fault
    }
  }
  return out;
}

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
  std::string converted = bytes.substr(0, kBom.size()) == kBom ? RepairUtf8(bytes.substr(kBom.size()))
                                                               : Latin1ToUtf8(bytes);
  std::string_view text = converted;

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
  // Plain reads: a stream would throw on a read error (a folder opens fine
  // and only fails on reading), and a failed read must mean "cannot be opened".
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  if (!ok) return std::nullopt;
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
