#include "engine/pcx_reader.h"

#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

namespace tq::engine {
namespace {

// File header: 128 bytes, little-endian fields.
constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kManufacturerAt = 0;
constexpr std::size_t kEncodingAt = 2;
constexpr std::size_t kBitsPerPixelAt = 3;
constexpr std::size_t kXMinAt = 4;
constexpr std::size_t kYMinAt = 6;
constexpr std::size_t kXMaxAt = 8;
constexpr std::size_t kYMaxAt = 10;
constexpr std::size_t kHDpiAt = 12;
constexpr std::size_t kVDpiAt = 14;
constexpr std::size_t kHeaderPaletteAt = 16;  // 16 RGB triples
constexpr std::size_t kPlanesAt = 65;
constexpr std::size_t kBytesPerLineAt = 66;   // per plane

constexpr std::uint8_t kManufacturer = 0x0A;
constexpr std::uint8_t kEncodingNone = 0;
constexpr std::uint8_t kEncodingRle = 1;

// RLE: a byte with both top bits set repeats the next byte (byte & 0x3F) times.
constexpr std::uint8_t kRunFlag = 0xC0;
constexpr std::uint8_t kRunCountMask = 0x3F;
constexpr std::uint64_t kLongestRun = 63;
constexpr std::size_t kShortRun = 8;

// 256-colour palette: 0x0C, then 256 RGB triples, as the last bytes of the file.
constexpr std::uint8_t kTrailingPaletteMarker = 0x0C;
constexpr std::size_t kTrailingPaletteSize = 1 + 256 * 3;

constexpr double kMetresPerInch = 0.0254;

std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Where a picture's colours come from.
enum class Colours { BlackWhite, Header, TrailingOrGrey, Direct };

struct Lines {
  unsigned width;
  unsigned bytesPerLine;  // per plane
};
// Turns one decoded line (planes one after the other) into a FreeImage scan line.
using LineUnpacker = void (*)(const std::uint8_t* line, const Lines& lines, std::uint8_t* out);

// Same bit layout in file and picture (1-, 4- and 8-bit single plane).
template <unsigned Bits>
void CopyLine(const std::uint8_t* line, const Lines& lines, std::uint8_t* out) {
  std::memcpy(out, line, (static_cast<std::size_t>(lines.width) * Bits + 7) / 8);
}

// 2-bit pixels, four to a byte -> 4-bit, two to a byte.
constexpr auto kCgaToNibbles = [] {
  std::array<std::array<std::uint8_t, 2>, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    table[b][0] = static_cast<std::uint8_t>(((b >> 6) & 3) << 4 | ((b >> 4) & 3));
    table[b][1] = static_cast<std::uint8_t>(((b >> 2) & 3) << 4 | (b & 3));
  }
  return table;
}();

void CgaLine(const std::uint8_t* line, const Lines& lines, std::uint8_t* out) {
  // The scan line holds ceil(width / 8) * 4 bytes, so whole input bytes fit.
  const std::size_t bytes = (static_cast<std::size_t>(lines.width) + 3) / 4;
  for (std::size_t i = 0; i < bytes; ++i, out += 2) {
    out[0] = kCgaToNibbles[line[i]][0];
    out[1] = kCgaToNibbles[line[i]][1];
  }
}

// One plane byte (8 pixels of 1 bit) spread over 4 bytes of nibbles, each
// nibble 0 or 1; shifting by the plane number puts the bit in its place.
constexpr auto kBitsToNibbles = [] {
  std::array<std::array<std::uint8_t, 4>, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    for (unsigned k = 0; k < 4; ++k) {
      table[b][k] = static_cast<std::uint8_t>(((b >> (7 - 2 * k)) & 1) << 4 | ((b >> (6 - 2 * k)) & 1));
    }
  }
  return table;
}();

// 1 bit in 2 to 4 planes -> 4-bit index; plane 0 gives the lowest bit.
template <unsigned Planes>
void PlanarLine(const std::uint8_t* line, const Lines& lines, std::uint8_t* out) {
  // The 4-bit scan line is ceil(width / 8) * 4 bytes: 4 whole bytes per plane byte.
  const std::size_t bytes = (static_cast<std::size_t>(lines.width) + 7) / 8;
  for (std::size_t i = 0; i < bytes; ++i, out += 4) {
    for (unsigned k = 0; k < 4; ++k) {
      std::uint8_t v = kBitsToNibbles[line[i]][k];
      for (unsigned p = 1; p < Planes; ++p) {
        v |= static_cast<std::uint8_t>(kBitsToNibbles[line[i + p * lines.bytesPerLine]][k] << p);
      }
      out[k] = v;
    }
  }
}

