#include "engine/watermark.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "engine/frame.h"
#include "engine/naming.h"
#include "engine/transforms.h"
#include "engine/watermark_font.h"
#include "platform/fonts.h"
#include "platform/picture_files.h"
#include "platform/text_util.h"
#include "settings/app_settings.h"

namespace tq::engine {
namespace {

using settings::AppSettings;
const AppSettings& S() { return settings::g_settings; }

constexpr std::string_view kLineBreak = "%eol%";
constexpr int kMinLineSize = 10;

// The placement settings of each kind of mark.
struct MarkSettings {
  settings::Byte AppSettings::*boundary;
  settings::Byte AppSettings::*position;
  settings::Int AppSettings::*xOffset;
  settings::Int AppSettings::*yOffset;
  settings::Int AppSettings::*rotation;
};
constexpr MarkSettings kTextMark{&AppSettings::TextBoundary, &AppSettings::TextPosition, &AppSettings::TextXOffset,
                                 &AppSettings::TextYOffset, &AppSettings::TextRotation};
constexpr MarkSettings kPictureMark{&AppSettings::ImageBoundary, &AppSettings::ImagePosition,
                                    &AppSettings::ImageXOffset, &AppSettings::ImageYOffset,
                                    &AppSettings::WatermarkImageRotation};
const MarkSettings& Current() { return S().DoWatermark == 2 ? kPictureMark : kTextMark; }

// The area a mark may use: the whole picture, or the inside of the frame.
struct Area {
  std::int64_t left = 0, top = 0, width = 0, height = 0, offsetX = 0, offsetY = 0;
};
Area MarkArea(int width, int height) {
  const AppSettings& s = S();
  const MarkSettings& m = Current();
  Area a{0, 0, width, height, s.*m.xOffset, s.*m.yOffset};
  if (s.*m.boundary == 1 && s.DoFrame != 0) {
    a.left = s.SolidLeft;
    a.top = s.SolidTop;
    a.width = std::int64_t{width} - s.SolidLeft - s.SolidRight;
    a.height = std::int64_t{height} - s.SolidTop - s.SolidBottom;
  }
  return a;
}

// Where a mark stands along one axis.
enum class Align { Start, Centre, End };
struct PositionRow {
  Align x, y;
};
constexpr PositionRow kPositions[] = {
    {Align::Start, Align::Start},  {Align::Centre, Align::Start},  {Align::End, Align::Start},
    {Align::Start, Align::Centre}, {Align::Centre, Align::Centre}, {Align::End, Align::Centre},
    {Align::Start, Align::End},    {Align::Centre, Align::End},    {Align::End, Align::End},
};

// Halves truncate toward zero; a centred mark ignores its axis's offset.
std::int64_t Place(Align align, std::int64_t origin, std::int64_t area, std::int64_t size, std::int64_t offset) {
  switch (align) {
    case Align::Start:
      return origin + offset;
    case Align::Centre:
      return origin + (area - size) / 2;
    default:
      return origin + area - size - offset;
  }
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t at; (at = text.find(kLineBreak, start)) != std::string::npos; start = at + kLineBreak.size())
    pieces.push_back(text.substr(start, at - start));
  pieces.push_back(text.substr(start));
  return pieces;
}

size_t CountLineBreaks(const std::string& text) {
  size_t count = 0;
  for (size_t at = 0; (at = platform::FindNoCase(text, kLineBreak, at)) != std::string::npos; at += kLineBreak.size())
    ++count;
  return count;
}

struct Line {
  std::string text;
  platform::TextExtent extent;
};

}  // namespace

platform::Rgba GreyFilter(platform::Rgba c) {
  auto grey = static_cast<std::uint8_t>((77 * c.r + 150 * c.g + 29 * c.b) >> 8);
  return {grey, grey, grey, c.a};
}

std::string ExpandWatermarkText() {
  std::string text = S().WatermarkText;
  if (std::count(text.begin(), text.end(), '%') < 2) return text;
  const std::string entered = platform::ToLower(text);
  for (std::string_view token : NameTokens())
    if (entered.find(token) != std::string::npos) text = ExpandToken(text, token);
  return text;
}

int AlignedTextX(int lineWidth, int canvasWidth) {
  const AppSettings& s = S();
  switch (s.TextAlignment) {
    case 0:
      return s.TextPadding;
    case 1:
      return static_cast<int>(std::lround((canvasWidth - static_cast<double>(lineWidth)) / 2.0));
    case 2:
      return static_cast<int>(std::int64_t{canvasWidth} - lineWidth - s.TextPadding);
    default:
      return 0;
  }
}

