#pragma once
#include <cstdint>
#include <string>

#include "engine/picture.h"
#include "platform/canvas.h"

namespace tq::engine {

// Step 12: stamps the text mark (Do Watermark 1, while the watermark font is
// loaded) or the picture mark (2) onto the picture. Any non-zero Do Watermark
// makes the picture 24-bit first. Without a mark the picture comes back
// unchanged; a mark cropped to nothing fails the file (empty result).
Picture ApplyWatermark(Picture picture, int width, int height);

// The marks as 32-bit pictures with alpha; empty when none can be made.
Picture MakeTextMark();
Picture MakePictureMark();

// Watermark/Text with the name tokens replaced (unchanged with fewer than
// two "%"); a token counts only when it is in the text as entered.
std::string ExpandWatermarkText();
// x of a line of width `lineWidth` on a text canvas `canvasWidth` wide, by
// Text Alignment and Text Padding.
int AlignedTextX(int lineWidth, int canvasWidth);

// Turns the mark by Text Rotation or Watermark/Image Rotation (only 1..359).
Picture RotateWatermark(Picture mark);
// Keeps the top-left part that fits the available area at the offsets.
Picture FitWatermark(Picture mark, int width, int height);
struct MarkPosition {
  std::int64_t x = 0, y = 0;  // top-left corner, counted from the top
};
MarkPosition WatermarkPosition(int width, int height, int markWidth, int markHeight);

// grey = (77 red + 150 green + 29 blue) >> 8 in all three; alpha kept.
platform::Rgba GreyFilter(platform::Rgba colour);

}  // namespace tq::engine
