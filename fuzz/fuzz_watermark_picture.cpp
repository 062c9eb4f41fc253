// Watermark picture files (PNG, JPEG, BMP) through the decoders.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/picture_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    char pattern[] = "/tmp/tq-fuzz-picture-XXXXXX";
    return std::string(mkdtemp(pattern)) + "/mark";
  }();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  auto picture = tq::platform::LoadPictureFile(path);
  if (picture && (picture->width <= 0 || picture->height <= 0 ||
                  picture->rgba.size() != static_cast<std::size_t>(picture->width) * picture->height * 4))
    __builtin_trap();
  return 0;
}