Picture MakeTextMark() {
  const AppSettings& s = S();
  const platform::Font& font = WatermarkFont();
  if (!font) return {};
  std::string text = ExpandWatermarkText();
  const size_t breaks = CountLineBreaks(text);

  std::vector<Line> lines;
  std::int64_t width = 0, height = 0, advance = 0;
  if (breaks > 0) {
    // Equal pieces are measured once: a long text of repeated lines stays quick.
    std::map<std::string, platform::TextExtent> measured;
    std::int64_t lineHeight = 0;
    for (std::string& piece : SplitLines(platform::ReplaceNoCase(text, kLineBreak, kLineBreak))) {
      auto [it, fresh] = measured.try_emplace(piece);
      if (fresh) it->second = platform::MeasureText(font, piece);
      width = std::max<std::int64_t>(width, it->second.width);
      lineHeight = std::max<std::int64_t>(lineHeight, it->second.height);
      lines.push_back({std::move(piece), it->second});
    }
    width = std::max<std::int64_t>(width, kMinLineSize);
    lineHeight = std::max<std::int64_t>(lineHeight, kMinLineSize);
    advance = lineHeight + s.FontLeading;
    height = lineHeight + static_cast<std::int64_t>(breaks) * advance;
  } else {
    platform::TextExtent extent = platform::MeasureText(font, text);
    width = extent.width;
    height = extent.height;
    lines.push_back({std::move(text), extent});
  }

  const std::int64_t padding = s.TextPadding;
  const std::int64_t canvasWidth = width + 2 * padding, canvasHeight = height + 2 * padding;
  // A mark too large for a canvas is no mark, however it was asked for.
  if (!platform::CanvasSizeAllowed(canvasWidth, canvasHeight)) return {};
  const int cw = static_cast<int>(canvasWidth), ch = static_cast<int>(canvasHeight);
  auto lineX = [&](int lineWidth) { return breaks > 0 ? AlignedTextX(lineWidth, cw) : s.TextPadding; };
  auto visible = [&](std::int64_t y, const Line& line) { return y < ch && y + line.extent.height > 0; };

  platform::Canvas mark;
  if (s.TextAntialiasing == 0) {
    // Plain text writes every channel, so the box keeps Back Opacity and the
    // glyphs Text Opacity exactly.
    const platform::Rgba back = HexToColorAlpha(s.BackColor, s.BackOpacity);
    const platform::Rgba fore = HexToColorAlpha(s.FontColor, s.TextOpacity);
    mark = platform::CreateFilledCanvas(cw, ch, back);
    if (!mark) return {};
    std::int64_t y = padding;
    for (const Line& line : lines) {
      if (visible(y, line))
        platform::DrawPlainText(mark, font, line.text, lineX(line.extent.width), static_cast<int>(y), fore, back);
      y += advance;
    }
  } else {
    platform::Canvas back = platform::CreateFilledCanvas(cw, ch, HexToColorAlpha(s.BackColor, 255));
    platform::Canvas glyphs = platform::CreateCanvas(cw, ch);
    mark = platform::CreateCanvas(cw, ch);
    if (!back || !glyphs || !mark) return {};
    const platform::Rgba fore = HexToColorAlpha(s.FontColor, 255);
    std::int64_t y = padding;
    for (const Line& line : lines) {
      if (visible(y, line)) {
        int x = lineX(static_cast<int>(std::lround(platform::VectorTextWidth(font, line.text))));
        platform::DrawVectorText(glyphs, font, line.text, x, static_cast<double>(y), fore);
      }
      y += advance;
    }
    platform::DrawCanvas(mark, back, 0, 0, s.BackOpacity);
    platform::DrawCanvas(mark, glyphs, 0, 0, s.TextOpacity);
  }
  return Adopt(platform::CanvasToFreeImage(mark));
}

Picture MakePictureMark() {
  const AppSettings& s = S();
  std::optional<platform::PixelBuffer> pixels = platform::LoadPictureFile(s.WatermarkImage);
  if (!pixels) return {};
  // Every pixel is written with all four channels, so the canvas's first
  // content (transparent or black) never shows.
  platform::Canvas canvas = platform::CreateCanvas(pixels->width, pixels->height);
  if (!canvas) return {};
  if (!platform::DrawPixels(canvas, *pixels, s.ImageOpacity, s.ImageGreyscale == 1 ? GreyFilter : nullptr))
    return {};
  return Adopt(platform::CanvasToFreeImage(canvas));
}

