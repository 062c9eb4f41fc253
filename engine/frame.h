#pragma once
#include <FreeImage.h>

#include <string>

#include "engine/picture.h"
#include "platform/canvas.h"

namespace tq::engine {

// Step 11: paints the solid frame over the picture's outer border. Any
// non-zero Do Frame makes the picture 24-bit first; the picture keeps its size.
Picture ApplyFrame(Picture picture, int width, int height);

// Colour text RRGGBB with the given alpha (clamped to 0..255); a text that
// is not six characters long gives black.
platform::Rgba HexToColorAlpha(const std::string& hex, int alpha);

}  // namespace tq::engine
