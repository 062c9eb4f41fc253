#include "cli/switches.h"

#include <sys/stat.h>

#include <type_traits>

#include "cli/keywords.h"
#include "cli/value_readers.h"
#include "platform/ini.h"
#include "platform/text_util.h"

namespace tq::cli {
namespace {

using S = settings::AppSettings;
using settings::Byte;
using settings::FieldRef;
using settings::Int;
using K = SwitchKind;

constexpr SwitchRow Value(std::string_view name, K kind, FieldRef field, Byte S::*also = nullptr,
                          Byte alsoValue = 1) {
  return SwitchRow{name, name, kind, kNoKeywordTable, field, 0, also, alsoValue};
}
constexpr SwitchRow Word(std::string_view name, int table, FieldRef field) {
  return SwitchRow{name, name, K::Word, table, field, 0, nullptr, 0};
}
constexpr SwitchRow Flag(std::string_view name, Byte S::*field, Byte value = 1, Byte S::*also = nullptr) {
  return SwitchRow{name, name, K::Flag, kNoKeywordTable, field, value, also, 1};
}
constexpr SwitchRow ProfileKey(SwitchRow row, std::string_view key) {
  row.profileKey = key;
  return row;
}

const SwitchRow kSwitches[] = {
    // Input formats
    Word("--DDS-LOAD-AS", kDdsLoadMode, &S::DDSLoadAs),
    Word("--GIF-FRAME-LOADING", kFrameLoading, &S::GIFFrameLoading),
    Word("--ICO-FRAME-LOADING", kFrameLoading, &S::ICOFrameLoading),
    Word("--TIFF-FRAME-LOADING", kFrameLoading, &S::TIFFFrameLoading),
    Word("--RAW-LOAD-AS", kRawLoadMode, &S::RAWLoadAs),
    Value("--RAW-HEADER-SIZE", K::Num, &S::RAWHeaderSize),
    Value("--RAW-WIDTH", K::Num, &S::RAWImageWidth),
    Value("--RAW-HEIGHT", K::Num, &S::RAWImageHeight),
    Word("--RAW-TONE-MAPPING", kToneMapping, &S::RAWToneMapping),

    // Output formats
    Value("--BMP-BPP", K::Num, &S::BMPBPP),
    Value("--DDS-BPP", K::Num, &S::DDSBPP),
    Value("--EXR-BPP", K::Num, &S::EXRBPP),
    Value("--GIF-BPP", K::Num, &S::GIFBPP),
    Value("--HDR-BPP", K::Num, &S::HDRBPP),
    Value("--ICO-BPP", K::Num, &S::ICOBPP),
    Value("--J2K-BPP", K::Num, &S::J2KBPP),
    Value("--JNG-BPP", K::Num, &S::JNGBPP),
    Value("--JP2-BPP", K::Num, &S::JP2BPP),
    Value("--JPG-BPP", K::Num, &S::JPGBPP),
    Value("--JXR-BPP", K::Num, &S::JXRBPP),
    Value("--PBM-BPP", K::Num, &S::PBMBPP),
    Value("--PCX-BPP", K::Num, &S::PCXBPP),
    Value("--PFM-BPP", K::Num, &S::PFMBPP),
    Value("--PGM-BPP", K::Num, &S::PGMBPP),
    Value("--PNG-BPP", K::Num, &S::PNGBPP),
    Value("--PPM-BPP", K::Num, &S::PPMBPP),
    Value("--PSD-BPP", K::Num, &S::PSDBPP),
    Value("--TGA-BPP", K::Num, &S::TGABPP),
    Value("--TIFF-BPP", K::Num, &S::TIFFBPP),
    Value("--WBMP-BPP", K::Num, &S::WBMPBPP),
    Value("--WEBP-BPP", K::Num, &S::WEBPBPP),
    Value("--XPM-BPP", K::Num, &S::XPMBPP),
    Word("--BMP-COMPRESSION", kCompression, &S::BMPCompression),
    Word("--EXR-COMPRESSION", kCompression, &S::EXRCompression),
    Word("--PNG-COMPRESSION", kCompression, &S::PNGCompression),
    Word("--TGA-COMPRESSION", kCompression, &S::TGACompression),
    Word("--TIFF-COMPRESSION", kCompression, &S::TIFFCompression),
    Word("--BMP-COLOR-TABLE", kColorTable, &S::BMPColorTable),
    Value("--JPG-QUALITY", K::Num, &S::JPGQuality),
    Word("--JPG-CHROMA", kChromaSubsampling, &S::JPGChroma),
    Word("--JPG-SAVE-AS", kJpegSaveMode, &S::JPGSaveAs),
    Flag("--PNG-INTERLACED", &S::PNGInterlaced),
    Word("--TIFF-COLOR-MODEL", kColorModel, &S::TIFFColorModel),

    // Transform and adjustment
    Value("--ROTATION", K::Num, &S::TransformImageRotation, &S::DoImageRotation),
    Word("--ROTATION-TYPE", kRotationType, &S::ImageRotationType),
    Value("--ROTATION-BACK-COLOR", K::Text, &S::ImageRotationBackColor),
    Value("--WIDTH", K::Num, &S::ImageWidth, &S::DoImageResize),
    Value("--HEIGHT", K::Num, &S::ImageHeight, &S::DoImageResize),
    Word("--WIDTH-UNIT", kSizeUnit, &S::ImageWidthUnit),
    Word("--HEIGHT-UNIT", kSizeUnit, &S::ImageHeightUnit),
    Flag("--KEEP-ASPECT-RATIO", &S::KeepAspectRatio),
    Word("--RESIZE-TYPE", kResizeType, &S::ImageResizeType),
    Word("--RESIZE-ALGORITHM", kResizeAlgorithm, &S::ImageResizeAlgorithm),
    Flag("--FLIP-HORIZONTAL", &S::DoImageFlipHorizontal),
    Flag("--FLIP-VERTICAL", &S::DoImageFlipVertical),
    Value("--BRIGHTNESS", K::Num, &S::ImageBrightness, &S::DoImageColorCorrection),
    Value("--CONTRAST", K::Num, &S::ImageContrast, &S::DoImageColorCorrection),
    Value("--GAMMA", K::Real, &S::ImageGamma, &S::DoImageColorCorrection),
    Flag("--INVERT", &S::ImageInvert, 1, &S::DoImageColorCorrection),
    Flag("--GREYSCALE", &S::DoImageGreyscale),
    Value("--THRESHOLD", K::Num, &S::ImageThreshold, &S::DoImageThreshold),

    // Frame
    Value("--FR-SOLID-LEFT", K::Num, &S::SolidLeft, &S::DoFrame),
    Value("--FR-SOLID-RIGHT", K::Num, &S::SolidRight, &S::DoFrame),
    Value("--FR-SOLID-TOP", K::Num, &S::SolidTop, &S::DoFrame),
    Value("--FR-SOLID-BOTTOM", K::Num, &S::SolidBottom, &S::DoFrame),
    Value("--FR-SOLID-LEFT-COLOR", K::Text, &S::SolidLeftColor),
    Value("--FR-SOLID-RIGHT-COLOR", K::Text, &S::SolidRightColor),
    Value("--FR-SOLID-TOP-COLOR", K::Text, &S::SolidTopColor),
    Value("--FR-SOLID-BOTTOM-COLOR", K::Text, &S::SolidBottomColor),
    // Profiles have always spelt this key with the watermark prefix.
    ProfileKey(Value("--FR-SOLID-OPACITY", K::Num, &S::SolidOpacity), "--WM-SOLID-OPACITY"),

    // Watermark
    Value("--WM-TEXT", K::Text, &S::WatermarkText, &S::DoWatermark, 1),
    Value("--WM-FONT", K::Text, &S::WatermarkFont),
    Value("--WM-FONT-SIZE", K::Num, &S::FontSize),
    Value("--WM-FONT-LEADING", K::Num, &S::FontLeading),
    Value("--WM-FONT-COLOR", K::Text, &S::FontColor),
    Word("--WM-FONT-STYLE", kFontStyle, &S::FontStyle),
    Word("--WM-FONT-EFFECT", kFontEffect, &S::FontEffect),
    Flag("--WM-TEXT-ANTIALIASING", &S::TextAntialiasing),
    Word("--WM-TEXT-ALIGNMENT", kTextAlignment, &S::TextAlignment),
    Value("--WM-TEXT-PADDING", K::Num, &S::TextPadding),
    Value("--WM-TEXT-OPACITY", K::Num, &S::TextOpacity),
    Value("--WM-BACK-COLOR", K::Text, &S::BackColor),
    Value("--WM-BACK-OPACITY", K::Num, &S::BackOpacity),
    Word("--WM-TEXT-BOUNDARY", kBoundary, &S::TextBoundary),
    Word("--WM-TEXT-POSITION", kPosition, &S::TextPosition),
    Value("--WM-TEXT-X-OFFSET", K::Num, &S::TextXOffset),
    Value("--WM-TEXT-Y-OFFSET", K::Num, &S::TextYOffset),
    Value("--WM-TEXT-ROTATION", K::Num, &S::TextRotation),
    Word("--WM-TEXT-SIZE", kSizeMode, &S::TextSize),
    Value("--WM-IMAGE", K::Text, &S::WatermarkImage, &S::DoWatermark, 2),
    Flag("--WM-IMAGE-GREYSCALE", &S::ImageGreyscale),
    Value("--WM-IMAGE-OPACITY", K::Num, &S::ImageOpacity),
    Word("--WM-IMAGE-BOUNDARY", kBoundary, &S::ImageBoundary),
    Word("--WM-IMAGE-POSITION", kPosition, &S::ImagePosition),
    Value("--WM-IMAGE-X-OFFSET", K::Num, &S::ImageXOffset),
    Value("--WM-IMAGE-Y-OFFSET", K::Num, &S::ImageYOffset),
    Value("--WM-IMAGE-ROTATION", K::Num, &S::WatermarkImageRotation),
    Word("--WM-IMAGE-SIZE", kSizeMode, &S::ImageSize),

    // Output naming and time stamps
    Value("--FILENAME-MASK", K::Mask, &S::FilenameMask),
    Word("--FILE-TIMESTAMP", kFileTimestamp, &S::FileTimestamp),
    Value("--FILE-TIMESTAMP-CUSTOM", K::Num, &S::CustomTimestamp),
    Flag("--NO-SUBFOLDERS", &S::KeepSubfolders, 0),
};

template <typename T>
using FieldType = std::remove_cv_t<std::remove_reference_t<T>>;

// Integers keep the low bits of the field's width, as the settings file does.
void StoreInteger(const FieldRef& field, long long value, S& s) {
  std::visit(
      [&](auto member) {
        using T = FieldType<decltype(s.*member)>;
        if constexpr (std::is_integral_v<T>) s.*member = static_cast<T>(static_cast<std::make_unsigned_t<T>>(value));
      },
      field);
}

void StoreReal(const FieldRef& field, float value, S& s) {
  std::visit(
      [&](auto member) {
        if constexpr (std::is_same_v<FieldType<decltype(s.*member)>, settings::Real>) s.*member = value;
      },
      field);
}

void StoreText(const FieldRef& field, std::string_view value, S& s) {
  std::visit(
      [&](auto member) {
        if constexpr (std::is_same_v<FieldType<decltype(s.*member)>, std::string>) s.*member = std::string(value);
      },
      field);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::span<const SwitchRow> SwitchTable() { return kSwitches; }

const SwitchRow* FindSwitch(std::string_view name) {
  for (const SwitchRow& row : kSwitches)
    if (row.name == name) return &row;
  return nullptr;
}

const SwitchRow* FindProfileKey(std::string_view key) {
  for (const SwitchRow& row : kSwitches)
    if (row.profileKey == key) return &row;
  return nullptr;
}

bool TakesQuotedText(const SwitchRow& row) { return row.kind == K::Text || row.kind == K::Mask; }

void ApplySwitch(const SwitchRow& row, std::string_view value, S& s) {
  if (row.alsoSets) s.*row.alsoSets = row.alsoValue;
  switch (row.kind) {
    case K::Flag: StoreInteger(row.field, row.flagValue, s); break;
    case K::Num: StoreInteger(row.field, ReadNum(value), s); break;
    case K::Real: StoreReal(row.field, ReadReal(value), s); break;
    case K::Word: StoreInteger(row.field, KeywordValue(row.table, platform::Trim(value)), s); break;
    case K::Text:
    case K::Mask: StoreText(row.field, value, s); break;
  }
}

bool LoadProfile(const std::string& path, S& s) {
  // A folder, a device or a pipe is no profile; reading one could never end.
  if (path.empty() || !IsRegularFile(path)) return false;
  std::optional<platform::IniFile> file = platform::IniFile::Load(path);
  if (!file) return false;
  const platform::IniGroup* group = file->Group("CLI");
  if (!group) return true;
  for (const platform::IniEntry& entry : group->entries) {
    const SwitchRow* row = FindProfileKey(platform::UpperAscii(entry.key));
    if (!row) continue;
    std::string_view value = entry.value;
    // A profile keeps the quotes of its texts, but not around the mask.
    if (row->kind == K::Text) value = platform::Trim(value);
    if (row->kind == K::Mask) value = platform::Trim(value, "\"");
    ApplySwitch(*row, value, s);
  }
  return true;
}

}  // namespace tq::cli
