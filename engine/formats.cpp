#include "engine/formats.h"

#include <FreeImage.h>

#include <array>
#include <charconv>

#include "platform/text_util.h"

namespace tq::engine {
namespace {

using S = settings::AppSettings;

constexpr InputFormat kInputFormats[] = {
    {"bmp", "bmp", "Windows or OS/2 Bitmap"}, {"rle", "bmp", "Windows or OS/2 Bitmap"},
    {"dib", "bmp", "Windows or OS/2 Bitmap"}, {"dds", "dds", "DirectDraw Surface File"},
    {"emf", "emf", "Enhanced Metafile Format"}, {"emz", "emf", "Enhanced Metafile Format"},
    {"gif", "gif", "GIF File"}, {"hdr", "hdr", "High Dynamic Range File"},
    {"hdri", "hdr", "High Dynamic Range File"}, {"ico", "ico", "Windows Icon"},
    {"jpg", "jpg", "JPEG File"}, {"jpeg", "jpg", "JPEG File"}, {"jpe", "jpg", "JPEG File"},
    {"jif", "jpg", "JPEG File"}, {"pcd", "pcd", "Kodak PhotoCD File"},
    {"pcd1", "pcd", "Kodak PhotoCD File"}, {"pcds", "pcd", "Kodak PhotoCD File"},
    {"ppcd", "pcd", "Kodak PhotoCD File"}, {"pcx", "pcx", "ZSoft Paintbrush File"},
    {"pic", "pic", "Macintosh PICT"}, {"pict", "pic", "Macintosh PICT"}, {"pct", "pic", "Macintosh PICT"},
    {"png", "png", "Portable Network Graphics"}, {"psd", "psd", "Adobe Photoshop File"},
    {"tga", "tga", "Truevision Targa"}, {"targa", "tga", "Truevision Targa"},
    {"tiff", "tiff", "Tagged Image File Format"}, {"tif", "tiff", "Tagged Image File Format"},
    {"wmf", "wmf", "Windows Metafile Format"}, {"wmz", "wmf", "Windows Metafile Format"},
    {"apm", "wmf", "Aldus Placeable Metafile"}, {"raw", "raw", "Camera RAW Image"},
    {"raw1", "raw", "Camera RAW Image"}, {"raw2", "raw", "Camera RAW Image"},
    {"3fr", "raw", "Hasselblad Camera RAW Image"}, {"arw", "raw", "Sony Camera RAW Image"},
    {"sr2", "raw", "Sony Camera RAW Image"}, {"srf", "raw", "Sony Camera RAW Image"},
    {"bay", "raw", "Casio Camera RAW Image"}, {"bmq", "raw", "NuCore RAW Image"},
    {"cap", "raw", "Phase One Camera RAW Image"}, {"iiq", "raw", "Phase One Camera RAW Image"},
    {"eip", "raw", "Phase One Camera RAW Image"}, {"cine", "raw", "Phantom RAW Image"},
    {"cr2", "raw", "Canon Camera RAW Image"}, {"crw", "raw", "Canon Camera RAW Image"},
    {"cs1", "raw", "Capture Shop RAW Image"}, {"dc2", "raw", "Kodak Camera RAW Image"},
    {"dcr", "raw", "Kodak Camera RAW Image"}, {"drf", "raw", "Kodak Camera RAW Image"},
    {"dsc", "raw", "Kodak Camera RAW Image"}, {"k25", "raw", "Kodak Camera RAW Image"},
    {"kc2", "raw", "Kodak Camera RAW Image"}, {"kdc", "raw", "Kodak Camera RAW Image"},
    {"dcs", "raw", "Kodak Camera RAW Image"}, {"dng", "raw", "Adobe Digital Negative Image"},
    {"erf", "raw", "Epson Camera RAW Image"}, {"fff", "raw", "Imacon Camera RAW Image"},
    {"ia", "raw", "Sinar RAW Image"}, {"sti", "raw", "Sinar RAW Image"},
    {"mdc", "raw", "Minolta Camera RAW Image"}, {"mrw", "raw", "Minolta Camera RAW Image"},
    {"mef", "raw", "Mamiya Camera RAW Image"}, {"mos", "raw", "Mamiya Camera RAW Image"},
    {"nef", "raw", "Nikon Camera RAW Image"}, {"nrw", "raw", "Nikon Camera RAW Image"},
    {"orf", "raw", "Olympus Camera RAW Image"}, {"pef", "raw", "Pentax Camera RAW Image"},
    {"ptx", "raw", "Pentax Camera RAW Image"}, {"pxn", "raw", "Logitech Camera RAW Image"},
    {"qtk", "raw", "Apple Quicktake Camera RAW Image"}, {"raf", "raw", "Fuji Camera RAW Image"},
    {"rdc", "raw", "Digital Foto Maker RAW Image"}, {"rw2", "raw", "Panasonic Camera RAW Image"},
    {"rwz", "raw", "Rawzor Camera RAW Image"}, {"x3f", "raw", "Sigma Camera RAW Image"},
    {"ari", "raw", "ARRI RAW Image"}, {"r3d", "raw", "RED RAW Image"},
    {"rwl", "raw", "Leica Camera RAW Image"},
};

const OutputFormat kOutputFormats[] = {
    {"bmp", FIF_BMP, "Windows or OS/2 Bitmap", "1,4,8,16,24,32", &S::BMPBPP},
    {"dds", -1, "", "", &S::DDSBPP},
    {"exr", FIF_EXR, "ILM OpenEXR", "96", &S::EXRBPP},
    {"gif", FIF_GIF, "Graphics Interchange Format", "8", &S::GIFBPP},
    {"hdr", FIF_HDR, "High Dynamic Range Image", "96", &S::HDRBPP},
    {"ico", FIF_ICO, "Windows Icon", "1,4,8,16,24,32", &S::ICOBPP},
    {"j2k", FIF_J2K, "JPEG-2000 Codestream", "8,24,32,48", &S::J2KBPP},
    {"jng", FIF_JNG, "JPEG Network Graphics", "24,32", &S::JNGBPP},
    {"jp2", FIF_JP2, "JPEG-2000 File Format", "8,24,32,48", &S::JP2BPP},
    {"jpg", FIF_JPEG, "JPEG File Format", "8,24", &S::JPGBPP},
    {"jxr", FIF_JXR, "JPEG XR Image Format", "1,8,16,24,32,48,96", &S::JXRBPP},
    {"pbm", FIF_PBM, "Portable Bitmap", "1", &S::PBMBPP},
    {"pcx", -1, "", "", &S::PCXBPP},
    {"pfm", FIF_PFM, "Portable Floatmap", "96", &S::PFMBPP},
    {"pgm", FIF_PGM, "Portable Greymap", "8", &S::PGMBPP},
    {"png", FIF_PNG, "Portable Network Graphics", "1,4,8,24,32,48", &S::PNGBPP},
    {"ppm", FIF_PPM, "Portable Pixelmap", "24,48", &S::PPMBPP},
    {"psd", -1, "", "", &S::PSDBPP},
    {"tga", FIF_TARGA, "Truevision Targa", "8,16,24,32", &S::TGABPP},
    {"tiff", FIF_TIFF, "Tagged Image File Format", "1,4,8,24,32,48,96", &S::TIFFBPP},
    {"wbmp", FIF_WBMP, "Wireless Bitmap", "1", &S::WBMPBPP},
    {"webp", FIF_WEBP, "Google WebP Image Format", "24,32", &S::WEBPBPP},
    {"xpm", FIF_XPM, "X11 Pixmap Format", "24", &S::XPMBPP},
};

// A setting whose value picks one flag from a list; values outside give 0.
int Pick(int value, std::span<const int> flags) {
  return value >= 0 && static_cast<size_t>(value) < flags.size() ? flags[static_cast<size_t>(value)] : 0;
}

constexpr int kBmpCompression[] = {0, BMP_SAVE_RLE};
constexpr int kExrCompression[] = {EXR_NONE, EXR_ZIP, EXR_PIZ, EXR_PXR24, EXR_B44};
constexpr int kJpgChroma[] = {JPEG_SUBSAMPLING_444, JPEG_SUBSAMPLING_422, JPEG_SUBSAMPLING_420,
                              JPEG_SUBSAMPLING_411};
constexpr int kJpgSaveAs[] = {0, JPEG_BASELINE, JPEG_OPTIMIZE, JPEG_PROGRESSIVE};
constexpr int kPngCompression[] = {PNG_Z_NO_COMPRESSION, PNG_Z_BEST_SPEED, PNG_Z_DEFAULT_COMPRESSION,
                                   PNG_Z_BEST_COMPRESSION};
constexpr int kTgaCompression[] = {0, TARGA_SAVE_RLE};
constexpr int kTiffCompression[] = {TIFF_NONE,          TIFF_CCITTFAX3, TIFF_CCITTFAX4,
                                    TIFF_PACKBITS,      TIFF_DEFLATE,   TIFF_ADOBE_DEFLATE,
                                    TIFF_LZW,           TIFF_JPEG,      TIFF_LOGLUV};

struct FlagRule {
  std::string_view extension;
  int (*flags)(const S&);
};

const FlagRule kFlagRules[] = {
    {"bmp", [](const S& s) { return Pick(s.BMPCompression, kBmpCompression); }},
    {"exr", [](const S& s) { return Pick(s.EXRCompression, kExrCompression); }},
    {"jpg",
     [](const S& s) { return s.JPGQuality | Pick(s.JPGChroma, kJpgChroma) | Pick(s.JPGSaveAs, kJpgSaveAs); }},
    {"jxr", [](const S&) { return JXR_LOSSLESS; }},
    {"png",
     [](const S& s) { return Pick(s.PNGCompression, kPngCompression) | (s.PNGInterlaced ? PNG_INTERLACED : 0); }},
    {"tga", [](const S& s) { return Pick(s.TGACompression, kTgaCompression); }},
    {"tiff",
     [](const S& s) { return Pick(s.TIFFCompression, kTiffCompression) | (s.TIFFColorModel == 1 ? TIFF_CMYK : 0); }},
    {"webp", [](const S&) { return WEBP_LOSSLESS; }},
};

}  // namespace

std::span<const InputFormat> InputFormatCatalogue() { return kInputFormats; }
std::span<const OutputFormat> OutputFormatTable() { return kOutputFormats; }

const InputFormat* FindInputFormat(std::string_view extension) {
  for (const InputFormat& f : kInputFormats)
    if (f.extension == extension) return &f;
  return nullptr;
}

const OutputFormat* FindFormatOptions(std::string_view extension) {
  for (const OutputFormat& f : kOutputFormats)
    if (f.extension == extension) return &f;
  return nullptr;
}

const OutputFormat* FindOutputFormat(std::string_view extension) {
  const OutputFormat* f = FindFormatOptions(extension);
  return f && f->fif >= 0 ? f : nullptr;
}

std::vector<int> BitDepthList(const OutputFormat& format) {
  std::vector<int> depths;
  for (const std::string& part : platform::Split(format.bitDepths, ',')) {
    if (part.empty()) continue;
    int value = 0;
    std::from_chars(part.data(), part.data() + part.size(), value);
    depths.push_back(value);
  }
  return depths;
}

int EncoderFlags(std::string_view extension, const settings::AppSettings& s) {
  for (const FlagRule& rule : kFlagRules)
    if (rule.extension == extension) return rule.flags(s);
  return 0;
}

int ChooseBitDepth(std::string_view extension, int sourceDepth) {
  const OutputFormat* format = FindOutputFormat(extension);
  if (!format) return 0;
  std::vector<int> depths = BitDepthList(*format);
  if (depths.empty()) return 0;
  for (int d : depths)
    if (d >= sourceDepth) return d;
  return depths.back();
}

}  // namespace tq::engine
