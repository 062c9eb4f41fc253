#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/picture.h"

namespace tq::engine {

// Largest palette index any pixel of an 8-bit picture uses, plus one.
int HighestPaletteIndex(FIBITMAP* picture);

// BMP RLE8 pixel data of an 8-bit picture, bottom-up rows, each ended by an
// end-of-line code, the last by end-of-bitmap. Every byte is defined.
std::vector<std::uint8_t> EncodeRle8(FIBITMAP* picture);

// An 8-bit BMP whose colour table holds `colours` entries, pixel data plain
// or RLE8, with file size, offset and biSizeImage that match the bytes.
std::vector<std::uint8_t> BuildIndexedBmp(FIBITMAP* picture, int colours, bool rle);

// The 8-bit BMP with only the colour-table entries in use (BMP Color Table
// Exact). Returns 1 when the whole file was written.
std::int8_t SaveExactPaletteBmp(FIBITMAP* picture, const std::string& path);

// Saves with the output format and flags of g_context: 8-bit RLE BMPs are
// encoded here, everything else by FreeImage. The file is written beside
// its target and renamed into place, so a failure never leaves a partial
// file or destroys an older one.
std::int8_t SavePicture(FIBITMAP* picture, const std::string& path);

}  // namespace tq::engine
