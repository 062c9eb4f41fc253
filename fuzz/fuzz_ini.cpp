// Configuration and profile files: the INI reader, the settings loader and
// a save of what was loaded.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/ini.h"
#include "settings/config_file.h"
#include "settings/defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tq;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform::IniFile file = platform::IniFile::Parse(bytes);
  for (const auto& group : file.Groups())
    for (const auto& entry : group.entries) (void)file.Value(group.name, entry.key);

  static const std::string dir = [] {
    char pattern[] = "/tmp/tq-fuzz-ini-XXXXXX";
    return std::string(mkdtemp(pattern)) + "/";
  }();
  settings::AppSettings s;
  s.ConfigPath = dir + "config.ini";
  FILE* f = std::fopen(s.ConfigPath.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  settings::LoadSettings(s);
  settings::SaveSettings(s);
  return 0;
}