// 8 bits in 3 or 4 planes (R, G, B, A) -> FreeImage's channel order.
template <unsigned Planes>
void RgbLine(const std::uint8_t* line, const Lines& lines, std::uint8_t* out) {
  const std::uint8_t* r = line;
  const std::uint8_t* g = r + lines.bytesPerLine;
  const std::uint8_t* b = g + lines.bytesPerLine;
  const std::uint8_t* a = b + lines.bytesPerLine;
  for (unsigned x = 0; x < lines.width; ++x, out += Planes) {
    out[FI_RGBA_RED] = r[x];
    out[FI_RGBA_GREEN] = g[x];
    out[FI_RGBA_BLUE] = b[x];
    if constexpr (Planes == 4) out[FI_RGBA_ALPHA] = a[x];
  }
}

struct Layout {
  unsigned bits;
  unsigned planes;
  unsigned pictureBpp;
  Colours colours;
  LineUnpacker unpack;
};

// Every layout we read; anything else is refused.
constexpr Layout kLayouts[] = {
    {1, 1, 1, Colours::BlackWhite, CopyLine<1>},
    {1, 2, 4, Colours::Header, PlanarLine<2>},
    {1, 3, 4, Colours::Header, PlanarLine<3>},
    {1, 4, 4, Colours::Header, PlanarLine<4>},
    {2, 1, 4, Colours::Header, CgaLine},
    {4, 1, 4, Colours::Header, CopyLine<4>},
    {8, 1, 8, Colours::TrailingOrGrey, CopyLine<8>},
    {8, 3, 24, Colours::Direct, RgbLine<3>},
    {8, 4, 32, Colours::Direct, RgbLine<4>},
};

const Layout* FindLayout(unsigned bits, unsigned planes) {
  for (const Layout& layout : kLayouts) {
    if (layout.bits == bits && layout.planes == planes) return &layout;
  }
  return nullptr;
}

// Version-3 writers leave the header palette all zero and mean these colours.
constexpr std::uint8_t kEgaPalette[16][3] = {
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0xAA}, {0x00, 0xAA, 0x00}, {0x00, 0xAA, 0xAA},
    {0xAA, 0x00, 0x00}, {0xAA, 0x00, 0xAA}, {0xAA, 0x55, 0x00}, {0xAA, 0xAA, 0xAA},
    {0x55, 0x55, 0x55}, {0x55, 0x55, 0xFF}, {0x55, 0xFF, 0x55}, {0x55, 0xFF, 0xFF},
    {0xFF, 0x55, 0x55}, {0xFF, 0x55, 0xFF}, {0xFF, 0xFF, 0x55}, {0xFF, 0xFF, 0xFF},
};

void SetPalette(FIBITMAP* dib, const std::uint8_t* triples, unsigned count) {
  RGBQUAD* palette = FreeImage_GetPalette(dib);
  for (unsigned i = 0; i < count; ++i) {
    palette[i].rgbRed = triples[i * 3];
    palette[i].rgbGreen = triples[i * 3 + 1];
    palette[i].rgbBlue = triples[i * 3 + 2];
    palette[i].rgbReserved = 0;
  }
}

void SetGreyPalette(FIBITMAP* dib, unsigned count) {
  RGBQUAD* palette = FreeImage_GetPalette(dib);
  for (unsigned i = 0; i < count; ++i) {
    const auto v = static_cast<BYTE>(i * 255 / (count - 1));
    palette[i] = RGBQUAD{v, v, v, 0};
  }
}

void SetColours(FIBITMAP* dib, Colours colours, const std::uint8_t* header,
                const std::uint8_t* trailing) {
  switch (colours) {
    case Colours::BlackWhite:
      SetGreyPalette(dib, 2);
      break;
    case Colours::Header: {
      const std::uint8_t* triples = header + kHeaderPaletteAt;
      const bool allZero = std::all_of(triples, triples + 48, [](std::uint8_t v) { return v == 0; });
      SetPalette(dib, allZero ? &kEgaPalette[0][0] : triples, 16);
      break;
    }
    case Colours::TrailingOrGrey:
      if (trailing) {
        SetPalette(dib, trailing, 256);
      } else {
        SetGreyPalette(dib, 256);
      }
      break;
    case Colours::Direct:
      break;
  }
}

