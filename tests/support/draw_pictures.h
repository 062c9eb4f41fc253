#pragma once
#include <FreeImage.h>

#include <string>

#include "engine/picture.h"

namespace tq::test {

// A picture of one colour, 8-bit pictures with a grey ramp palette.
engine::Picture FilledPicture(int width, int height, int bpp, RGBQUAD colour);
// A 24-bit picture whose pixel (x, y) is (x * 7, y * 5, (x + y) * 3) mod 256,
// so every probe can tell what lay under it.
engine::Picture PatternPicture(int width, int height);
RGBQUAD PatternColour(int x, int y);

// The pixel at (x, y) counted from the top-left, as 24/32-bit FreeImage
// pixels hold it (rgbReserved is alpha for 32-bit, 255 otherwise).
RGBQUAD Probe(FIBITMAP* picture, int x, int y);
// |a - b| <= tolerance in red, green and blue.
bool Near(RGBQUAD a, RGBQUAD b, int tolerance);
RGBQUAD Rgb(int r, int g, int b, int a = 255);
std::string Describe(RGBQUAD c);

// `over` with alpha 0..255 blended onto `under` as FreeImage_Composite does
// it: in 256ths, so a partly transparent colour comes out a little dark.
RGBQUAD Blend(RGBQUAD over, int alpha, RGBQUAD under);

// Writes a picture with FreeImage (PNG, JPEG, BMP) for the decoders to read.
bool WritePicture(FIBITMAP* picture, FREE_IMAGE_FORMAT format, const std::string& path, int flags = 0);

}  // namespace tq::test
