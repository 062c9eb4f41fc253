#include "settings/settings_table.h"

#include <vector>

namespace tq::settings {
namespace {

using S = AppSettings;
using R = DefaultRule;
using W = WhenWritten;

constexpr std::string_view kColourList = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";

SettingRow Row(std::string_view group, std::string_view key, FieldRef field, std::string_view def,
               R rule = R::Fixed) {
  return SettingRow{group, key, field, def, rule};
}
SettingRow Trimmed(std::string_view group, std::string_view key, FieldRef field, std::string_view def) {
  SettingRow row = Row(group, key, field, def);
  row.trimmed = true;
  return row;
}
SettingRow WithRule(SettingRow row, R rule) {
  row.rule = rule;
  return row;
}
SettingRow Missing(SettingRow row, std::string_view missing) {
  row.missingText = missing;
  row.hasMissingText = true;
  return row;
}
SettingRow When(SettingRow row, W when, std::string_view format = {}) {
  row.when = when;
  row.format = format;
  return row;
}
SettingRow In(std::string_view fmt, std::string_view key, FieldRef field, std::string_view def) {
  return When(Row("Input", key, field, def), W::InputFormat, fmt);
}
SettingRow Out(std::string_view fmt, std::string_view key, FieldRef field, std::string_view def = "0") {
  return When(Row("Output", key, field, def), W::OutputFormat, fmt);
}

const std::vector<SettingRow>& Table() {
  static const std::vector<SettingRow> rows = {
      Missing(Row("General", "CFG", &S::CFG, "17"), "0"),
      Row("General", "Language", &S::Language, "en"),
      Row("General", "Update Range", &S::UpdateRange, "2"),
      Row("General", "Update Date", &S::UpdateDate, "", R::Now),
      Row("General", "Save Window Position", &S::SaveWindowPosition, "1"),

      When(Row("Window", "IsMaximized", &S::IsMaximized, "0"), W::WindowSaved),
      When(Row("Window", "Width", &S::WindowWidth, "510"), W::WindowSaved),
      When(Row("Window", "Height", &S::WindowHeight, "260"), W::WindowSaved),
      When(Missing(Row("Window", "X", &S::X, "", R::DesktopX), "100"), W::WindowSaved),
      When(Missing(Row("Window", "Y", &S::Y, "", R::DesktopY), "100"), W::WindowSaved),

      Row("Interface", "UI Theme", &S::UITheme, "handdrawn"),
      Row("Interface", "UI Size", &S::UISize, "2"),

      Row("Input", "Format", &S::InputFormat, "", R::FirstInputExtension),
      In("dds", "DDS Load As", &S::DDSLoadAs, "0"),
      In("gif", "GIF Frame Loading", &S::GIFFrameLoading, "0"),
      In("ico", "ICO Frame Loading", &S::ICOFrameLoading, "0"),
      In("raw", "RAW Load As", &S::RAWLoadAs, "0"),
      In("raw", "RAW Header Size", &S::RAWHeaderSize, "0"),
      In("raw", "RAW Image Width", &S::RAWImageWidth, "0"),
      In("raw", "RAW Image Height", &S::RAWImageHeight, "0"),
      In("raw", "RAW Tone Mapping", &S::RAWToneMapping, "2"),
      In("tiff", "TIFF Frame Loading", &S::TIFFFrameLoading, "0"),

      Row("Output", "Format", &S::OutputFormat, "", R::FirstOutputExtension),
      Out("bmp", "BMP BPP", &S::BMPBPP),
      Out("bmp", "BMP Compression", &S::BMPCompression),
      Out("bmp", "BMP Color Table", &S::BMPColorTable),
      Out("dds", "DDS BPP", &S::DDSBPP),
      Out("exr", "EXR BPP", &S::EXRBPP),
      Out("exr", "EXR Compression", &S::EXRCompression),
      Out("gif", "GIF BPP", &S::GIFBPP),
      Out("hdr", "HDR BPP", &S::HDRBPP),
      Out("ico", "ICO BPP", &S::ICOBPP),
      Out("j2k", "J2K BPP", &S::J2KBPP),
      Out("jng", "JNG BPP", &S::JNGBPP),
      Out("jp2", "JP2 BPP", &S::JP2BPP),
      Out("jpg", "JPG BPP", &S::JPGBPP),
      Out("jpg", "JPG Quality", &S::JPGQuality, "95"),
      Out("jpg", "JPG Chroma", &S::JPGChroma),
      Out("jpg", "JPG Save As", &S::JPGSaveAs),
      Out("jxr", "JXR BPP", &S::JXRBPP),
      Out("pbm", "PBM BPP", &S::PBMBPP),
      Out("pcx", "PCX BPP", &S::PCXBPP),
      Out("pfm", "PFM BPP", &S::PFMBPP),
      Out("pgm", "PGM BPP", &S::PGMBPP),
      Out("png", "PNG BPP", &S::PNGBPP),
      Out("png", "PNG Compression", &S::PNGCompression),
      Out("png", "PNG Interlaced", &S::PNGInterlaced),
      Out("ppm", "PPM BPP", &S::PPMBPP),
      Out("psd", "PSD BPP", &S::PSDBPP),
      Out("tga", "TGA BPP", &S::TGABPP),
      Out("tga", "TGA Compression", &S::TGACompression),
      Out("tiff", "TIFF BPP", &S::TIFFBPP),
      Out("tiff", "TIFF Compression", &S::TIFFCompression),
      Out("tiff", "TIFF Color Model", &S::TIFFColorModel),
      Out("wbmp", "WBMP BPP", &S::WBMPBPP),
      Out("webp", "WEBP BPP", &S::WEBPBPP),
      Out("xpm", "XPM BPP", &S::XPMBPP),

      Row("Transform", "Do Image Rotation", &S::DoImageRotation, "0"),
      Row("Transform", "Image Rotation Type", &S::ImageRotationType, "0"),
      Row("Transform", "Image Rotation", &S::TransformImageRotation, "0"),
      Trimmed("Transform", "Image Rotation Back Color", &S::ImageRotationBackColor, "000000"),
      Row("Transform", "Do Image Resize", &S::DoImageResize, "0"),
      Row("Transform", "Image Width", &S::ImageWidth, "0"),
      Row("Transform", "Image Width Unit", &S::ImageWidthUnit, "0"),
      Row("Transform", "Image Height", &S::ImageHeight, "0"),
      Row("Transform", "Image Height Unit", &S::ImageHeightUnit, "0"),
      Missing(Row("Transform", "Keep Aspect Ratio", &S::KeepAspectRatio, "", R::KeepAspectRatio), "1"),
      Row("Transform", "Image Resize Type", &S::ImageResizeType, "0"),
      Row("Transform", "Image Resize Algorithm", &S::ImageResizeAlgorithm, "3"),
      Row("Transform", "Do Image Flip Horizontal", &S::DoImageFlipHorizontal, "0"),
      Row("Transform", "Do Image Flip Vertical", &S::DoImageFlipVertical, "0"),

      Row("Adjustment", "Do Image Color Correction", &S::DoImageColorCorrection, "0"),
      Row("Adjustment", "Image Brightness", &S::ImageBrightness, "0"),
      Row("Adjustment", "Image Contrast", &S::ImageContrast, "0"),
      Row("Adjustment", "Image Gamma", &S::ImageGamma, "1.0"),
      Row("Adjustment", "Image Invert", &S::ImageInvert, "0"),
      Row("Adjustment", "Do Image Greyscale", &S::DoImageGreyscale, "0"),
      Row("Adjustment", "Do Image Threshold", &S::DoImageThreshold, "0"),
      Row("Adjustment", "Image Threshold", &S::ImageThreshold, "0"),

      Row("Frame", "Do Frame", &S::DoFrame, "0"),
      Row("Frame", "Solid Left", &S::SolidLeft, "0"),
      Row("Frame", "Solid Right", &S::SolidRight, "0"),
      Row("Frame", "Solid Top", &S::SolidTop, "0"),
      Row("Frame", "Solid Bottom", &S::SolidBottom, "0"),
      Trimmed("Frame", "Solid Left Color", &S::SolidLeftColor, "000000"),
      Trimmed("Frame", "Solid Right Color", &S::SolidRightColor, "000000"),
      Trimmed("Frame", "Solid Top Color", &S::SolidTopColor, "000000"),
      Trimmed("Frame", "Solid Bottom Color", &S::SolidBottomColor, "000000"),
      Row("Frame", "Solid Opacity", &S::SolidOpacity, "255"),

      Row("Watermark", "Do Watermark", &S::DoWatermark, "0"),
      WithRule(Trimmed("Watermark", "Text", &S::WatermarkText, ""), R::CompanyNotice),
      Trimmed("Watermark", "Fonts", &S::WatermarkFonts, "Arial,Tahoma,Verdana"),
      Trimmed("Watermark", "Font", &S::WatermarkFont, "Arial"),
      Row("Watermark", "Font Size", &S::FontSize, "14"),
      Row("Watermark", "Font Leading", &S::FontLeading, "0"),
      Trimmed("Watermark", "Font Colors", &S::FontColors, kColourList),
      Trimmed("Watermark", "Font Color", &S::FontColor, "FFFFFF"),
      Row("Watermark", "Font Style", &S::FontStyle, "0"),
      Row("Watermark", "Font Effect", &S::FontEffect, "0"),
      Row("Watermark", "Text Antialiasing", &S::TextAntialiasing, "0"),
      Row("Watermark", "Text Alignment", &S::TextAlignment, "0"),
      Row("Watermark", "Text Padding", &S::TextPadding, "0"),
      Row("Watermark", "Text Opacity", &S::TextOpacity, "255"),
      Trimmed("Watermark", "Back Colors", &S::BackColors, kColourList),
      Trimmed("Watermark", "Back Color", &S::BackColor, "000000"),
      Row("Watermark", "Back Opacity", &S::BackOpacity, "1"),
      Row("Watermark", "Text Boundary", &S::TextBoundary, "0"),
      Row("Watermark", "Text Position", &S::TextPosition, "8"),
      Row("Watermark", "Text X Offset", &S::TextXOffset, "10"),
      Row("Watermark", "Text Y Offset", &S::TextYOffset, "10"),
      Row("Watermark", "Text Rotation", &S::TextRotation, "0"),
      Row("Watermark", "Text Size", &S::TextSize, "0"),
      Row("Watermark", "Text Scale", &S::TextScale, "10"),
      Trimmed("Watermark", "Image", &S::WatermarkImage, ""),
      Row("Watermark", "Image Greyscale", &S::ImageGreyscale, "0"),
      Row("Watermark", "Image Opacity", &S::ImageOpacity, "255"),
      Row("Watermark", "Image Boundary", &S::ImageBoundary, "0"),
      Row("Watermark", "Image Position", &S::ImagePosition, "8"),
      Row("Watermark", "Image X Offset", &S::ImageXOffset, "10"),
      Row("Watermark", "Image Y Offset", &S::ImageYOffset, "10"),
      Row("Watermark", "Image Rotation", &S::WatermarkImageRotation, "0"),
      Row("Watermark", "Image Size", &S::ImageSize, "0"),
      Row("Watermark", "Image Scale", &S::ImageScale, "10"),

      Trimmed("Advanced", "Filename Mask", &S::FilenameMask, "%filename%.%ext%"),
      Row("Advanced", "File Timestamp", &S::FileTimestamp, "0"),
      Row("Advanced", "Custom Timestamp", &S::CustomTimestamp, "", R::Now),
      Row("Advanced", "Out Folders History", &S::OutFoldersHistory, "1"),
      Row("Advanced", "Out Folders Number", &S::OutFoldersNumber, "5"),
      Row("Advanced", "Keep Subfolders", &S::KeepSubfolders, "1"),

      Row("File", "Recent Out Folders", &S::RecentOutFolders, ""),
      Row("File", "Recent Files", &S::RecentFiles, ""),

      Row("Privacy", "Clean Recent Files", &S::CleanRecentFiles, "0"),
  };
  return rows;
}

}  // namespace

std::span<const SettingRow> SettingsTable() { return Table(); }

const SettingRow* FindSetting(std::string_view group, std::string_view key) {
  for (const SettingRow& row : Table())
    if (row.group == group && row.key == key) return &row;
  return nullptr;
}

}  // namespace tq::settings
