#pragma once
#include <optional>
#include <string>

#include "platform/canvas.h"

namespace tq::platform {

// Pictures beyond the canvas bounds are refused from their header, before
// any pixel memory is allocated.
inline constexpr long long kMaxPictureSide = kMaxCanvasSide;
inline constexpr long long kMaxPicturePixels = kMaxCanvasPixels;

enum class PictureKind { Unknown, Png, Jpeg, Bmp };
// Told apart by the file's first bytes, whatever its extension.
PictureKind PictureKindOf(const std::string& path);

// Decodes a PNG (libpng), JPEG (libjpeg) or BMP (FreeImage) file into straight
// RGBA rows, top-down. Empty for a missing, unknown, truncated, corrupt or
// oversized file. hasAlpha is set for pictures with an alpha channel (PNG
// alpha or transparency, 32-bit BMP).
std::optional<PixelBuffer> LoadPictureFile(const std::string& path);

}  // namespace tq::platform
