#pragma once
#include <FreeImage.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tq::test {

// A picture to write as PCX: one value per pixel, top row first.
// For 1-, 2- and 4-bit layouts and 8 bits x 1 plane the value is the colour
// index (plane 0 holds its lowest bits); for 8 bits x 3 or 4 planes it is
// 0xAARRGGBB (alpha written with 4 planes only).
struct PcxPixels {
  int bits = 8;
  int planes = 1;
  int width = 1;
  int height = 1;
  std::vector<std::uint32_t> values;
};

struct PcxOptions {
  int version = 5;
  bool rle = true;
  // Encode all lines as one stream so runs cross line and plane ends
  // (otherwise every plane line is encoded on its own, as most writers do).
  bool runsAcrossLines = false;
  int bytesPerLine = 0;           // per plane; 0 = the fewest that hold a line
  std::uint8_t padding = 0;       // value of the bytes past a line's pixels
  int xMin = 0, yMin = 0;         // window origin
  int hDpi = 72, vDpi = 72;
  std::array<std::uint8_t, 48> headerPalette{};
  std::vector<std::uint8_t> trailingPalette;  // 768 bytes: written after 0x0C
  std::size_t cutPixelBytes = 0;  // drop this many bytes from the end of the pixel data
};

// Header field offsets, for tests that break a header on purpose.
namespace pcx_field {
constexpr std::size_t kManufacturer = 0;
constexpr std::size_t kVersion = 1;
constexpr std::size_t kEncoding = 2;
constexpr std::size_t kBitsPerPixel = 3;
constexpr std::size_t kXMin = 4;
constexpr std::size_t kYMin = 6;
constexpr std::size_t kXMax = 8;
constexpr std::size_t kYMax = 10;
constexpr std::size_t kPlanes = 65;
constexpr std::size_t kBytesPerLine = 66;
constexpr std::size_t kHeaderSize = 128;
}  // namespace pcx_field

std::vector<std::uint8_t> WritePcx(const PcxPixels& pixels, const PcxOptions& options = {});

// Little-endian 16-bit store into a written file.
void PutU16(std::vector<std::uint8_t>& file, std::size_t offset, std::uint16_t value);

// A FreeImage picture's pixel as 0xRRGGBBAA, y counted from the top row;
// palette pictures and 24-bit pictures are opaque. Handles 1, 4, 8, 24, 32 bits.
std::uint32_t PixelRgba(FIBITMAP* dib, unsigned x, unsigned y);

}  // namespace tq::test
