#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/pcx_reader.h"
#include "tests/support/pcx_writer.h"
#include "tests/support/temp_dir.h"

namespace tq::engine {
namespace {

using test::PcxOptions;
using test::PcxPixels;
using test::PixelRgba;
namespace field = test::pcx_field;

Picture Decode(const std::vector<std::uint8_t>& file) { return DecodePcx(file.data(), file.size()); }

// Every layout the reader takes, with the depth of the picture it gives.
struct LayoutCase {
  int bits, planes, bpp;
};
constexpr LayoutCase kLayouts[] = {
    {1, 1, 1}, {1, 2, 4}, {1, 3, 4}, {1, 4, 4}, {2, 1, 4},
    {4, 1, 4}, {8, 1, 8}, {8, 3, 24}, {8, 4, 32},
};

bool Direct(int bits, int planes) { return bits == 8 && planes >= 3; }

std::uint32_t Mask(int bits, int planes) {
  if (Direct(bits, planes)) return planes == 4 ? 0xFFFFFFFFu : 0x00FFFFFFu;
  return (1u << (bits * planes)) - 1;
}

// Stretches of one value mixed with noise, so RLE writes runs, literals and
// escaped bytes >= 0xC0. Flat rows come in equal pairs so runs can cross
// line ends (and plane ends: direct colours are grey there).
std::vector<std::uint32_t> Content(int bits, int planes, int width, int height, bool flatRows) {
  std::vector<std::uint32_t> values(static_cast<std::size_t>(width) * height);
  std::uint32_t state = 12345u + static_cast<std::uint32_t>(bits * 31 + planes);
  auto next = [&state] { return state = state * 1664525u + 1013904223u; };
  const std::uint32_t mask = Mask(bits, planes);
  std::uint32_t value = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (flatRows) {
        const std::uint32_t v = static_cast<std::uint32_t>(y / 2) * 37u;
        value = Direct(bits, planes) ? 0xFF000000u | (v & 0xFF) * 0x010101u : v;
      } else if (next() % 3 == 0) {
        value = next() >> 7;  // start a new stretch
      }
      values[static_cast<std::size_t>(y) * width + x] = value & mask;
    }
  }
  return values;
}

std::array<std::uint8_t, 48> HeaderPalette() {
  std::array<std::uint8_t, 48> palette{};
  for (int i = 0; i < 16; ++i) {
    palette[i * 3] = static_cast<std::uint8_t>(i * 16 + 1);
    palette[i * 3 + 1] = static_cast<std::uint8_t>(250 - i * 13);
    palette[i * 3 + 2] = static_cast<std::uint8_t>(i * 7 + 40);
  }
  return palette;
}

std::vector<std::uint8_t> TrailingPalette() {
  std::vector<std::uint8_t> palette(768);
  for (int i = 0; i < 256; ++i) {
    palette[i * 3] = static_cast<std::uint8_t>(255 - i);
    palette[i * 3 + 1] = static_cast<std::uint8_t>(i * 5);
    palette[i * 3 + 2] = static_cast<std::uint8_t>(i ^ 0x5A);
  }
  return palette;
}

