#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tq::platform {

// The program's own INI format: UTF-8 with byte-order mark (files without one
// are ISO 8859-1), "[Group]" lines, "Key = value" lines, ";" comments,
// group and key names compared without regard to case.
struct IniEntry {
  std::string key;    // as written, trailing blanks removed
  std::string value;  // from the first non-blank after "=", trailing blanks kept
};
struct IniGroup {
  std::string name;   // as written
  std::vector<IniEntry> entries;  // in file order
};

class IniFile {
 public:
  // Parses file bytes; never fails (unreadable lines are skipped). Broken
  // UTF-8 sequences of a file with byte-order mark become U+FFFD, so names
  // and values are always valid UTF-8.
  static IniFile Parse(std::string_view bytes);
  // Reads a file; nullopt when it cannot be opened or read (a folder, say).
  static std::optional<IniFile> Load(const std::string& path);

  // The group of that name (any case), or nullptr. The first such group wins.
  const IniGroup* Group(std::string_view name) const;
  // The value of group/key (both any case), or nullptr when missing.
  const std::string* Value(std::string_view group, std::string_view key) const;

  const std::vector<IniGroup>& Groups() const { return groups_; }

 private:
  std::vector<IniGroup> groups_;
};

// Builds a file in the written layout: BOM and CR LF, then per group the
// "[Group]" line, "Key = value" lines and a closing "; " line.
class IniWriter {
 public:
  IniWriter();
  void BeginGroup(std::string_view name);
  void Put(std::string_view key, std::string_view value);
  void EndGroup();
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Integer as the file stores it: optional sign, then decimal digits up to the
// first other character ("12px" reads 12, "abc" reads 0). Leading blanks skipped.
long long IniInteger(std::string_view text);
// Real number; "+Infinity", "-Infinity" and "NaN" in any case are recognised.
float IniReal(std::string_view text);
// Six decimals; "+Infinity", "-Infinity", "NaN".
std::string IniRealText(float value);

// ISO 8859-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace tq::platform
