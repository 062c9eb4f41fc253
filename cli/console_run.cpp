#include "cli/console_run.h"

#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <variant>

#include "app/build_info.h"
#include "cli/keywords.h"
#include "engine/conversion_context.h"
#include "engine/formats.h"
#include "engine/input_files.h"
#include "engine/drawing.h"
#include "engine/worker.h"
#include "platform/console.h"
#include "platform/system.h"
#include "platform/text_util.h"
#include "settings/app_settings.h"
#include "settings/settings_table.h"
#include "text/text_table.h"

namespace tq::cli {
namespace {

using S = settings::AppSettings;
using settings::FieldRef;
using Condition = bool (*)(const S&);

constexpr int kNone = kNoKeywordTable;

// A setting as the debug lines show it: keywords in lower case, gamma with
// two decimals, every other number in decimal, texts as stored.
std::string ShownValue(const FieldRef& field, int table, const S& s) {
  return std::visit(
      [&](auto member) -> std::string {
        using T = std::remove_cv_t<std::remove_reference_t<decltype(s.*member)>>;
        if constexpr (std::is_same_v<T, std::string>) {
          return s.*member;
        } else if constexpr (std::is_same_v<T, settings::Real>) {
          char buffer[64];
          std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(s.*member));
          return buffer;
        } else {
          int value = static_cast<int>(s.*member);
          return table == kNone ? std::to_string(value) : KeywordText(table, value);
        }
      },
      field);
}

// A debug line of one format's options.
struct FormatLine {
  std::string_view format;
  std::string_view label;
  FieldRef field;
  int table = kNone;
};

constexpr FormatLine kInputFormatLines[] = {
    {"dds", "DDS Load As: ", &S::DDSLoadAs, kDdsLoadMode},
    {"gif", "GIF Frame Loading: ", &S::GIFFrameLoading, kFrameLoading},
    {"ico", "ICO Frame Loading: ", &S::ICOFrameLoading, kFrameLoading},
    {"raw", "RAW Load As: ", &S::RAWLoadAs, kRawLoadMode},
    {"raw", "RAW Header Size: ", &S::RAWHeaderSize},
    {"raw", "RAW Image Width: ", &S::RAWImageWidth},
    {"raw", "RAW Image Height: ", &S::RAWImageHeight},
    {"raw", "RAW Tone Mapping: ", &S::RAWToneMapping, kToneMapping},
    {"tiff", "TIFF Frame Loading: ", &S::TIFFFrameLoading, kFrameLoading},
};

// The lines after each format's "... BPP: " line.
constexpr FormatLine kOutputFormatLines[] = {
    {"bmp", "BMP Compression: ", &S::BMPCompression, kCompression},
    {"bmp", "BMP Color Table: ", &S::BMPColorTable, kColorTable},
    {"exr", "EXR Compression: ", &S::EXRCompression, kCompression},
    {"jpg", "JPG Quality: ", &S::JPGQuality},
    {"jpg", "JPG Chroma Subsampling: ", &S::JPGChroma, kChromaSubsampling},
    {"jpg", "JPG Save As: ", &S::JPGSaveAs, kJpegSaveMode},
    {"png", "PNG Compression: ", &S::PNGCompression, kCompression},
    {"png", "PNG Interlaced: ", &S::PNGInterlaced},
    {"tga", "TGA Compression: ", &S::TGACompression, kCompression},
    {"tiff", "TIFF Compression: ", &S::TIFFCompression, kCompression},
    {"tiff", "TIFF Color Model: ", &S::TIFFColorModel, kColorModel},
};

// One step of the settings part of the run: a debug line, a check, or both,
// taken only when its condition holds. A second value follows the first
// after `joiner` when the joiner is not empty.
struct RunStep {
  Condition when = nullptr;  // nullptr: always
  std::string_view label = {};  // "": no debug line
  FieldRef field = &S::DoFrame;
  int table = kNone;
  std::string_view joiner = {};
  FieldRef second = &S::DoFrame;
  int secondTable = kNone;
  Condition valid = nullptr;  // nullptr: no check
  std::string_view error = {};
};

constexpr RunStep Show(Condition when, std::string_view label, FieldRef field, int table = kNone) {
  RunStep step;
  step.when = when;
  step.label = label;
  step.field = field;
  step.table = table;
  return step;
}
constexpr RunStep Pair(Condition when, std::string_view label, FieldRef field, int table,
                       std::string_view joiner, FieldRef second, int secondTable) {
  RunStep step = Show(when, label, field, table);
  step.joiner = joiner;
  step.second = second;
  step.secondTable = secondTable;
  return step;
}
constexpr RunStep Check(Condition when, Condition valid, std::string_view error) {
  RunStep step;
  step.when = when;
  step.valid = valid;
  step.error = error;
  return step;
}

// The watermark font lives from its check to the end of the run.
bool g_fontLoaded = false;
bool LoadFont(const S&) {
  const engine::DrawingApi* drawing = engine::Drawing();
  return g_fontLoaded = drawing && drawing->loadWatermarkFont();
}

bool Rotating(const S& s) { return s.DoImageRotation != 0; }
bool Resizing(const S& s) { return s.DoImageResize != 0; }
bool Correcting(const S& s) { return s.DoImageColorCorrection != 0; }
bool Thresholding(const S& s) { return s.DoImageThreshold != 0; }
bool SolidFrame(const S& s) { return s.DoFrame == 1; }
bool TextMark(const S& s) { return s.DoWatermark == 1; }
bool ImageMark(const S& s) { return s.DoWatermark == 2; }
bool CustomTime(const S& s) { return s.FileTimestamp == 2; }
bool InPercentRange(int v) { return v >= -100 && v <= 100; }

constexpr Condition kAlways = nullptr;

const RunStep kSettingSteps[] = {
    Show(Rotating, "Image Rotation Type: ", &S::ImageRotationType, kRotationType),
    Show(Rotating, "Image Rotation: ", &S::TransformImageRotation),
    Show(Rotating, "Image Rotation Back Color: ", &S::ImageRotationBackColor),

    // Both sizes are needed, even when the aspect ratio is kept.
    Pair(Resizing, "Width: ", &S::ImageWidth, kNone, " ", &S::ImageWidthUnit, kSizeUnit),
    Check(Resizing, [](const S& s) { return s.ImageWidth != 0; }, "Error: Invalid width value"),
    Pair(Resizing, "Height: ", &S::ImageHeight, kNone, " ", &S::ImageHeightUnit, kSizeUnit),
    Check(Resizing, [](const S& s) { return s.ImageHeight != 0; }, "Error: Invalid height value"),
    Show(Resizing, "Keep Aspect Ratio: ", &S::KeepAspectRatio),
    Show(Resizing, "Image Resize Type: ", &S::ImageResizeType, kResizeType),
    Show(Resizing, "Image Resize Algorithm: ", &S::ImageResizeAlgorithm, kResizeAlgorithm),

    Show(kAlways, "Flip Horizontal: ", &S::DoImageFlipHorizontal),
    Show(kAlways, "Flip Vertical: ", &S::DoImageFlipVertical),

    Show(Correcting, "Brightness: ", &S::ImageBrightness),
    Check(Correcting, [](const S& s) { return InPercentRange(s.ImageBrightness); }, "Error: Invalid brightness value"),
    Show(Correcting, "Contrast: ", &S::ImageContrast),
    Check(Correcting, [](const S& s) { return InPercentRange(s.ImageContrast); }, "Error: Invalid contrast value"),
    Show(Correcting, "Gamma: ", &S::ImageGamma),
    // Both bounds included and compared in single precision.
    Check(Correcting, [](const S& s) { return s.ImageGamma >= 0.01f && s.ImageGamma <= 9.99f; },
          "Error: Invalid gamma value"),
    Show(Correcting, "Invert: ", &S::ImageInvert),

    Show(kAlways, "Greyscale: ", &S::DoImageGreyscale),
    Show(Thresholding, "Image Threshold: ", &S::ImageThreshold),

    Show(kAlways, "Frame: ", &S::DoFrame, kFrameKind),
    Show(SolidFrame, "Frame left: ", &S::SolidLeft),
    Show(SolidFrame, "Frame right: ", &S::SolidRight),
    Show(SolidFrame, "Frame top: ", &S::SolidTop),
    Show(SolidFrame, "Frame bottom: ", &S::SolidBottom),
    Show(SolidFrame, "Frame left color: ", &S::SolidLeftColor),
    Show(SolidFrame, "Frame right color: ", &S::SolidRightColor),
    Show(SolidFrame, "Frame top color: ", &S::SolidTopColor),
    Show(SolidFrame, "Frame bottom color: ", &S::SolidBottomColor),
    Show(SolidFrame, "Frame opacity: ", &S::SolidOpacity),

    Show(kAlways, "Watermark: ", &S::DoWatermark, kWatermarkKind),
    Show(TextMark, "Watermark text: ", &S::WatermarkText),
    Show(TextMark, "Watermark font: ", &S::WatermarkFont),
    Show(TextMark, "Watermark font size: ", &S::FontSize),
    Show(TextMark, "Watermark font leading: ", &S::FontLeading),
    Show(TextMark, "Watermark font color: ", &S::FontColor),
    Show(TextMark, "Watermark font style: ", &S::FontStyle, kFontStyle),
    Show(TextMark, "Watermark font effect: ", &S::FontEffect, kFontEffect),
    Show(TextMark, "Watermark text antialiasing: ", &S::TextAntialiasing),
    Show(TextMark, "Watermark text alignment: ", &S::TextAlignment, kTextAlignment),
    Show(TextMark, "Watermark text padding: ", &S::TextPadding),
    Show(TextMark, "Watermark text opacity: ", &S::TextOpacity),
    Show(TextMark, "Watermark background color: ", &S::BackColor),
    Show(TextMark, "Watermark background opacity: ", &S::BackOpacity),
    Show(TextMark, "Watermark boundary: ", &S::TextBoundary, kBoundary),
    Show(TextMark, "Watermark position: ", &S::TextPosition, kPosition),
    Pair(TextMark, "Watermark offset (x/y): ", &S::TextXOffset, kNone, "/", &S::TextYOffset, kNone),
    Show(TextMark, "Watermark rotation: ", &S::TextRotation),
    Show(TextMark, "Watermark size/mode: ", &S::TextSize, kSizeMode),
    Check(TextMark, LoadFont, "Error: Invalid watermark font"),
    Show(ImageMark, "Watermark image: ", &S::WatermarkImage),
    Show(ImageMark, "Watermark greyscale: ", &S::ImageGreyscale),
    Show(ImageMark, "Watermark opacity: ", &S::ImageOpacity),
    Show(ImageMark, "Watermark boundary: ", &S::ImageBoundary, kBoundary),
    Show(ImageMark, "Watermark position: ", &S::ImagePosition, kPosition),
    Pair(ImageMark, "Watermark offset (x/y): ", &S::ImageXOffset, kNone, "/", &S::ImageYOffset, kNone),
    Show(ImageMark, "Watermark rotation: ", &S::WatermarkImageRotation),
    Show(ImageMark, "Watermark size/mode: ", &S::ImageSize, kSizeMode),
    // Beyond the size test: a picture the decoders refuse (corrupt, or over
    // the pixel bound) would silently give no mark, so it is refused here.
    Check(ImageMark,
          [](const S& s) {
            const engine::DrawingApi* drawing = engine::Drawing();
            return platform::FileSize(s.WatermarkImage) > 0 && drawing &&
                   drawing->watermarkPictureLoads(s.WatermarkImage);
          },
          "Error: Invalid watermark image"),

    Show(kAlways, "Filename Mask: ", &S::FilenameMask),
    Show(kAlways, "File Timestamp: ", &S::FileTimestamp, kFileTimestamp),
    Show(CustomTime, "Custom Timestamp: ", &S::CustomTimestamp),
    Show(kAlways, "Keep Subfolders: ", &S::KeepSubfolders),
};

constexpr int kFailed = 1;
constexpr int kConverted = 0;

// Status lines only without -q, debug lines only with -d, the rest always.
class RunOutput {
 public:
  RunOutput(bool quiet, bool debug) : quiet_(quiet), debug_(debug) {}
  void Status(std::string_view line) const {
    if (!quiet_) platform::PrintLine(line);
  }
  void Debug(std::string_view line) const {
    if (debug_) platform::PrintLine(line);
  }
  bool debug() const { return debug_; }
  int Fail(std::string_view line) const {
    platform::PrintLine(line);
    return kFailed;
  }

