// The drawing module's one entry point: a table of the functions the
// program calls through engine::Drawing().
#include "engine/drawing.h"
#include "engine/frame.h"
#include "engine/watermark.h"
#include "engine/watermark_font.h"
#include "platform/picture_files.h"

namespace {

const tq::engine::DrawingApi kApi = {
    &tq::engine::ApplyFrame,
    &tq::engine::ApplyWatermark,
    &tq::engine::LoadWatermarkFont,
    &tq::engine::FreeWatermarkFont,
    [](const std::string& path) { return tq::platform::LoadPictureFile(path).has_value(); },
};

}  // namespace

extern "C" const tq::engine::DrawingApi* tq_drawing_api() { return &kApi; }
