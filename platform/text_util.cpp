#include "platform/text_util.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace tq::platform {
namespace {

char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// A UTF-8 locale of its own, so the process locale does not matter.
locale_t Utf8Locale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}

// Decodes one code point; returns its length, or 0 for an invalid sequence.
size_t Decode(std::string_view s, size_t i, char32_t& cp) {
  unsigned char c = s[i];
  size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (size_t k = 1; k < len; ++k) {
    unsigned char cc = s[i + k];
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  return len;
}

void Encode(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

template <typename Map>
std::string MapCase(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  size_t index = 0;
  for (size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    size_t len = Decode(s, i, cp);
    if (len == 0) {
      out += s[i++];
    } else {
      Encode(map(cp, index), out);
      i += len;
    }
    ++index;
  }
  return out;
}

char32_t Upper(char32_t cp) {
  locale_t l = Utf8Locale();
  if (!l) return cp < 0x80 ? static_cast<char32_t>(UpperChar(static_cast<char>(cp))) : cp;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), l));
}
char32_t Lower(char32_t cp) {
  locale_t l = Utf8Locale();
  if (!l) return cp < 0x80 ? static_cast<char32_t>(LowerChar(static_cast<char>(cp))) : cp;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), l));
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerChar(c);
  return out;
}

std::string ToUpper(std::string_view utf8) {
  return MapCase(utf8, [](char32_t cp, size_t) { return Upper(cp); });
}
std::string ToLower(std::string_view utf8) {
  return MapCase(utf8, [](char32_t cp, size_t) { return Lower(cp); });
}
std::string ToTitle(std::string_view utf8) {
  return MapCase(utf8, [](char32_t cp, size_t i) { return i == 0 ? Upper(cp) : Lower(cp); });
}

std::string_view Trim(std::string_view text, std::string_view chars) {
  size_t b = text.find_first_not_of(chars);
  if (b == std::string_view::npos) return {};
  size_t e = text.find_last_not_of(chars);
  return text.substr(b, e - b + 1);
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (true) {
    size_t next = text.find(separator, pos);
    parts.emplace_back(text.substr(pos, next == std::string_view::npos ? next : next - pos));
    if (next == std::string_view::npos) break;
    pos = next + 1;
  }
  return parts;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i)
    if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::string ReplaceNoCase(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = FindNoCase(text, from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace tq::platform
