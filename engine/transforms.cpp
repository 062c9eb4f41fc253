#include "engine/transforms.h"

#include <cmath>
#include <string>

#include "settings/app_settings.h"

namespace tq::engine {
namespace {

const settings::AppSettings& S() { return settings::g_settings; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

// Halves away from zero, as the dialog-era arithmetic rounds.
int RoundHalfAway(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

RGBQUAD HexToColor(const std::string& hex) {
  RGBQUAD colour{};
  if (hex.size() != 6) return colour;
  colour.rgbRed = static_cast<BYTE>(HexDigit(hex[0]) * 16 + HexDigit(hex[1]));
  colour.rgbGreen = static_cast<BYTE>(HexDigit(hex[2]) * 16 + HexDigit(hex[3]));
  colour.rgbBlue = static_cast<BYTE>(HexDigit(hex[4]) * 16 + HexDigit(hex[5]));
  return colour;
}

Picture To24Bits(Picture picture) {
  if (!picture) return picture;
  return Adopt(FreeImage_ConvertTo24Bits(picture.get()));
}

Picture ApplyRotation(Picture picture) {
  if (!picture || !S().DoImageRotation) return picture;
  int angle = S().TransformImageRotation;
  if (angle <= 0 || angle >= 360) return picture;
  unsigned bpp = FreeImage_GetBPP(picture.get());
  if (bpp <= 16 || bpp > 32) picture = To24Bits(std::move(picture));
  if (!picture) return picture;
  switch (S().ImageRotationType) {
    case 0: {
      RGBQUAD back = HexToColor(S().ImageRotationBackColor);
      back.rgbReserved = 0;
      return Adopt(FreeImage_Rotate(picture.get(), angle, &back));
    }
    case 1: {
      double cx = FreeImage_GetWidth(picture.get()) / 2.0;
      double cy = FreeImage_GetHeight(picture.get()) / 2.0;
      return Adopt(FreeImage_RotateEx(picture.get(), angle, 0.0, 0.0, cx, cy, FALSE));
    }
    default:
      return picture;
  }
}

int TargetDimension(int value, int unit, int current) {
  switch (unit) {
    case 0: return value;
    case 1: return static_cast<int>(std::nearbyint(value / 100.0 * current));  // half to even
    default: return 0;
  }
}

FREE_IMAGE_FILTER ResizeFilter(int algorithm) {
  static constexpr FREE_IMAGE_FILTER kFilters[] = {FILTER_BOX,      FILTER_BILINEAR,   FILTER_BSPLINE,
                                                   FILTER_BICUBIC,  FILTER_CATMULLROM, FILTER_LANCZOS3};
  return algorithm >= 0 && algorithm < 6 ? kFilters[algorithm] : FILTER_BICUBIC;
}

Picture ApplyResize(Picture picture, int width, int height) {
  if (!picture || !S().DoImageResize) return picture;
  int targetWidth = TargetDimension(S().ImageWidth, S().ImageWidthUnit, width);
  int targetHeight = TargetDimension(S().ImageHeight, S().ImageHeightUnit, height);
  if (targetWidth <= 0 || targetHeight <= 0) return picture;
  if (targetWidth == width && targetHeight == height) return picture;
  if (S().ImageResizeType == 1 && width < targetWidth && height < targetHeight) return picture;
  if (S().KeepAspectRatio == 1) {
    if (width >= height) {
      float ratio = static_cast<float>(width) / static_cast<float>(height);
      targetHeight = RoundHalfAway(targetWidth / ratio);
    } else {
      float ratio = static_cast<float>(height) / static_cast<float>(width);
      targetWidth = RoundHalfAway(targetHeight / ratio);
    }
    // A very flat picture could round to nothing; FreeImage refuses that size.
    if (targetWidth <= 0 || targetHeight <= 0) return Picture();
  }
  return Adopt(FreeImage_Rescale(picture.get(), targetWidth, targetHeight, ResizeFilter(S().ImageResizeAlgorithm)));
}

void ApplyFlips(FIBITMAP* picture) {
  if (!picture) return;
  if (S().DoImageFlipHorizontal == 1) FreeImage_FlipHorizontal(picture);
  if (S().DoImageFlipVertical == 1) FreeImage_FlipVertical(picture);
}

Picture ApplyColorCorrection(Picture picture) {
  if (!picture || !S().DoImageColorCorrection) return picture;
  unsigned bpp = FreeImage_GetBPP(picture.get());
  if (bpp < 8 || bpp > 32) picture = To24Bits(std::move(picture));
  if (!picture) return picture;
  FreeImage_AdjustColors(picture.get(), S().ImageBrightness, S().ImageContrast, S().ImageGamma,
                         S().ImageInvert ? TRUE : FALSE);
  return picture;
}

Picture ApplyGreyscale(Picture picture) {
  if (!picture || !S().DoImageGreyscale) return picture;
  if (FreeImage_GetBPP(picture.get()) > 32) picture = To24Bits(std::move(picture));
  if (!picture) return picture;
  return Adopt(FreeImage_ConvertToGreyscale(picture.get()));
}

Picture ApplyThreshold(Picture picture) {
  if (!picture || !S().DoImageThreshold) return picture;
  if (FreeImage_GetBPP(picture.get()) > 32) picture = To24Bits(std::move(picture));
  if (!picture) return picture;
  return Adopt(FreeImage_Threshold(picture.get(), static_cast<BYTE>(S().ImageThreshold & 0xFF)));
}

}  // namespace tq::engine