// Where the file's bytes come from: memory, or a file read in pieces so a big
// file never needs a second big buffer beside the picture.
class Input {
 public:
  virtual ~Input() = default;
  // The last `count` bytes of the file; false when they cannot be read.
  virtual bool ReadTail(std::uint8_t* out, std::size_t count) = 0;
  // Starts handing out the `length` pixel bytes after the header.
  virtual bool Begin(std::uint64_t length) = 0;
  // The next piece of pixel bytes; false at their end.
  virtual bool Next(const std::uint8_t*& begin, const std::uint8_t*& end) = 0;
};

class MemoryInput final : public Input {
 public:
  MemoryInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool ReadTail(std::uint8_t* out, std::size_t count) override {
    std::memcpy(out, data_ + size_ - count, count);
    return true;
  }
  bool Begin(std::uint64_t length) override {
    length_ = static_cast<std::size_t>(length);
    return true;
  }
  bool Next(const std::uint8_t*& begin, const std::uint8_t*& end) override {
    if (length_ == 0) return false;
    begin = data_ + kHeaderSize;
    end = begin + length_;
    length_ = 0;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t length_ = 0;
};

class FileInput final : public Input {
 public:
  FileInput(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  bool ReadTail(std::uint8_t* out, std::size_t count) override {
    return std::fseek(file_, static_cast<long>(size_ - count), SEEK_SET) == 0 &&
           std::fread(out, 1, count, file_) == count;
  }
  bool Begin(std::uint64_t length) override {
    left_ = length;
    pieceSize_ = static_cast<std::size_t>(std::min<std::uint64_t>(length, kPieceSize));
    piece_.reset(new (std::nothrow) std::uint8_t[pieceSize_ > 0 ? pieceSize_ : 1]);
    return piece_ && std::fseek(file_, static_cast<long>(kHeaderSize), SEEK_SET) == 0;
  }
  bool Next(const std::uint8_t*& begin, const std::uint8_t*& end) override {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, pieceSize_));
    const std::size_t got = want == 0 ? 0 : std::fread(piece_.get(), 1, want, file_);
    if (got == 0) return false;
    left_ -= got;
    begin = piece_.get();
    end = begin + got;
    return true;
  }

 private:
  // Small enough to come from the heap's reused memory rather than fresh pages.
  static constexpr std::size_t kPieceSize = 64 * 1024;
  std::FILE* file_;
  std::uint64_t size_;
  std::uint64_t left_ = 0;
  std::size_t pieceSize_ = 0;
  std::unique_ptr<std::uint8_t[]> piece_;
};

// Pixel bytes as one stream: an RLE run may end in the next line or plane.
class PixelStream {
 public:
  explicit PixelStream(Input& input) : input_(input) {}

  // Fills `count` decoded RLE bytes; false when the data ends first.
  bool FillRle(std::uint8_t* out, std::size_t count) {
    std::uint8_t* const stop = out + count;
    if (pending_ > 0) {
      const std::size_t take = std::min<std::size_t>(pending_, count);
      std::memset(out, value_, take);
      out += take;
      pending_ -= static_cast<unsigned>(take);
    }
    const std::uint8_t* next = next_;
    const std::uint8_t* end = end_;
    while (out < stop) {
      if (next == end) {
        if (!Refill()) return false;
        next = next_;
        end = end_;
      }
      const std::uint8_t code = *next++;
      if (code < kRunFlag) {
        *out++ = code;
        continue;
      }
      if (next == end) {
        if (!Refill()) return false;
        next = next_;
        end = end_;
      }
      const std::uint8_t value = *next++;
      std::size_t run = code & kRunCountMask;
      const auto room = static_cast<std::size_t>(stop - out);
      if (run > room) {
        pending_ = static_cast<unsigned>(run - room);
        value_ = value;
        run = room;
      }
      if (run <= kShortRun) {
        // Noisy pictures are full of short runs: a memset call costs more.
        for (std::size_t i = 0; i < run; ++i) *out++ = value;
      } else {
        std::memset(out, value, run);
        out += run;
      }
    }
    next_ = next;
    end_ = end;
    return true;
  }

  // The next `count` bytes as they are. Points into the input when they lie
  // in one piece, else gathers them into `scratch`; nullptr when cut short.
  const std::uint8_t* TakeRaw(std::uint8_t* scratch, std::size_t count) {
    if (static_cast<std::size_t>(end_ - next_) >= count) {
      const std::uint8_t* line = next_;
      next_ += count;
      return line;
    }
    for (std::size_t done = 0; done < count;) {
      if (next_ == end_ && !Refill()) return nullptr;
      const std::size_t take = std::min<std::size_t>(count - done, static_cast<std::size_t>(end_ - next_));
      std::memcpy(scratch + done, next_, take);
      next_ += take;
      done += take;
    }
    return scratch;
  }

