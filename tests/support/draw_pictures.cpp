#include "tests/support/draw_pictures.h"

#include <cstdio>
#include <cstdlib>

namespace tq::test {

engine::Picture FilledPicture(int width, int height, int bpp, RGBQUAD colour) {
  engine::Picture p = engine::Adopt(FreeImage_Allocate(width, height, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                                       FI_RGBA_BLUE_MASK));
  if (!p) return p;
  if (bpp <= 8) {
    RGBQUAD* palette = FreeImage_GetPalette(p.get());
    unsigned colours = FreeImage_GetColorsUsed(p.get());
    for (unsigned i = 0; i < colours; ++i)
      palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i * 255 / (colours - 1));
    BYTE index = colour.rgbRed;  // grey level picks the entry of an 8-bit ramp
    if (bpp == 8)
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) FreeImage_SetPixelIndex(p.get(), x, y, &index);
    return p;
  }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) FreeImage_SetPixelColor(p.get(), x, y, &colour);
  return p;
}

RGBQUAD PatternColour(int x, int y) { return Rgb((x * 7) & 255, (y * 5) & 255, ((x + y) * 3) & 255); }

engine::Picture PatternPicture(int width, int height) {
  engine::Picture p = engine::Adopt(FreeImage_Allocate(width, height, 24));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      RGBQUAD c = PatternColour(x, y);
      FreeImage_SetPixelColor(p.get(), x, height - 1 - y, &c);
    }
  return p;
}

RGBQUAD Probe(FIBITMAP* picture, int x, int y) {
  RGBQUAD c{};
  int height = static_cast<int>(FreeImage_GetHeight(picture));
  const BYTE* bits = FreeImage_GetScanLine(picture, height - 1 - y);
  switch (FreeImage_GetBPP(picture)) {
    case 24:
      bits += x * 3;
      return Rgb(bits[FI_RGBA_RED], bits[FI_RGBA_GREEN], bits[FI_RGBA_BLUE]);
    case 32:
      bits += x * 4;
      return Rgb(bits[FI_RGBA_RED], bits[FI_RGBA_GREEN], bits[FI_RGBA_BLUE], bits[FI_RGBA_ALPHA]);
    default: {
      BYTE index = 0;
      if (FreeImage_GetPixelIndex(picture, x, height - 1 - y, &index) && FreeImage_GetPalette(picture))
        c = FreeImage_GetPalette(picture)[index];
      else
        FreeImage_GetPixelColor(picture, x, height - 1 - y, &c);
      c.rgbReserved = 255;
      return c;
    }
  }
}

bool Near(RGBQUAD a, RGBQUAD b, int tolerance) {
  return std::abs(a.rgbRed - b.rgbRed) <= tolerance && std::abs(a.rgbGreen - b.rgbGreen) <= tolerance &&
         std::abs(a.rgbBlue - b.rgbBlue) <= tolerance;
}

RGBQUAD Rgb(int r, int g, int b, int a) {
  RGBQUAD c;
  c.rgbRed = static_cast<BYTE>(r);
  c.rgbGreen = static_cast<BYTE>(g);
  c.rgbBlue = static_cast<BYTE>(b);
  c.rgbReserved = static_cast<BYTE>(a);
  return c;
}

std::string Describe(RGBQUAD c) {
  char text[48];
  std::snprintf(text, sizeof text, "(%d, %d, %d, a %d)", c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved);
  return text;
}

RGBQUAD Blend(RGBQUAD over, int alpha, RGBQUAD under) {
  if (alpha <= 0) return under;
  if (alpha >= 255) return over;
  auto mix = [&](int o, int u) { return (o * alpha + u * (255 - alpha)) >> 8; };
  return Rgb(mix(over.rgbRed, under.rgbRed), mix(over.rgbGreen, under.rgbGreen), mix(over.rgbBlue, under.rgbBlue));
}

bool WritePicture(FIBITMAP* picture, FREE_IMAGE_FORMAT format, const std::string& path, int flags) {
  return FreeImage_Save(format, picture, path.c_str(), flags) != FALSE;
}

}  // namespace tq::test
