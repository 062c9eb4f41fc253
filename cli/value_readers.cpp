#include "cli/value_readers.h"

#include <charconv>
#include <string>

namespace tq::cli {
namespace {

size_t SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return i;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::int32_t ReadNum(std::string_view text) {
  size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  // Unsigned arithmetic wraps, which keeps exactly the low bits.
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i]);
    if (digit >= static_cast<int>(base)) break;
    value = value * base + static_cast<std::uint32_t>(digit);
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

float ReadReal(std::string_view text) {
  std::string_view rest = text.substr(SkipBlanks(text));
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  size_t end = 0;
  bool point = false;
  while (end < rest.size() && ((rest[end] >= '0' && rest[end] <= '9') || (rest[end] == '.' && !point))) {
    if (rest[end] == '.') point = true;
    ++end;
  }
  // from_chars, unlike strtof, ignores the locale and takes no exponent,
  // hexadecimal or infinity here, as the digits were picked out above.
  float value = 0;
  std::from_chars(rest.data(), rest.data() + end, value, std::chars_format::fixed);
  return negative && value != 0 ? -value : value;
}

}  // namespace tq::cli
