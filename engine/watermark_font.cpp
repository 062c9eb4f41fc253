#include "engine/watermark_font.h"

#include <cmath>

#include "settings/app_settings.h"

namespace tq::engine {
namespace {

// Loaded and freed by the front end while no worker runs; the worker only
// reads it.
platform::Font g_watermarkFont;

struct FlagRow {
  int value;
  unsigned flags;
};
constexpr FlagRow kStyleFlags[] = {
    {1, platform::kFontBold},
    {2, platform::kFontItalic},
    {3, platform::kFontBold | platform::kFontItalic},
};
constexpr FlagRow kEffectFlags[] = {
    {1, platform::kFontUnderline},
    {2, platform::kFontStrikeOut},
};

template <size_t N>
unsigned Lookup(const FlagRow (&rows)[N], int value) {
  for (const FlagRow& row : rows)
    if (row.value == value) return row.flags;
  return 0;
}

// Font sizes are points; like the desktop we draw at 96 dots per inch, so a
// point is 96/72 pixels (14 pt -> 19 px, rounded to whole pixels).
double PointsToPixels(int points) { return static_cast<double>(std::lround(points * 96.0 / 72.0)); }

}  // namespace

unsigned WatermarkFontFlags(int style, int effect) {
  return Lookup(kStyleFlags, style) | Lookup(kEffectFlags, effect);
}

bool LoadWatermarkFont() {
  const settings::AppSettings& s = settings::g_settings;
  g_watermarkFont = platform::LoadFont(s.WatermarkFont, PointsToPixels(s.FontSize),
                                       WatermarkFontFlags(s.FontStyle, s.FontEffect));
  return static_cast<bool>(g_watermarkFont);
}

void FreeWatermarkFont() { g_watermarkFont = {}; }

bool WatermarkFontLoaded() { return static_cast<bool>(g_watermarkFont); }

const platform::Font& WatermarkFont() { return g_watermarkFont; }

}  // namespace tq::engine
