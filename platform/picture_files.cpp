#include "platform/picture_files.h"

#include <FreeImage.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// libjpeg's header needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace tq::platform {
namespace {

struct FileClose {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileClose>;

struct PictureUnload {
  void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using FreeImageHandle = std::unique_ptr<FIBITMAP, PictureUnload>;

bool SizeAllowed(long long width, long long height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

void AllocatePixels(PixelBuffer& out, int width, int height, bool hasAlpha) {
  out.width = width;
  out.height = height;
  out.hasAlpha = hasAlpha;
  out.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
}

std::uint64_t FileLength(std::FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return 0;
  long length = std::ftell(f);
  std::rewind(f);
  return length > 0 ? static_cast<std::uint64_t>(length) : 0;
}

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// ---- PNG: libpng's simplified reader, told the size first.

std::optional<PixelBuffer> LoadPng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  if (!SizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return std::nullopt;
  }
  PixelBuffer out;
  AllocatePixels(out, static_cast<int>(image.width), static_cast<int>(image.height),
                 (image.format & PNG_FORMAT_FLAG_ALPHA) != 0);
  image.format = PNG_FORMAT_RGBA;  // 8-bit sRGB, straight alpha
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return out;
}

// ---- JPEG: libjpeg with its errors turned into a jump back here.

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  bool truncated;
};

[[noreturn]] void JpegFail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1); }

void JpegMessage(j_common_ptr cinfo, int level) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  if (level < 0 && errors->manager.msg_code == JWRN_JPEG_EOF) errors->truncated = true;
}

