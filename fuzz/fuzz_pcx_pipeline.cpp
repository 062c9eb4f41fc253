// PCX bytes through the reader and then the whole pipeline, with a few
// setting combinations picked by the first byte.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/conversion_context.h"
#include "engine/formats.h"
#include "engine/pcx_reader.h"
#include "engine/pipeline.h"
#include "settings/defaults.h"

namespace {

using namespace tq;

void Configure(std::uint8_t pick) {
  settings::AppSettings& s = settings::g_settings;
  settings::SetDefaultSettings(1, s);
  engine::g_context.OutputBitDepth = 0;
  engine::g_context.AutoBitDepth = 1;
  switch (pick % 6) {
    case 0: break;
    case 1:
      s.DoImageRotation = 1;
      s.TransformImageRotation = 90 + pick % 3;
      s.DoImageResize = 1;
      s.ImageWidth = 50;
      s.ImageHeight = 50;
      s.ImageWidthUnit = s.ImageHeightUnit = 1;
      s.KeepAspectRatio = 1;
      break;
    case 2:
      s.DoImageColorCorrection = 1;
      s.ImageGamma = 1.7f;
      s.ImageInvert = 1;
      s.DoImageGreyscale = 1;
      s.DoImageThreshold = 1;
      s.ImageThreshold = 128;
      break;
    case 3:
      s.DoFrame = 1;
      s.SolidLeft = s.SolidTop = 3;
      s.SolidRight = s.SolidBottom = 2;
      s.SolidOpacity = 128;
      break;
    case 4:
      engine::g_context.AutoBitDepth = 0;
      engine::g_context.OutputBitDepth = 8;
      s.BMPColorTable = 1;
      s.BMPCompression = 1;
      break;
    case 5:
      engine::g_context.AutoBitDepth = 0;
      engine::g_context.OutputBitDepth = (pick & 8) ? 1 : 16;
      s.DoImageFlipHorizontal = s.DoImageFlipVertical = 1;
      break;
  }
  engine::g_context.OutputSaveFlags = engine::EncoderFlags("bmp", s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The reader alone, on the bytes as they are.
  engine::Picture direct = engine::DecodePcx(data + 1, size - 1);
  if (!direct) return 0;  // refused files have nothing more to show
  direct.reset();

  static const std::string dir = [] {
    char pattern[] = "/tmp/tq-fuzz-pcx-XXXXXX";
    return std::string(mkdtemp(pattern)) + "/";
  }();
  engine::ResetConversionState();
  engine::g_context.InputPath = dir + "in.pcx";
  engine::g_context.OutputFolder = dir;
  engine::g_context.OutputExtension = "bmp";
  engine::g_context.OutputFormatId = 0;
  FILE* f = std::fopen(engine::g_context.InputPath.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 1, 1, size - 1, f);
  std::fclose(f);
  Configure(data[0]);
  engine::ConvertFile();
  std::remove((dir + "in.bmp").c_str());
  return 0;
}
