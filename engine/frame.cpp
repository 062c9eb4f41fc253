#include "engine/frame.h"

#include <algorithm>
#include <cstdint>

#include "engine/transforms.h"
#include "platform/canvas.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

std::string Num(std::int64_t v) { return std::to_string(v); }

}  // namespace

platform::Rgba HexToColorAlpha(const std::string& hex, int alpha) {
  RGBQUAD colour = HexToColor(hex);
  return {colour.rgbRed, colour.rgbGreen, colour.rgbBlue, static_cast<std::uint8_t>(std::clamp(alpha, 0, 255))};
}

Picture ApplyFrame(Picture picture, int width, int height) {
  const settings::AppSettings& s = settings::g_settings;
  if (!picture || s.DoFrame == 0) return picture;
  if (FreeImage_GetBPP(picture.get()) != 24) picture = To24Bits(std::move(picture));
  if (!picture || s.DoFrame != 1) return picture;

  const platform::Rgba left = HexToColorAlpha(s.SolidLeftColor, 255);
  const platform::Rgba right = HexToColorAlpha(s.SolidRightColor, 255);
  const platform::Rgba top = HexToColorAlpha(s.SolidTopColor, 255);
  const platform::Rgba bottom = HexToColorAlpha(s.SolidBottomColor, 255);
  // 64-bit so absurd widths give absurd but well-defined paths.
  const std::int64_t W = width, H = height;
  const std::int64_t L = s.SolidLeft, R = s.SolidRight, T = s.SolidTop, B = s.SolidBottom;

  platform::Canvas frame = platform::CreateCanvas(width, height);
  if (!frame) return picture;
  // Corners first: the sides' mitres lie over them, so a corner colour shows
  // only in the antialiased seam where two sides meet.
  platform::FillRectangle(frame, 0, 0, L, T, top);
  platform::FillRectangle(frame, W - R, 0, R, T, right);
  platform::FillRectangle(frame, W - R, H - B, R, B, bottom);
  platform::FillRectangle(frame, 0, H - B, L, B, left);
  // The sides as path texts; a negative value after "l -" reads as a double sign.
  platform::FillPathText(frame, "M 0 0 l " + Num(W) + " 0 l -" + Num(R) + " " + Num(T) + " l -" + Num(W - L - R) + " 0 Z", top);
  platform::FillPathText(frame, "M " + Num(W) + " 0 l 0 " + Num(H) + " l -" + Num(R) + " -" + Num(B) + " l 0 -" + Num(H - T - B) + " Z", right);
  platform::FillPathText(frame, "M " + Num(W) + " " + Num(H) + " l -" + Num(W) + " 0 l " + Num(L) + " -" + Num(B) + " l " + Num(W - L - R) + " 0 Z", bottom);
  platform::FillPathText(frame, "M 0 " + Num(H) + " l 0 -" + Num(H) + " l " + Num(L) + " " + Num(T) + " l 0 " + Num(H - T - B) + " Z", left);

  platform::Canvas weakened = platform::CreateCanvas(width, height);
  if (!weakened) return picture;
  platform::DrawCanvas(weakened, frame, 0, 0, s.SolidOpacity);
  frame = {};

  Picture framePicture = Adopt(platform::CanvasToFreeImage(weakened));
  if (!framePicture) return picture;
  weakened = {};
  return Adopt(FreeImage_Composite(framePicture.get(), FALSE, nullptr, picture.get()));
}

}  // namespace tq::engine
