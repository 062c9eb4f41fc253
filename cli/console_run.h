#pragma once
#include <string_view>

namespace tq::cli {

// True when `text` is one of the output extensions, letter case included.
bool IsOutputExtension(std::string_view text);
// True when `depth` is 0 or one of the depths the format offers.
bool IsValidBitDepth(std::string_view format, int depth);

// The run after the banner: checks in a fixed order, the debug lines, the file
// added and converted on a worker thread, the outcome. Returns the exit
// status: 0 when the file was converted, 1 after an "Error: " line or
// "Conversion stopped".
int RunConsoleConversion(bool quiet);

}  // namespace tq::cli
