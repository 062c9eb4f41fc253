#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/picture.h"

namespace tq::engine {

// Our own PCX decoder; the library's loader refuses or garbles too many real
// files and trusts the header with its allocations.
//
// Layouts (bits per pixel x planes) and the picture they give:
//   1 x 1            1-bit, black and white whatever the header palette holds
//   1 x 2, 1 x 3,    4-bit, colours from the 16-colour header palette
//   1 x 4, 2 x 1,    (an all-zero header palette means the standard EGA one)
//   4 x 1
//   8 x 1            8-bit, the 256-colour palette after the 0x0C marker at the
//                    end of the file, else grey
//   8 x 3            24-bit RGB
//   8 x 4            32-bit RGBA
// Rows are bottom-up as FreeImage keeps them; the header DPI becomes the
// resolution. RLE and uncompressed data, runs across line and plane ends and
// any bytes-per-line at least as large as a line needs are read.
//
// Returns an empty Picture for a file it refuses: not PCX, inconsistent or
// unsupported header, or pixel data cut short. The claimed size is checked
// against what the file's bytes can hold before anything is allocated.
Picture DecodePcx(const std::uint8_t* data, std::size_t size);

// Decodes a file, read in pieces straight into the picture; empty when the
// file cannot be read or is refused.
Picture LoadPcx(const std::string& path);

}  // namespace tq::engine
