#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tq::test {

// A picture as a reader other than FreeImage sees it: Pillow through
// Debian's /usr/bin/python3. ok is false when Pillow refuses the file.
struct ForeignPicture {
  bool ok = false;
  std::string error;
  int width = 0, height = 0;
  std::string mode;                // Pillow's mode before conversion ("P", "RGB", ...)
  std::vector<std::uint8_t> rgba;  // top-down rows, 4 bytes a pixel
  std::uint32_t Pixel(int x, int y) const;  // 0xRRGGBBAA
};
ForeignPicture ReadWithPillow(const std::string& path);

// ImageMagick's verdict on a file: true when `identify` accepts it.
bool ImageMagickAccepts(const std::string& path);

}  // namespace tq::test
