#include "engine/bmp_writer.h"

#include <algorithm>
#include <cstring>

#include "engine/conversion_context.h"
#include "platform/system.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One row in RLE8: runs of two or more equal bytes as (count, value);
// stretches of differing bytes as absolute mode (0, count, bytes, pad to
// even) when at least three long, else as runs of one.
void EncodeRow(const BYTE* row, unsigned width, std::vector<std::uint8_t>& out) {
  unsigned x = 0;
  while (x < width) {
    unsigned run = 1;
    while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // Gather a literal stretch up to the next run of two.
    unsigned lit = 1;
    while (x + lit < width && lit < 255 && !(x + lit + 1 < width && row[x + lit] == row[x + lit + 1])) ++lit;
    if (lit >= 3) {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(lit));
      out.insert(out.end(), row + x, row + x + lit);
      if (lit & 1) out.push_back(0);  // absolute runs end on a word boundary
    } else {
      for (unsigned i = 0; i < lit; ++i) {
        out.push_back(1);
        out.push_back(row[x + i]);
      }
    }
    x += lit;
  }
}

// Pictures are replaced atomically but not flushed: a killed run keeps the
// old file, and flushing every picture would double the time of a save.
bool WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return platform::WriteFileAtomically(path, bytes.data(), bytes.size(), false);
}

struct LibrarySave {
  FIBITMAP* picture;
  int fif, flags;
};

}  // namespace

int HighestPaletteIndex(FIBITMAP* picture) {
  unsigned width = FreeImage_GetWidth(picture), height = FreeImage_GetHeight(picture);
  BYTE highest = 0;
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* row = FreeImage_GetScanLine(picture, static_cast<int>(y));
    highest = std::max(highest, *std::max_element(row, row + width));
  }
  return highest + 1;
}

std::vector<std::uint8_t> EncodeRle8(FIBITMAP* picture) {
  unsigned width = FreeImage_GetWidth(picture), height = FreeImage_GetHeight(picture);
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<size_t>(width + 4) * height / 2 + 2);
  for (unsigned y = 0; y < height; ++y) {
    EncodeRow(FreeImage_GetScanLine(picture, static_cast<int>(y)), width, out);
    out.push_back(0);
    out.push_back(y + 1 < height ? 0 : 1);  // end of line, or end of bitmap
  }
  return out;
}

std::vector<std::uint8_t> BuildIndexedBmp(FIBITMAP* picture, int colours, bool rle) {
  unsigned width = FreeImage_GetWidth(picture), height = FreeImage_GetHeight(picture);
  std::vector<std::uint8_t> pixels;
  if (rle) {
    pixels = EncodeRle8(picture);
  } else {
    unsigned stride = (width + 3) & ~3u;
    pixels.assign(static_cast<size_t>(stride) * height, 0);  // padding bytes stay 0
    for (unsigned y = 0; y < height; ++y)
      std::memcpy(&pixels[static_cast<size_t>(y) * stride], FreeImage_GetScanLine(picture, static_cast<int>(y)), width);
  }
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4u * static_cast<std::uint32_t>(colours);
  const BITMAPINFOHEADER* info = FreeImage_GetInfoHeader(picture);

  std::vector<std::uint8_t> out;
  out.reserve(offset + pixels.size());
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, offset);
  Put32(out, kInfoHeaderSize);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, rle ? kBiRle8 : kBiRgb);
  Put32(out, static_cast<std::uint32_t>(pixels.size()));
  Put32(out, static_cast<std::uint32_t>(info->biXPelsPerMeter));
  Put32(out, static_cast<std::uint32_t>(info->biYPelsPerMeter));
  Put32(out, static_cast<std::uint32_t>(colours));
  Put32(out, static_cast<std::uint32_t>(colours));
  const RGBQUAD* palette = FreeImage_GetPalette(picture);
  for (int i = 0; i < colours; ++i) {
    out.push_back(palette[i].rgbBlue);
    out.push_back(palette[i].rgbGreen);
    out.push_back(palette[i].rgbRed);
    out.push_back(0);
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

std::int8_t SaveExactPaletteBmp(FIBITMAP* picture, const std::string& path) {
  if (!picture || FreeImage_GetBPP(picture) != 8 || !FreeImage_GetPalette(picture)) return 0;
  bool rle = settings::g_settings.BMPCompression == 1;
  return WriteAll(path, BuildIndexedBmp(picture, HighestPaletteIndex(picture), rle)) ? 1 : 0;
}

std::int8_t SavePicture(FIBITMAP* picture, const std::string& path) {
  if (!picture) return 0;
  const int fif = g_context.OutputFormatId;
  const int flags = g_context.OutputSaveFlags;
  // FreeImage's RLE8 writer gets the header sizes wrong and leaves padding
  // bytes undefined, so those files are encoded here.
  if (fif == FIF_BMP && (flags & BMP_SAVE_RLE) && FreeImage_GetBPP(picture) == 8 && FreeImage_GetPalette(picture)) {
    int colours = static_cast<int>(FreeImage_GetColorsUsed(picture));
    return WriteAll(path, BuildIndexedBmp(picture, colours > 0 ? colours : 256, true)) ? 1 : 0;
  }
  LibrarySave save{picture, fif, flags};
  auto write = [](const std::string& temp, void* context) {
    auto* s = static_cast<LibrarySave*>(context);
    return FreeImage_Save(static_cast<FREE_IMAGE_FORMAT>(s->fif), s->picture, temp.c_str(), s->flags) == TRUE;
  };
  return platform::ReplaceFileAtomically(path, write, &save) ? 1 : 0;
}

}  // namespace tq::engine