// No C++ object with a destructor lives in this frame, so the jump from
// libjpeg's error handler skips nothing.
bool DecodeJpeg(std::FILE* file, PixelBuffer& out, std::vector<JSAMPLE>& row) {
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JpegFail;
  errors.manager.emit_message = JpegMessage;
  errors.truncated = false;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  if (!SizeAllowed(cinfo.image_width, cinfo.image_height)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  // Four-channel files are stored inverted by the writers that make them.
  bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  AllocatePixels(out, static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), false);
  row.resize(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
  while (cinfo.output_scanline < cinfo.output_height && !errors.truncated) {
    std::uint8_t* dst = out.rgba.data() + static_cast<size_t>(cinfo.output_scanline) * out.width * 4;
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
    for (int x = 0; x < out.width; ++x, dst += 4) {
      const JSAMPLE* s = row.data() + static_cast<size_t>(x) * cinfo.output_components;
      if (cmyk) {
        dst[0] = static_cast<std::uint8_t>(s[0] * s[3] / 255);
        dst[1] = static_cast<std::uint8_t>(s[1] * s[3] / 255);
        dst[2] = static_cast<std::uint8_t>(s[2] * s[3] / 255);
      } else {
        dst[0] = s[0];
        dst[1] = s[1];
        dst[2] = s[2];
      }
      dst[3] = 255;
    }
  }
  bool complete = cinfo.output_scanline == cinfo.output_height && !errors.truncated;
  if (complete) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return complete;
}

std::optional<PixelBuffer> LoadJpeg(const std::string& path) {
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  PixelBuffer out;
  std::vector<JSAMPLE> row;
  if (!DecodeJpeg(file.get(), out, row)) return std::nullopt;
  return out;
}

// ---- BMP: FreeImage, after the header has been checked here.

constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;
// Run-length data gives at most 255 pixels for two bytes, but its skips can
// jump further; a file claiming more than this many pixels per byte of data
// is refused rather than decoded into a huge picture.
constexpr unsigned long long kMostRlePixelsPerByte = 1024;

// Size and, for uncompressed files, whether the file holds every row.
bool BmpHeaderAcceptable(std::FILE* f) {
  unsigned char h[54] = {};
  std::uint64_t length = FileLength(f);
  if (length < 26 || std::fread(h, 1, sizeof h, f) < 26) return false;
  std::uint32_t offset = Le32(h + 10);
  std::uint32_t headerSize = Le32(h + 14);
  long long width, height;
  std::uint32_t bits, compression = kBiRgb;
  if (headerSize == 12) {  // OS/2 core header
    width = Le16(h + 18);
    height = Le16(h + 20);
    bits = Le16(h + 24);
  } else if (headerSize >= 40 && length >= 54) {
    width = static_cast<std::int32_t>(Le32(h + 18));
    height = static_cast<std::int32_t>(Le32(h + 22));
    if (height < 0) height = -height;  // top-down rows
    bits = Le16(h + 28);
    compression = Le32(h + 30);
  } else {
    return false;
  }
  if (!SizeAllowed(width, height) || bits == 0 || bits > 32) return false;
  const unsigned long long pixels = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
  switch (compression) {
    case kBiRgb:
    case kBiBitfields: {
      unsigned long long rowBytes = ((static_cast<unsigned long long>(width) * bits + 31) / 32) * 4;
      return offset + rowBytes * static_cast<unsigned long long>(height) <= length;
    }
    case kBiRle8:
    case kBiRle4:
      // Each run-length kind belongs to its one depth.
      if (bits != (compression == kBiRle8 ? 8u : 4u) || offset >= length) return false;
      return pixels <= (length - offset) * kMostRlePixelsPerByte;
    default:
      return false;  // JPEG or PNG inside a BMP, or unknown: the decoder has none
  }
}

std::optional<PixelBuffer> LoadBmp(const std::string& path) {
  {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file || !BmpHeaderAcceptable(file.get())) return std::nullopt;
  }
  FreeImageHandle loaded(FreeImage_Load(FIF_BMP, path.c_str(), 0));
  if (!loaded || !SizeAllowed(FreeImage_GetWidth(loaded.get()), FreeImage_GetHeight(loaded.get())))
    return std::nullopt;
  bool hasAlpha = FreeImage_GetBPP(loaded.get()) == 32;
  FreeImageHandle rgba(FreeImage_ConvertTo32Bits(loaded.get()));
  if (!rgba) return std::nullopt;
  PixelBuffer out;
  const int width = static_cast<int>(FreeImage_GetWidth(rgba.get()));
  const int height = static_cast<int>(FreeImage_GetHeight(rgba.get()));
  AllocatePixels(out, width, height, hasAlpha);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    const BYTE* src = FreeImage_GetScanLine(rgba.get(), height - 1 - y);
    std::uint8_t* dst = out.rgba.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, src += 4, dst += 4) {
      dst[0] = src[FI_RGBA_RED];
      dst[1] = src[FI_RGBA_GREEN];
      dst[2] = src[FI_RGBA_BLUE];
      dst[3] = hasAlpha ? src[FI_RGBA_ALPHA] : 255;
      anyAlpha = anyAlpha || dst[3] != 0;
    }
  }
  // Most 32-bit BMP writers leave the fourth byte 0: such a file is opaque,
  // not invisible.
  if (hasAlpha && !anyAlpha) {
    out.hasAlpha = false;
    for (size_t i = 3; i < out.rgba.size(); i += 4) out.rgba[i] = 255;
  }
  return out;
}

}  // namespace

PictureKind PictureKindOf(const std::string& path) {
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return PictureKind::Unknown;
  unsigned char head[8] = {};
  size_t n = std::fread(head, 1, sizeof head, file.get());
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (n == 8 && std::memcmp(head, kPng, 8) == 0) return PictureKind::Png;
  if (n >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return PictureKind::Jpeg;
  if (n >= 2 && head[0] == 'B' && head[1] == 'M') return PictureKind::Bmp;
  return PictureKind::Unknown;
}

std::optional<PixelBuffer> LoadPictureFile(const std::string& path) {
  switch (PictureKindOf(path)) {
    case PictureKind::Png:
      return LoadPng(path);
    case PictureKind::Jpeg:
      return LoadJpeg(path);
    case PictureKind::Bmp:
      return LoadBmp(path);
    default:
      return std::nullopt;
  }
}

}  // namespace tq::platform
