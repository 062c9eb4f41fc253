#pragma once
#include <cstdint>
#include <string>

namespace tq::settings {

// Widths follow the configuration format: byte fields keep only their low
// 8 bits (300 becomes 44), dates are seconds since 1970 in local time.
using Byte = std::int8_t;
using Int = std::int32_t;
using Real = float;
using Date = std::int32_t;

struct AppSettings {
  // Run-time fields, never persisted.
  std::string ConfigPath;
  Int InstanceMutex = 0;
  Int MenuBarHeight = 0;
  Int ToolBarHeight = 0;
  Int LayoutTopOffset = 0;
  Int LayoutRowHeight = 0;
  Int StatusBarHeight = 0;

  // General
  Int CFG = 0;
  std::string Language;
  Int UpdateRange = 0;
  Date UpdateDate = 0;
  Byte SaveWindowPosition = 0;

  // Window
  Byte IsMaximized = 0;
  Int X = 0;
  Int Y = 0;
  Int WindowWidth = 0;
  Int WindowHeight = 0;

  // Interface
  std::string UITheme;
  Int UISize = 0;

  // Input
  std::string InputFormat;
  Int DDSLoadAs = 0;
  Int GIFFrameLoading = 0;
  Int ICOFrameLoading = 0;
  Int TIFFFrameLoading = 0;
  Int RAWLoadAs = 0;
  Int RAWHeaderSize = 0;
  Int RAWImageWidth = 0;
  Int RAWImageHeight = 0;
  Int RAWToneMapping = 0;

  // Output
  std::string OutputFormat;
  Int BMPBPP = 0;
  Int BMPCompression = 0;
  Int BMPColorTable = 0;
  Int DDSBPP = 0;
  Int EXRBPP = 0;
  Int EXRCompression = 0;
  Int GIFBPP = 0;
  Int HDRBPP = 0;
  Int ICOBPP = 0;
  Int J2KBPP = 0;
  Int JNGBPP = 0;
  Int JP2BPP = 0;
  Int JPGBPP = 0;
  Int JPGQuality = 0;
  Int JPGChroma = 0;
  Int JPGSaveAs = 0;
  Int JXRBPP = 0;
  Int PBMBPP = 0;
  Int PCXBPP = 0;
  Int PFMBPP = 0;
  Int PGMBPP = 0;
  Int PNGBPP = 0;
  Int PNGCompression = 0;
  Byte PNGInterlaced = 0;
  Int PPMBPP = 0;
  Int PSDBPP = 0;
  Int TGABPP = 0;
  Int TGACompression = 0;
  Int TIFFBPP = 0;
  Int TIFFCompression = 0;
  Int TIFFColorModel = 0;
  Int WBMPBPP = 0;
  Int WEBPBPP = 0;
  Int XPMBPP = 0;

  // Transform
  Byte DoImageRotation = 0;
  Byte ImageRotationType = 0;
  Int TransformImageRotation = 0;
  std::string ImageRotationBackColor;
  Byte DoImageResize = 0;
  Int ImageWidth = 0;
  Byte ImageWidthUnit = 0;
  Int ImageHeight = 0;
  Byte ImageHeightUnit = 0;
  Byte KeepAspectRatio = 0;
  Byte ImageResizeType = 0;
  Byte ImageResizeAlgorithm = 0;
  Byte DoImageFlipHorizontal = 0;
  Byte DoImageFlipVertical = 0;

  // Adjustment
  Byte DoImageColorCorrection = 0;
  Int ImageBrightness = 0;
  Int ImageContrast = 0;
  Real ImageGamma = 0;
  Byte ImageInvert = 0;
  Byte DoImageGreyscale = 0;
  Byte DoImageThreshold = 0;
  Int ImageThreshold = 0;

  // Frame
  Byte DoFrame = 0;
  Int SolidLeft = 0;
  Int SolidRight = 0;
  Int SolidTop = 0;
  Int SolidBottom = 0;
  std::string SolidLeftColor;
  std::string SolidRightColor;
  std::string SolidTopColor;
  std::string SolidBottomColor;
  Int SolidOpacity = 0;

  // Watermark
  Byte DoWatermark = 0;
  std::string WatermarkText;
  std::string WatermarkFonts;
  std::string WatermarkFont;
  Int FontSize = 0;
  Int FontLeading = 0;
  std::string FontColors;
  std::string FontColor;
  Byte FontStyle = 0;
  Byte FontEffect = 0;
  Byte TextAntialiasing = 0;
  Byte TextAlignment = 0;
  Int TextPadding = 0;
  Int TextOpacity = 0;
  std::string BackColors;
  std::string BackColor;
  Int BackOpacity = 0;
  Byte TextBoundary = 0;
  Byte TextPosition = 0;
  Int TextXOffset = 0;
  Int TextYOffset = 0;
  Int TextRotation = 0;
  Byte TextSize = 0;
  Int TextScale = 0;
  std::string WatermarkImage;
  Byte ImageGreyscale = 0;
  Int ImageOpacity = 0;
  Byte ImageBoundary = 0;
  Byte ImagePosition = 0;
  Int ImageXOffset = 0;
  Int ImageYOffset = 0;
  Int WatermarkImageRotation = 0;
  Byte ImageSize = 0;
  Int ImageScale = 0;

  // Advanced
  std::string FilenameMask;
  Byte FileTimestamp = 0;
  Date CustomTimestamp = 0;
  Byte OutFoldersHistory = 0;
  Byte OutFoldersNumber = 0;
  Byte KeepSubfolders = 0;

  // File
  std::string RecentOutFolders;
  std::string RecentFiles;

  // Privacy
  Byte CleanRecentFiles = 0;
};

// The one process-wide record. Written by the main thread only; the worker
// reads it while a conversion runs and nobody changes it meanwhile.
extern AppSettings g_settings;

}  // namespace tq::settings