Picture RotateWatermark(Picture mark) {
  if (!mark) return mark;
  const int angle = S().*Current().rotation;
  if (angle <= 0 || angle >= 360) return mark;
  // The turned mark must stay within the canvas bounds as well.
  const double radians = angle * std::numbers::pi / 180.0;
  const double w = FreeImage_GetWidth(mark.get()), h = FreeImage_GetHeight(mark.get());
  const double c = std::fabs(std::cos(radians)), sn = std::fabs(std::sin(radians));
  if (!platform::CanvasSizeAllowed(static_cast<std::int64_t>(w * c + h * sn) + 2,
                                   static_cast<std::int64_t>(w * sn + h * c) + 2))
    return {};
  return Adopt(FreeImage_Rotate(mark.get(), angle, nullptr));
}

Picture FitWatermark(Picture mark, int width, int height) {
  if (!mark) return mark;
  const Area a = MarkArea(width, height);
  const std::int64_t w = FreeImage_GetWidth(mark.get()), h = FreeImage_GetHeight(mark.get());
  if (w + a.offsetX <= a.width && h + a.offsetY <= a.height) return mark;
  const std::int64_t right = a.width < w + a.offsetX ? a.width - a.offsetX : w;
  const std::int64_t bottom = a.height < h + a.offsetY ? a.height - a.offsetY : h;
  if (right <= 0 || bottom <= 0) return {};  // nothing of the mark is left
  return Adopt(FreeImage_Copy(mark.get(), 0, 0, static_cast<int>(right), static_cast<int>(bottom)));
}

MarkPosition WatermarkPosition(int width, int height, int markWidth, int markHeight) {
  const Area a = MarkArea(width, height);
  const int position = S().*Current().position;
  if (position < 0 || position >= static_cast<int>(std::size(kPositions))) return {a.left, a.top};
  const PositionRow& row = kPositions[position];
  return {Place(row.x, a.left, a.width, markWidth, a.offsetX), Place(row.y, a.top, a.height, markHeight, a.offsetY)};
}

Picture ApplyWatermark(Picture picture, int width, int height) {
  const AppSettings& s = S();
  if (!picture || s.DoWatermark == 0) return picture;
  if (FreeImage_GetBPP(picture.get()) != 24) picture = To24Bits(std::move(picture));
  if (!picture) return picture;

  Picture mark;
  if (s.DoWatermark == 1 && WatermarkFontLoaded()) mark = MakeTextMark();
  if (s.DoWatermark == 2) mark = MakePictureMark();
  if (!mark) return picture;

  // From here a failure leaves no picture, so the file is not written.
  mark = FitWatermark(RotateWatermark(std::move(mark)), width, height);
  if (!mark) return {};
  const std::int64_t w = FreeImage_GetWidth(mark.get()), h = FreeImage_GetHeight(mark.get());
  if (FreeImage_GetWidth(picture.get()) != static_cast<unsigned>(width) ||
      FreeImage_GetHeight(picture.get()) != static_cast<unsigned>(height))
    return {};
  const MarkPosition at = WatermarkPosition(width, height, static_cast<int>(w), static_cast<int>(h));
  // A mark that reaches past the picture cannot be put on the layer, which
  // then stays transparent and leaves the picture as it is.
  if (at.x < 0 || at.y < 0 || at.x + w > width || at.y + h > height) return picture;

  // Outside the mark the layer is transparent and blending changes nothing,
  // so only the part of the picture under the mark is composited. The mark
  // is copied in as it is (FreeImage_Paste with alpha 255 would scale it by
  // 255/256 and leave an opaque mark slightly see-through).
  const int left = static_cast<int>(at.x), top = static_cast<int>(at.y);
  Picture under = Adopt(FreeImage_Copy(picture.get(), left, top, left + static_cast<int>(w), top + static_cast<int>(h)));
  if (!under) return {};
  Picture blended = Adopt(FreeImage_Composite(mark.get(), FALSE, nullptr, under.get()));
  if (!blended || !FreeImage_Paste(picture.get(), blended.get(), left, top, 256)) return {};
  return picture;
}

}  // namespace tq::engine