 private:
  // Works on the members so the hot loop's copies of them stay in registers.
  bool Refill() { return input_.Next(next_, end_) && next_ != end_; }

  Input& input_;
  const std::uint8_t* next_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  unsigned pending_ = 0;
  std::uint8_t value_ = 0;
};

Picture Decode(const std::uint8_t* header, std::uint64_t size, Input& input) {
  const unsigned encoding = header[kEncodingAt];
  if (header[kManufacturerAt] != kManufacturer) return {};
  if (encoding != kEncodingNone && encoding != kEncodingRle) return {};
  const Layout* layout = FindLayout(header[kBitsPerPixelAt], header[kPlanesAt]);
  if (!layout) return {};

  const unsigned xMin = U16(header + kXMinAt), xMax = U16(header + kXMaxAt);
  const unsigned yMin = U16(header + kYMinAt), yMax = U16(header + kYMaxAt);
  if (xMax < xMin || yMax < yMin) return {};
  const Lines lines{xMax - xMin + 1, U16(header + kBytesPerLineAt)};
  const unsigned height = yMax - yMin + 1;
  if (lines.bytesPerLine < (static_cast<std::uint64_t>(lines.width) * layout->bits + 7) / 8) return {};

  std::uint64_t pixelBytes = size - kHeaderSize;
  std::array<std::uint8_t, kTrailingPaletteSize> tail{};
  bool trailing = false;
  if (layout->colours == Colours::TrailingOrGrey && pixelBytes >= kTrailingPaletteSize) {
    if (!input.ReadTail(tail.data(), tail.size())) return {};
    trailing = tail[0] == kTrailingPaletteMarker;
    if (trailing) pixelBytes -= kTrailingPaletteSize;
  }

  // Refuse what the file cannot hold before allocating for it: a 12 KB file
  // may claim 65535 x 65535.
  const std::size_t lineBytes = static_cast<std::size_t>(lines.bytesPerLine) * layout->planes;
  const std::uint64_t needed = static_cast<std::uint64_t>(lineBytes) * height;
  const std::uint64_t available =
      encoding == kEncodingRle ? (pixelBytes / 2) * kLongestRun + pixelBytes % 2 : pixelBytes;
  if (needed > available) return {};

  unsigned red = 0, green = 0, blue = 0;
  if (layout->colours == Colours::Direct) {
    red = FI_RGBA_RED_MASK;
    green = FI_RGBA_GREEN_MASK;
    blue = FI_RGBA_BLUE_MASK;
  }
  Picture picture(FreeImage_Allocate(static_cast<int>(lines.width), static_cast<int>(height),
                                     static_cast<int>(layout->pictureBpp), red, green, blue));
  if (!picture || !input.Begin(pixelBytes)) return {};
  FIBITMAP* dib = picture.get();

  std::unique_ptr<std::uint8_t[]> scratch(new std::uint8_t[lineBytes]);
  PixelStream stream(input);
  for (unsigned y = 0; y < height; ++y) {
    const std::uint8_t* line = scratch.get();
    if (encoding == kEncodingRle) {
      if (!stream.FillRle(scratch.get(), lineBytes)) return {};  // cut short: no made-up rows
    } else {
      line = stream.TakeRaw(scratch.get(), lineBytes);
      if (!line) return {};
    }
    layout->unpack(line, lines, FreeImage_GetScanLine(dib, static_cast<int>(height - 1 - y)));
  }

  SetColours(dib, layout->colours, header, trailing ? tail.data() + 1 : nullptr);
  const unsigned hDpi = U16(header + kHDpiAt), vDpi = U16(header + kVDpiAt);
  if (hDpi > 0 && vDpi > 0) {
    FreeImage_SetDotsPerMeterX(dib, static_cast<unsigned>(hDpi / kMetresPerInch + 0.5));
    FreeImage_SetDotsPerMeterY(dib, static_cast<unsigned>(vDpi / kMetresPerInch + 0.5));
  }
  return picture;
}

}  // namespace

Picture DecodePcx(const std::uint8_t* data, std::size_t size) {
  if (!data || size < kHeaderSize) return {};
  MemoryInput input(data, size);
  return Decode(data, size, input);
}

Picture LoadPcx(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size < kHeaderSize || size > static_cast<std::uintmax_t>(LONG_MAX)) return {};
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return {};
  std::uint8_t header[kHeaderSize];
  if (std::fread(header, 1, kHeaderSize, file.get()) != kHeaderSize) return {};
  FileInput input(file.get(), size);
  return Decode(header, size, input);
}

}  // namespace tq::engine
