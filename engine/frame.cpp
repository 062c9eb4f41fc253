#include "engine/frame.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/transforms.h"
#include "platform/canvas.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

std::string Num(std::int64_t v) { return std::to_string(v); }

struct FrameSides {
  std::int64_t left, right, top, bottom;
};

// Draws the whole frame of a W x H picture on the canvas, which may hold
// only a part of it. 64-bit values, so absurd widths give absurd but
// well-defined paths.
void DrawFrame(platform::Canvas& canvas, std::int64_t W, std::int64_t H, const FrameSides& f) {
  const settings::AppSettings& s = settings::g_settings;
  const platform::Rgba left = HexToColorAlpha(s.SolidLeftColor, 255);
  const platform::Rgba right = HexToColorAlpha(s.SolidRightColor, 255);
  const platform::Rgba top = HexToColorAlpha(s.SolidTopColor, 255);
  const platform::Rgba bottom = HexToColorAlpha(s.SolidBottomColor, 255);
  const std::int64_t L = f.left, R = f.right, T = f.top, B = f.bottom;
  // Corners first: the sides' mitres lie over them, so a corner colour shows
  // only in the antialiased seam where two sides meet.
  platform::FillRectangle(canvas, 0, 0, L, T, top);
  platform::FillRectangle(canvas, W - R, 0, R, T, right);
  platform::FillRectangle(canvas, W - R, H - B, R, B, bottom);
  platform::FillRectangle(canvas, 0, H - B, L, B, left);
  // The sides as path texts; a negative value after "l -" reads as a double sign.
  platform::FillPathText(canvas, "M 0 0 l " + Num(W) + " 0 l -" + Num(R) + " " + Num(T) + " l -" + Num(W - L - R) + " 0 Z", top);
  platform::FillPathText(canvas, "M " + Num(W) + " 0 l 0 " + Num(H) + " l -" + Num(R) + " -" + Num(B) + " l 0 -" + Num(H - T - B) + " Z", right);
  platform::FillPathText(canvas, "M " + Num(W) + " " + Num(H) + " l -" + Num(W) + " 0 l " + Num(L) + " -" + Num(B) + " l " + Num(W - L - R) + " 0 Z", bottom);
  platform::FillPathText(canvas, "M 0 " + Num(H) + " l 0 -" + Num(H) + " l " + Num(L) + " " + Num(T) + " l 0 " + Num(H - T - B) + " Z", left);
}

// Every shape of the frame has its corners on the picture's edge or on the
// inner edge of its side, so nothing is drawn outside the four bands: rows
// above T and below H - B, columns left of L and right of W - R. Only these
// parts are drawn and blended; the rest of the picture is left as it is,
// exactly as a transparent layer over it would leave it. That spares a
// full-size canvas, layer and composite for a border of a few pixels. Every
// band ends where a shape's corner lies, so it draws exactly what one layer
// would. Only a band too large for a canvas is cut further, in tiles; along
// such a cut Cairo may shade a slanted mitre edge a little differently.
constexpr std::int64_t kTile = 8192;
struct Strip {
  int x, y, width, height;
};
std::vector<Strip> FrameStrips(std::int64_t W, std::int64_t H, const FrameSides& f) {
  const std::int64_t topEnd = std::clamp<std::int64_t>(f.top, 0, H);
  const std::int64_t bottomStart = std::clamp<std::int64_t>(H - f.bottom, topEnd, H);
  const std::int64_t leftEnd = std::clamp<std::int64_t>(f.left, 0, W);
  const std::int64_t rightStart = std::clamp<std::int64_t>(W - f.right, leftEnd, W);
  const std::int64_t candidates[4][4] = {
      {0, 0, W, topEnd},
      {0, bottomStart, W, H - bottomStart},
      {0, topEnd, leftEnd, bottomStart - topEnd},
      {rightStart, topEnd, W - rightStart, bottomStart - topEnd},
  };
  std::vector<Strip> strips;
  for (const auto& c : candidates) {
    if (c[2] <= 0 || c[3] <= 0) continue;
    const std::int64_t tile = platform::CanvasSizeAllowed(c[2], c[3]) ? std::max(c[2], c[3]) : kTile;
    for (std::int64_t y = c[1]; y < c[1] + c[3]; y += tile)
      for (std::int64_t x = c[0]; x < c[0] + c[2]; x += tile)
        strips.push_back({static_cast<int>(x), static_cast<int>(y), static_cast<int>(std::min(tile, c[0] + c[2] - x)),
                          static_cast<int>(std::min(tile, c[1] + c[3] - y))});
  }
  return strips;
}

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
  if (FreeImage_GetWidth(picture.get()) != static_cast<unsigned>(width) ||
      FreeImage_GetHeight(picture.get()) != static_cast<unsigned>(height))
    return {};  // the frame layer would not match the picture

  const FrameSides sides{s.SolidLeft, s.SolidRight, s.SolidTop, s.SolidBottom};
  // Every part is drawn and blended before any is pasted, so a part that
  // cannot be made leaves the picture without any frame.
  std::vector<std::pair<Strip, Picture>> blended;
  for (const Strip& strip : FrameStrips(width, height, sides)) {
    platform::Canvas frame = platform::CreateCanvasPart(strip.x, strip.y, strip.width, strip.height);
    if (!frame) return picture;
    DrawFrame(frame, width, height, sides);
    platform::Canvas weakened = platform::CreateCanvas(strip.width, strip.height);
    if (!weakened) return picture;
    platform::DrawCanvas(weakened, frame, 0, 0, s.SolidOpacity);
    Picture layer = Adopt(platform::CanvasToFreeImage(weakened));
    Picture under = Adopt(FreeImage_Copy(picture.get(), strip.x, strip.y, strip.x + strip.width, strip.y + strip.height));
    if (!layer || !under) return picture;
    Picture result = Adopt(FreeImage_Composite(layer.get(), FALSE, nullptr, under.get()));
    if (!result) return picture;
    blended.emplace_back(strip, std::move(result));
  }
  for (const auto& [strip, part] : blended) FreeImage_Paste(picture.get(), part.get(), strip.x, strip.y, 256);
  return picture;
}

}  // namespace tq::engine
