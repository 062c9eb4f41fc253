#pragma once
#include <string>

#include "engine/picture.h"

namespace tq::engine {

// The entry points of the drawing module (frames, watermarks, fonts and
// watermark pictures). The module is loaded on first use, so a conversion
// without frame or watermark never loads the drawing libraries.
struct DrawingApi {
  Picture (*applyFrame)(Picture picture, int width, int height);
  Picture (*applyWatermark)(Picture picture, int width, int height);
  bool (*loadWatermarkFont)();
  void (*freeWatermarkFont)();
  // True when the watermark picture decoders accept the file.
  bool (*watermarkPictureLoads)(const std::string& path);
};

// The module's entry points, or nullptr when it cannot be loaded.
const DrawingApi* Drawing();

}  // namespace tq::engine

// Exported by the module under this name.
extern "C" const tq::engine::DrawingApi* tq_drawing_api();
