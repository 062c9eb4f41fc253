// Random masks and input names through the output naming.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/conversion_context.h"
#include "engine/naming.h"
#include "settings/defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tq;
  static bool ready = [] {
    settings::SetDefaultSettings(1);
    return true;
  }();
  (void)ready;
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t split = text.find('\n');
  settings::g_settings.FilenameMask = text.substr(0, split);
  engine::g_context.InputPath = split == std::string::npos ? "/in/a.pcx" : "/in/" + text.substr(split + 1);
  engine::g_context.OutputExtension = "bmp";
  engine::g_context.FileNumber = static_cast<int>(size * 7919);
  engine::g_context.RandomNumber = static_cast<int>(size % 99999) + 1;
  engine::g_context.OutputFolder = "/out/";
  std::string path = engine::OutputFilePath();
  if (path.compare(0, 5, "/out/") != 0) __builtin_trap();
  return 0;
}
