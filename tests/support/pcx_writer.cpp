#include "tests/support/pcx_writer.h"

#include <algorithm>

namespace tq::test {
namespace {

constexpr std::uint8_t kRunFlag = 0xC0;
constexpr std::size_t kLongestRun = 63;
constexpr std::uint8_t kTrailingPaletteMarker = 0x0C;

// The sample of `value` that plane `plane` stores.
std::uint8_t PlaneSample(const PcxPixels& pixels, std::uint32_t value, int plane) {
  if (pixels.bits == 8 && pixels.planes >= 3) {
    static constexpr int kShift[4] = {16, 8, 0, 24};  // R, G, B, A
    return static_cast<std::uint8_t>(value >> kShift[plane]);
  }
  const std::uint32_t mask = (1u << pixels.bits) - 1;
  return static_cast<std::uint8_t>((value >> (plane * pixels.bits)) & mask);
}

// Lines of the picture as stored: for each row, each plane's bytes-per-line.
std::vector<std::uint8_t> RawLines(const PcxPixels& pixels, std::size_t bytesPerLine,
                                   std::uint8_t padding) {
  std::vector<std::uint8_t> raw;
  raw.reserve(bytesPerLine * pixels.planes * pixels.height);
  for (int y = 0; y < pixels.height; ++y) {
    for (int p = 0; p < pixels.planes; ++p) {
      std::vector<std::uint8_t> line(bytesPerLine, 0);
      const std::size_t used = (static_cast<std::size_t>(pixels.width) * pixels.bits + 7) / 8;
      std::fill(line.begin() + used, line.end(), padding);
      for (int x = 0; x < pixels.width; ++x) {
        const std::uint8_t sample = PlaneSample(pixels, pixels.values[y * pixels.width + x], p);
        const std::size_t bit = static_cast<std::size_t>(x) * pixels.bits;
        const int shift = 8 - pixels.bits - static_cast<int>(bit % 8);  // first pixel in the high bits
        line[bit / 8] |= static_cast<std::uint8_t>(sample << shift);
      }
      raw.insert(raw.end(), line.begin(), line.end());
    }
  }
  return raw;
}

void EncodeRle(const std::uint8_t* begin, const std::uint8_t* end, std::vector<std::uint8_t>& out) {
  while (begin < end) {
    const std::uint8_t value = *begin;
    std::size_t run = 1;
    while (begin + run < end && run < kLongestRun && begin[run] == value) ++run;
    if (run > 1 || value >= kRunFlag) out.push_back(static_cast<std::uint8_t>(kRunFlag | run));
    out.push_back(value);
    begin += run;
  }
}

}  // namespace

void PutU16(std::vector<std::uint8_t>& file, std::size_t offset, std::uint16_t value) {
  file[offset] = static_cast<std::uint8_t>(value & 0xFF);
  file[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::vector<std::uint8_t> WritePcx(const PcxPixels& pixels, const PcxOptions& options) {
  const std::size_t bytesPerLine =
      options.bytesPerLine > 0 ? static_cast<std::size_t>(options.bytesPerLine)
                               : (static_cast<std::size_t>(pixels.width) * pixels.bits + 7) / 8;
  std::vector<std::uint8_t> file(pcx_field::kHeaderSize, 0);
  file[pcx_field::kManufacturer] = 0x0A;
  file[pcx_field::kVersion] = static_cast<std::uint8_t>(options.version);
  file[pcx_field::kEncoding] = options.rle ? 1 : 0;
  file[pcx_field::kBitsPerPixel] = static_cast<std::uint8_t>(pixels.bits);
  PutU16(file, pcx_field::kXMin, static_cast<std::uint16_t>(options.xMin));
  PutU16(file, pcx_field::kYMin, static_cast<std::uint16_t>(options.yMin));
  PutU16(file, pcx_field::kXMax, static_cast<std::uint16_t>(options.xMin + pixels.width - 1));
  PutU16(file, pcx_field::kYMax, static_cast<std::uint16_t>(options.yMin + pixels.height - 1));
  PutU16(file, 12, static_cast<std::uint16_t>(options.hDpi));
  PutU16(file, 14, static_cast<std::uint16_t>(options.vDpi));
  std::copy(options.headerPalette.begin(), options.headerPalette.end(), file.begin() + 16);
  file[pcx_field::kPlanes] = static_cast<std::uint8_t>(pixels.planes);
  PutU16(file, pcx_field::kBytesPerLine, static_cast<std::uint16_t>(bytesPerLine));
  PutU16(file, 68, 1);  // palette info: colour

  const std::vector<std::uint8_t> raw = RawLines(pixels, bytesPerLine, options.padding);
  std::vector<std::uint8_t> data;
  if (!options.rle) {
    data = raw;
  } else if (options.runsAcrossLines) {
    EncodeRle(raw.data(), raw.data() + raw.size(), data);
  } else {
    for (std::size_t at = 0; at < raw.size(); at += bytesPerLine) {
      EncodeRle(raw.data() + at, raw.data() + at + bytesPerLine, data);
    }
  }
  data.resize(data.size() - std::min(options.cutPixelBytes, data.size()));
  file.insert(file.end(), data.begin(), data.end());
  if (!options.trailingPalette.empty()) {
    file.push_back(kTrailingPaletteMarker);
    file.insert(file.end(), options.trailingPalette.begin(), options.trailingPalette.end());
  }
  return file;
}

std::uint32_t PixelRgba(FIBITMAP* dib, unsigned x, unsigned y) {
  const unsigned bpp = FreeImage_GetBPP(dib);
  const BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(FreeImage_GetHeight(dib) - 1 - y));
  std::uint32_t r, g, b, a = 0xFF;
  if (bpp <= 8) {
    const unsigned perByte = 8 / bpp;
    const unsigned shift = (perByte - 1 - x % perByte) * bpp;
    const unsigned index = (line[x / perByte] >> shift) & ((1u << bpp) - 1);
    const RGBQUAD colour = FreeImage_GetPalette(dib)[index];
    r = colour.rgbRed;
    g = colour.rgbGreen;
    b = colour.rgbBlue;
  } else {
    const BYTE* pixel = line + x * (bpp / 8);
    r = pixel[FI_RGBA_RED];
    g = pixel[FI_RGBA_GREEN];
    b = pixel[FI_RGBA_BLUE];
    if (bpp == 32) a = pixel[FI_RGBA_ALPHA];
  }
  return r << 24 | g << 16 | b << 8 | a;
}

}  // namespace tq::test