// The colours a file with an all-zero header palette means.
constexpr std::uint32_t kEga[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

std::uint32_t Opaque(std::uint32_t rgb) { return rgb << 8 | 0xFF; }
std::uint32_t Triple(const std::uint8_t* p) { return Opaque(p[0] << 16 | p[1] << 8 | p[2]); }

// What a written value must look like once decoded, worked out from the file's own rules.
std::uint32_t ExpectedRgba(const PcxPixels& pixels, const PcxOptions& options, std::uint32_t value) {
  if (pixels.bits == 1 && pixels.planes == 1) return value ? 0xFFFFFFFFu : 0x000000FFu;
  if (Direct(pixels.bits, pixels.planes)) {
    const std::uint32_t alpha = pixels.planes == 4 ? value >> 24 : 0xFF;
    return (value & 0xFFFFFF) << 8 | alpha;
  }
  if (pixels.bits == 8) {
    if (options.trailingPalette.empty()) return Opaque(value * 0x010101u);
    return Triple(&options.trailingPalette[value * 3]);
  }
  bool zero = true;
  for (std::uint8_t v : options.headerPalette) zero = zero && v == 0;
  return zero ? Opaque(kEga[value]) : Triple(&options.headerPalette[value * 3]);
}

// Counts differing pixels and names the first.
std::string ComparePixels(FIBITMAP* got, const std::function<std::uint32_t(unsigned, unsigned)>& want,
                          unsigned width, unsigned height) {
  unsigned bad = 0;
  char first[96] = "";
  for (unsigned y = 0; y < height; ++y) {
    for (unsigned x = 0; x < width; ++x) {
      const std::uint32_t a = PixelRgba(got, x, y), b = want(x, y);
      if (a != b && bad++ == 0) std::snprintf(first, sizeof first, " first (%u,%u): %08X, want %08X", x, y, a, b);
    }
  }
  return bad == 0 ? "" : std::to_string(bad) + " pixels differ;" + first;
}

struct Variant {
  const char* name;
  int width, height;
  std::function<void(PcxOptions&)> adjust;
  bool flatRows = false;
};

const Variant kVariants[] = {
    {"rle", 13, 7, [](PcxOptions&) {}},
    {"uncompressed", 13, 7, [](PcxOptions& o) { o.rle = false; }},
    {"runs across line and plane ends", 9, 6, [](PcxOptions& o) { o.runsAcrossLines = true; }, true},
    {"uncompressed, 3 padding bytes", 10, 4,
     [](PcxOptions& o) { o.rle = false; o.bytesPerLine = -3; o.padding = 0xE7; }},
    {"rle, 1 padding byte", 11, 3, [](PcxOptions& o) { o.bytesPerLine = -1; o.padding = 0xFF; }},
    {"rle, padding, runs across lines", 7, 5,
     [](PcxOptions& o) { o.bytesPerLine = -2; o.runsAcrossLines = true; }, true},
    {"1 x 1", 1, 1, [](PcxOptions&) {}},
    {"1 wide", 1, 9, [](PcxOptions&) {}},
    {"1 high", 17, 1, [](PcxOptions& o) { o.rle = false; }},
    {"version 0, window origin 7,3", 6, 4, [](PcxOptions& o) { o.version = 0; o.xMin = 7; o.yMin = 3; }},
    {"version 2, origin 1,1", 5, 5, [](PcxOptions& o) { o.version = 2; o.xMin = 1; o.yMin = 1; }},
    {"version 3, zero header palette", 12, 3, [](PcxOptions& o) { o.version = 3; o.headerPalette = {}; }},
    {"trailing palette", 8, 8, [](PcxOptions& o) { o.trailingPalette = TrailingPalette(); }},
    {"uncompressed, trailing palette", 8, 3,
     [](PcxOptions& o) { o.rle = false; o.trailingPalette = TrailingPalette(); }},
};

TEST(PcxReader, RoundTripOfEveryLayout) {
  for (const LayoutCase& layout : kLayouts) {
    for (const Variant& variant : kVariants) {
      SCOPED_TRACE(std::to_string(layout.bits) + " bits x " + std::to_string(layout.planes) +
                   " planes, " + variant.name);
      PcxPixels pixels{layout.bits, layout.planes, variant.width, variant.height,
                       Content(layout.bits, layout.planes, variant.width, variant.height, variant.flatRows)};
      PcxOptions options;
      options.headerPalette = HeaderPalette();
      variant.adjust(options);
      if (options.bytesPerLine < 0) {
        options.bytesPerLine = (variant.width * layout.bits + 7) / 8 - options.bytesPerLine;
      }
      const std::vector<std::uint8_t> file = test::WritePcx(pixels, options);
      if (options.runsAcrossLines) {
        PcxOptions perLine = options;
        perLine.runsAcrossLines = false;
        ASSERT_LT(file.size(), test::WritePcx(pixels, perLine).size()) << "no run crosses a line end";
      }

      Picture picture = Decode(file);
      ASSERT_TRUE(picture);
      ASSERT_EQ(FreeImage_GetWidth(picture.get()), static_cast<unsigned>(variant.width));
      ASSERT_EQ(FreeImage_GetHeight(picture.get()), static_cast<unsigned>(variant.height));
      EXPECT_EQ(FreeImage_GetBPP(picture.get()), static_cast<unsigned>(layout.bpp));
      EXPECT_EQ(ComparePixels(picture.get(),
                              [&](unsigned x, unsigned y) {
                                return ExpectedRgba(pixels, options, pixels.values[y * variant.width + x]);
                              },
                              variant.width, variant.height),
                "");
    }
  }
}

TEST(PcxReader, OneBitIsBlackAndWhiteWhateverTheHeaderSays) {
  PcxPixels pixels{1, 1, 8, 1, {0, 1, 1, 0, 1, 0, 0, 1}};
  PcxOptions options;
  options.headerPalette = HeaderPalette();  // neither black nor white
  Picture picture = Decode(test::WritePcx(pixels, options));
  ASSERT_TRUE(picture);
  EXPECT_EQ(PixelRgba(picture.get(), 0, 0), 0x000000FFu);
  EXPECT_EQ(PixelRgba(picture.get(), 1, 0), 0xFFFFFFFFu);
}

// Hand-made streams whose runs the writer would not produce.
TEST(PcxReader, HandMadeRuns) {
  struct Case {
    const char* name;
    int width, height, bits, planes;
    std::vector<std::uint8_t> data;
    std::vector<std::uint32_t> rgba;  // top row first
  } const cases[] = {
      // One run of 30 fills three lines of 10.
      {"one run over three lines", 10, 3, 8, 1, {0xDE, 0x07},
       std::vector<std::uint32_t>(30, Opaque(0x070707))},
      // R line ends inside a run that carries on into G and B.
      {"run over plane ends", 2, 1, 8, 3, {0x11, 0xC4, 0x22, 0x33}, {Opaque(0x112222), Opaque(0x222233)}},
      // The densest data: 63 bytes from every pair, exactly what is needed.
      {"63 bytes per pair", 63, 4, 8, 1, {0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80},
       std::vector<std::uint32_t>(252, Opaque(0x808080))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> file = test::WritePcx({c.bits, c.planes, c.width, c.height,
                                                     std::vector<std::uint32_t>(c.width * c.height, 0)});
    file.resize(field::kHeaderSize);
    file.insert(file.end(), c.data.begin(), c.data.end());
    Picture picture = Decode(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(ComparePixels(picture.get(), [&](unsigned x, unsigned y) { return c.rgba[y * c.width + x]; },
                            c.width, c.height),
              "");
  }
}

TEST(PcxReader, ResolutionFromHeader) {
  struct Case {
    int hDpi, vDpi;
    unsigned xDpm, yDpm;
  } const cases[] = {{72, 72, 2835, 2835}, {300, 300, 11811, 11811}, {640, 480, 25197, 18898}};
  for (const Case& c : cases) {
    PcxOptions options;
    options.hDpi = c.hDpi;
    options.vDpi = c.vDpi;
    Picture picture = Decode(test::WritePcx({8, 1, 2, 2, {1, 2, 3, 4}}, options));
    ASSERT_TRUE(picture);
    EXPECT_EQ(FreeImage_GetDotsPerMeterX(picture.get()), c.xDpm) << c.hDpi;
    EXPECT_EQ(FreeImage_GetDotsPerMeterY(picture.get()), c.yDpm) << c.vDpi;
  }
}

// A good file of a layout, to break.
std::vector<std::uint8_t> GoodFile(int bits, int planes, int width, int height, PcxOptions options = {}) {
  return test::WritePcx({bits, planes, width, height, Content(bits, planes, width, height, false)}, options);
}

PcxOptions Cut(std::size_t bytes, bool rle = true, bool trailing = false) {
  PcxOptions options;
  options.rle = rle;
  options.cutPixelBytes = bytes;
  if (trailing) options.trailingPalette = TrailingPalette();
  return options;
}

std::function<std::vector<std::uint8_t>()> WithByte(std::size_t offset, std::uint8_t value, int bits = 8,
                                                    int planes = 1) {
  return [=] {
    std::vector<std::uint8_t> file = GoodFile(bits, planes, 20, 6);
    file[offset] = value;
    return file;
  };
}

std::function<std::vector<std::uint8_t>()> WithU16(std::size_t offset, std::uint16_t value, int bits = 8,
                                                   int planes = 1) {
  return [=] {
    std::vector<std::uint8_t> file = GoodFile(bits, planes, 20, 6);
    test::PutU16(file, offset, value);
    return file;
  };
}

// A file of `size` bytes of valid full runs whose header claims 65535 x 65535.
std::vector<std::uint8_t> HugeClaim(int planes, std::size_t size) {
  std::vector<std::uint8_t> file = GoodFile(8, planes, 4, 4);
  file.resize(field::kHeaderSize);
  test::PutU16(file, field::kXMax, 65534);
  test::PutU16(file, field::kYMax, 65534);
  test::PutU16(file, field::kBytesPerLine, 65535);
  while (file.size() < size) {
    file.push_back(0xFF);
    file.push_back(0x2A);
  }
  return file;
}

TEST(PcxReader, RefusedFiles) {
  struct Case {
    const char* name;
    std::function<std::vector<std::uint8_t>()> make;
  } const cases[] = {
      {"empty", [] { return std::vector<std::uint8_t>{}; }},
      {"shorter than a header", [] { auto f = GoodFile(8, 1, 4, 4); f.resize(100); return f; }},
      {"header without pixels", [] { auto f = GoodFile(8, 1, 4, 4); f.resize(field::kHeaderSize); return f; }},
      {"manufacturer not 0x0A", WithByte(field::kManufacturer, 0x0B)},
      {"encoding 2", WithByte(field::kEncoding, 2)},
      {"encoding 32", WithByte(field::kEncoding, 32)},
      {"bytes per line below the width", WithU16(field::kBytesPerLine, 19)},
      {"1-bit bytes per line below the width", WithU16(field::kBytesPerLine, 2, 1, 1)},
      {"4 planes bytes per line below the width", WithU16(field::kBytesPerLine, 2, 1, 4)},
      {"bytes per line 0", WithU16(field::kBytesPerLine, 0)},
      {"xmax below xmin", WithU16(field::kXMin, 20)},
      {"ymax below ymin", WithU16(field::kYMin, 6)},
      {"8 bits x 2 planes", WithByte(field::kPlanes, 2)},
      {"8 bits x 5 planes", WithByte(field::kPlanes, 5)},
      {"0 planes", WithByte(field::kPlanes, 0)},
      {"2 bits x 2 planes", WithByte(field::kPlanes, 2, 2, 1)},
      {"4 bits x 4 planes", WithByte(field::kPlanes, 4, 4, 1)},
      {"3 bits", WithByte(field::kBitsPerPixel, 3)},
      {"16 bits", WithByte(field::kBitsPerPixel, 16)},
      {"0 bits", WithByte(field::kBitsPerPixel, 0)},
      {"8-bit RLE cut by 1 byte", [] { return GoodFile(8, 1, 20, 6, Cut(1)); }},
      // Cut pixel data, the palette still at the end: reading on into it is no cure.
      {"8-bit RLE cut, palette kept", [] { return GoodFile(8, 1, 40, 30, Cut(20, true, true)); }},
      {"24-bit RLE cut by 1 byte", [] { return GoodFile(8, 3, 20, 6, Cut(1)); }},
      {"32-bit uncompressed cut by 1 byte", [] { return GoodFile(8, 4, 20, 6, Cut(1, false)); }},
      {"4 planes uncompressed cut by 1 byte", [] { return GoodFile(1, 4, 20, 6, Cut(1, false)); }},
      {"CGA RLE cut in half", [] { return GoodFile(2, 1, 20, 6, Cut(10)); }},
      {"run code as the last byte",
       [] {
         auto f = GoodFile(8, 1, 3, 1);
         f.resize(field::kHeaderSize);
         f.insert(f.end(), {0x41, 0x42, 0xC3});
         return f;
       }},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Decode(c.make())) << c.name;
  }
}

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// 12 KB claiming 65535 x 65535: refused from the header, before the 4 or 12 GB
// picture exists (the peak memory of the process shows it was never filled).
TEST(PcxReader, HugeClaimIsRefusedBeforeAllocating) {
  for (int planes : {1, 3}) {
    const std::vector<std::uint8_t> file = HugeClaim(planes, 12 * 1024);
    const long before = PeakResidentKb();
    EXPECT_FALSE(Decode(file)) << planes;
    EXPECT_LT(PeakResidentKb() - before, 256 * 1024) << planes;
  }
}

TEST(PcxReader, LoadPcxReadsFilesAndRefusesWhatIsNoFile) {
  test::TempDir dir;
  PcxPixels pixels{8, 3, 3, 2, Content(8, 3, 3, 2, false)};
  const std::vector<std::uint8_t> bytes = test::WritePcx(pixels);
  test::WriteFileBytes(dir / "a.pcx", std::string(bytes.begin(), bytes.end()));

  Picture picture = LoadPcx(dir / "a.pcx");
  ASSERT_TRUE(picture);
  EXPECT_EQ(PixelRgba(picture.get(), 2, 1), ExpectedRgba(pixels, {}, pixels.values[5]));
  EXPECT_FALSE(LoadPcx(dir / "missing.pcx"));
  EXPECT_FALSE(LoadPcx(dir.path()));
}

// Files of several hundred KB are read in pieces: a raw line or an RLE pair may
// straddle two of them.
TEST(PcxReader, LoadPcxReadsBigFilesInPieces) {
  test::TempDir dir;
  struct Case {
    const char* name;
    PcxPixels pixels;
    PcxOptions options;
  };
  // After one literal every pixel is a run code and its value, so any even
  // piece size splits a pair.
  PcxPixels pairs{8, 1, 1000, 200, std::vector<std::uint32_t>(200000)};
  for (std::size_t i = 0; i < pairs.values.size(); ++i) pairs.values[i] = i == 0 ? 0x10 : 0xC8 + i % 2 * 8;
  PcxOptions raw;
  raw.rle = false;
  const Case cases[] = {
      {"rle pairs", pairs, {}},
      {"uncompressed 24-bit, odd line length", {8, 3, 331, 340, Content(8, 3, 331, 340, false)}, raw},
      {"rle 32-bit noise", {8, 4, 420, 420, Content(8, 4, 420, 420, false)}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint8_t> bytes = test::WritePcx(c.pixels, c.options);
    ASSERT_GT(bytes.size(), 300u * 1024);
    test::WriteFileBytes(dir / "big.pcx", std::string(bytes.begin(), bytes.end()));
    Picture picture = LoadPcx(dir / "big.pcx");
    ASSERT_TRUE(picture);
    const auto width = static_cast<unsigned>(c.pixels.width);
    EXPECT_EQ(ComparePixels(picture.get(),
                            [&](unsigned x, unsigned y) {
                              return ExpectedRgba(c.pixels, c.options, c.pixels.values[y * width + x]);
                            },
                            width, static_cast<unsigned>(c.pixels.height)),
              "");
  }
}

// Real files from other programs' test suites; a bpp of 0 means every other
// decoder refuses the file.
TEST(PcxReader, SampleCorpus) {
  struct Case {
    const char* name;
    unsigned bpp;
  } const cases[] = {
      {"irs_24bit", 24},         {"irs_256-palette", 8},
      {"irs_gmarbles", 8},       {"irs_marbles", 24},
      {"kry_tiny", 4},           {"pil_01r_00", 0},
      {"pil_odd_stride", 8},     {"pil_ossfuzz-4836216264589312", 0},
      {"pil_p_4_planes", 4},     {"pil_pil184", 1},
      {"tm_animals", 4},         {"tm_cga_bw", 1},
      {"tm_cga_fsd", 4},         {"tm_cga_rgbi", 4},
      {"tm_cga_tst1", 4},        {"tm_darkstar", 1},
      {"tm_gmarbles", 0},        {"tm_input", 24},
      {"tm_no-palette-monochrome", 1}, {"tm_rose", 4},
  };
  const std::string folder = std::string(TQ_FIXTURES) + "/pcx/";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string pcx = folder + c.name + ".pcx";
    ASSERT_TRUE(std::filesystem::exists(pcx));
    Picture picture = LoadPcx(pcx);
    if (c.bpp == 0) {
      EXPECT_FALSE(picture);
      continue;
    }
    ASSERT_TRUE(picture);
    EXPECT_EQ(FreeImage_GetBPP(picture.get()), c.bpp);
    Picture expected(FreeImage_Load(FIF_PNG, (folder + "expected/" + c.name + ".png").c_str(), 0));
    ASSERT_TRUE(expected);
    const unsigned width = FreeImage_GetWidth(expected.get()), height = FreeImage_GetHeight(expected.get());
    ASSERT_EQ(FreeImage_GetWidth(picture.get()), width);
    ASSERT_EQ(FreeImage_GetHeight(picture.get()), height);
    EXPECT_EQ(ComparePixels(picture.get(), [&](unsigned x, unsigned y) { return PixelRgba(expected.get(), x, y); },
                            width, height),
              "");
  }
}

}  // namespace
}  // namespace tq::engine
