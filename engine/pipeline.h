#pragma once
#include <cstdint>

namespace tq::engine {

// Converts g_context.InputPath with the current settings through the fixed
// steps: load, rotation, resize, flips, colour correction, greyscale,
// threshold, frame, watermark, bit depth, output name, save.
// Returns 1 when the output file was written, 0 otherwise.
std::int8_t ConvertFile();

}  // namespace tq::engine
