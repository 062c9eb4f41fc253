#include "engine/pipeline.h"

#include "engine/bit_depth.h"
#include "engine/bmp_writer.h"
#include "engine/conversion_context.h"
#include "engine/formats.h"
#include "engine/drawing.h"
#include "engine/naming.h"
#include "engine/pcx_reader.h"
#include "engine/transforms.h"
#include "engine/worker.h"
#include "platform/system.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

// A mask must never destroy the picture it converts.
bool NamesTheInput(const std::string& output, const std::string& input) {
  return output == input || platform::SameFile(output, input);
}

}  // namespace

std::int8_t ConvertFile() {
  ConversionContext& c = g_context;
  const settings::AppSettings& s = settings::g_settings;

  Picture picture = LoadPcx(c.InputPath);
  int width = picture ? static_cast<int>(FreeImage_GetWidth(picture.get())) : 0;
  int height = picture ? static_cast<int>(FreeImage_GetHeight(picture.get())) : 0;
  c.SourceBitDepth = picture ? static_cast<int>(FreeImage_GetBPP(picture.get())) : 0;
  if (width == 0 || height == 0) return 0;

  picture = ApplyRotation(std::move(picture));
  PassPauseGate();
  if (picture) {
    width = static_cast<int>(FreeImage_GetWidth(picture.get()));
    height = static_cast<int>(FreeImage_GetHeight(picture.get()));
  }
  picture = ApplyResize(std::move(picture), width, height);
  PassPauseGate();

  // Size and depth for names and the watermark text are settled here.
  c.ResultWidth = picture ? static_cast<int>(FreeImage_GetWidth(picture.get())) : 0;
  c.ResultHeight = picture ? static_cast<int>(FreeImage_GetHeight(picture.get())) : 0;
  if (c.AutoBitDepth == 1) c.OutputBitDepth = ChooseBitDepth(c.OutputExtension, c.SourceBitDepth);

  ApplyFlips(picture.get());
  picture = ApplyColorCorrection(std::move(picture));
  picture = ApplyGreyscale(std::move(picture));
  picture = ApplyThreshold(std::move(picture));
  PassPauseGate();
  if (s.DoFrame != 0 || s.DoWatermark != 0) {
    // Without its drawing module the program cannot draw what was asked.
    const DrawingApi* drawing = Drawing();
    if (!drawing) return 0;
    if (s.DoFrame != 0) picture = drawing->applyFrame(std::move(picture), c.ResultWidth, c.ResultHeight);
    if (s.DoWatermark != 0) picture = drawing->applyWatermark(std::move(picture), c.ResultWidth, c.ResultHeight);
  }
  PassPauseGate();
  picture = ConvertBitDepth(std::move(picture));

  c.OutputPath = OutputFilePath();
  if (!picture || NamesTheInput(c.OutputPath, c.InputPath)) return 0;
  if (c.OutputExtension == "bmp" && c.OutputBitDepth == 8 && s.BMPColorTable == 1)
    return SaveExactPaletteBmp(picture.get(), c.OutputPath);
  return SavePicture(picture.get(), c.OutputPath);
}

}  // namespace tq::engine