 private:
  bool quiet_;
  bool debug_;
};

void ShowFormatLines(const RunOutput& out, std::span<const FormatLine> lines, std::string_view format,
                     const S& s) {
  for (const FormatLine& line : lines)
    if (line.format == format) out.Debug(std::string(line.label) + ShownValue(line.field, line.table, s));
}

// Debug lines and bit-depth check of the output format.
bool CheckOutputFormat(const RunOutput& out, std::string_view extension, const S& s) {
  const engine::OutputFormat* format = engine::FindFormatOptions(extension);
  if (!format) return true;  // every output extension has a row
  int depth = s.*(format->bpp);
  out.Debug(platform::UpperAscii(extension) + " BPP: " + std::to_string(depth));
  ShowFormatLines(out, kOutputFormatLines, extension, s);
  if (!IsValidBitDepth(extension, depth)) {
    out.Fail("Error: Invalid " + std::string(extension) + "-bpp value");
    return false;
  }
  if (extension == "jpg" && (s.JPGQuality < 1 || s.JPGQuality > 100)) {
    out.Fail("Error: Invalid jpg-quality value");
    return false;
  }
  return true;
}

bool RunSettingSteps(const RunOutput& out, const S& s) {
  for (const RunStep& step : kSettingSteps) {
    if (step.when && !step.when(s)) continue;
    if (!step.label.empty()) {
      std::string line = std::string(step.label) + ShownValue(step.field, step.table, s);
      if (!step.joiner.empty()) line += std::string(step.joiner) + ShownValue(step.second, step.secondTable, s);
      out.Debug(line);
    }
    if (step.valid && !step.valid(s)) {
      out.Fail(step.error);
      return false;
    }
  }
  return true;
}

// Frees the watermark font however the run ends.
struct FontRelease {
  ~FontRelease() {
    if (g_fontLoaded) engine::Drawing()->freeWatermarkFont();
    g_fontLoaded = false;
  }
};

// Relative folders are taken from the executable's folder, not the working
// folder; absolute ones begin with "/".
std::string NormalisedFolder(std::string folder, const std::string& programFolder) {
  if (folder.empty() || folder.front() != '/') {
    if (folder.rfind("./", 0) == 0) folder.erase(0, 2);
    folder = programFolder + folder;
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

bool IsOutputExtension(std::string_view text) {
  for (std::string_view e : app::OutputExtensions)
    if (e == text) return true;
  return false;
}

bool IsValidBitDepth(std::string_view format, int depth) {
  if (depth == 0) return true;
  const engine::OutputFormat* entry = engine::FindOutputFormat(format);
  if (!entry) return false;
  for (int offered : engine::BitDepthList(*entry))
    if (offered == depth) return true;
  return false;
}

int RunConsoleConversion(bool quiet) {
  engine::ConversionContext& c = engine::g_context;
  const S& s = settings::g_settings;
  const RunOutput out(quiet, c.RunMode == "DEBUG");
  FontRelease fontRelease;

  out.Status(text::LangText("General", "Preparing"));
  out.Debug("Input: " + c.SourceRoot);
  if (engine::FileExtension(c.SourceRoot).empty()) {
    c.SourceRoot.clear();
    return out.Fail("Error: Invalid input file");
  }
  c.InputPath = c.SourceRoot;
  c.SourceRoot.clear();
  if (platform::FileSize(c.InputPath) == 0) return out.Fail("Error: Invalid input file");

  if (c.OutputFolder.empty()) c.OutputFolder = engine::FolderPart(c.InputPath);
  out.Debug("Output: " + c.OutputFolder);
  if (c.OutputFolder.rfind("..", 0) == 0) return out.Fail("Error: Incorrect output folder");
  c.OutputFolder = NormalisedFolder(c.OutputFolder, c.ProgramFolder);
  if (!platform::IsFolder(c.OutputFolder)) return out.Fail("Error: Invalid output folder");

  if (c.ConsoleInputFormat.empty()) c.ConsoleInputFormat = app::InputExtensions.front();
  if (c.OutputExtension.empty()) c.OutputExtension = app::OutputExtensions.front();
  out.Debug("Conversion: " + c.OutputExtension);
  if (!IsOutputExtension(c.OutputExtension)) return out.Fail("Error: Invalid conversion type");

  ShowFormatLines(out, kInputFormatLines, c.ConsoleInputFormat, s);
  if (!CheckOutputFormat(out, c.OutputExtension, s)) return kFailed;
  if (!RunSettingSteps(out, s)) return kFailed;

  if (const engine::OutputFormat* format = engine::FindOutputFormat(c.OutputExtension)) {
    c.OutputFormatId = format->fif;
    c.OutputBitDepth = s.*(format->bpp);
  }
  c.OutputSaveFlags = engine::EncoderFlags(c.OutputExtension);
  c.AutoBitDepth = c.OutputBitDepth == 0 ? 1 : 0;

  out.Status(text::LangText("General", "Importing"));
  // The console converts the file it is given; it never reads list files.
  std::string extension = platform::LowerAscii(engine::FileExtension(c.InputPath));
  int added = extension == "txt" || extension == "lst" ? 0 : engine::AddInputFile(c.InputPath);
  out.Status(text::ExpandParams(text::LangText("Msg", "Import complete"), std::to_string(added)));
  if (added == 0) {
    out.Fail(text::LangText("Msg", "Conversion is not complete"));
    return out.Fail(text::LangText("Msg", "Empty input files"));
  }

  out.Status(text::LangText("General", "Converting"));
  {
    std::lock_guard<std::mutex> lock(engine::g_progressMutex);
    engine::g_progress = engine::ProgressFields{};
    engine::g_progress.ConversionRunning = 1;
  }
  std::thread worker([] { engine::ConversionWorker([](const std::string& line) { platform::PrintLine(line); }); });
  worker.join();

  int converted = 0;
  {
    std::lock_guard<std::mutex> lock(engine::g_progressMutex);
    converted = engine::g_progress.ConvertedCount;
  }
  if (converted == 0) return out.Fail(text::LangText("Msg", "Conversion is not complete"));
  out.Status(text::LangText("Msg", "Conversion complete"));
  out.Status(text::ExpandParams(text::LangText("Msg", "Files converted"), std::to_string(converted),
                                std::to_string(added)));
  return kConverted;
}

}  // namespace tq::cli
