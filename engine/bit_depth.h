#pragma once
#include "engine/picture.h"

namespace tq::engine {

// Converts the picture to g_context.OutputBitDepth (already the automatic
// depth when AutoBitDepth is set); an unlisted depth gives no picture.
Picture ConvertBitDepth(Picture picture);

}  // namespace tq::engine
