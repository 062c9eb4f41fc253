#include "platform/fonts.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq::platform {
namespace {

struct PatternRelease {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternHandle = std::unique_ptr<FcPattern, PatternRelease>;
struct AttrListRelease {
  void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};
using AttrListHandle = std::unique_ptr<PangoAttrList, AttrListRelease>;
struct FontOptionsRelease {
  void operator()(cairo_font_options_t* o) const { cairo_font_options_destroy(o); }
};
using FontOptionsHandle = std::unique_ptr<cairo_font_options_t, FontOptionsRelease>;
struct GFree {
  void operator()(gchar* p) const { g_free(p); }
};

// Metric-compatible stand-ins that fontconfig reaches only through weak
// rules; fontconfig's own strong aliases (Arial -> Liberation Sans, ...)
// are read from its configuration.
struct MetricAlias {
  const char* face;
  const char* standIn;
};
constexpr MetricAlias kMetricAliases[] = {
    {"Arial", "Liberation Sans"},          {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"}, {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},    {"Courier", "Liberation Mono"},
};

bool SameName(const char* a, const char* b) {
  return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a), reinterpret_cast<const FcChar8*>(b)) == 0;
}

// The families fontconfig binds strongly to the request: the name itself and
// the aliases its rules mark as equivalent ("same" binding).
std::vector<std::string> StrongFamilies(FcPattern* pattern) {
  std::vector<std::string> families;
  FcPatternIter it;
  if (!FcPatternFindIter(pattern, &it, FC_FAMILY)) return families;
  int count = FcPatternIterValueCount(pattern, &it);
  for (int i = 0; i < count; ++i) {
    FcValue value;
    FcValueBinding binding;
    if (FcPatternIterGetValue(pattern, &it, i, &value, &binding) != FcResultMatch) continue;
    if (value.type == FcTypeString && binding != FcValueBindingWeak)
      families.emplace_back(reinterpret_cast<const char*>(value.u.s));
  }
  return families;
}

bool AcceptedFamily(const std::string& face, const std::vector<std::string>& strong, const char* matched) {
  for (const std::string& family : strong)
    if (SameName(family.c_str(), matched)) return true;
  for (const MetricAlias& alias : kMetricAliases)
    if (SameName(alias.face, face.c_str()) && SameName(alias.standIn, matched)) return true;
  return false;
}

// Pango wants valid UTF-8; stray bytes become U+FFFD instead of cutting the text.
std::string ValidUtf8(std::string_view text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::string(text);
  std::unique_ptr<gchar, GFree> valid(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
  return valid.get();
}

// Plain layouts use whole-pixel hinted metrics and no antialiasing; vector
// layouts keep unhinted, fractional positions and grey antialiasing.
LayoutHandle MakeLayout(const Font& font, std::string_view utf8, bool plain) {
  PangoContextHandle context(pango_font_map_create_context(font.fontMap.get()));
  FontOptionsHandle options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), plain ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(options.get(), plain ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options.get(), plain ? CAIRO_HINT_STYLE_DEFAULT : CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context.get(), options.get());
  pango_context_set_round_glyph_positions(context.get(), plain);

  LayoutHandle layout(pango_layout_new(context.get()));
  pango_layout_set_font_description(layout.get(), font.description.get());
  // A line break character is drawn as a glyph, never as a new line.
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  AttrListHandle attributes(pango_attr_list_new());
  if (font.flags & kFontUnderline) pango_attr_list_insert(attributes.get(), pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.flags & kFontStrikeOut) pango_attr_list_insert(attributes.get(), pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout.get(), attributes.get());
  std::string text = ValidUtf8(utf8);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  return layout;
}

void ShowLayout(cairo_t* cr, PangoLayout* layout, double x, double y) {
  pango_cairo_update_context(cr, pango_layout_get_context(layout));
  pango_layout_context_changed(layout);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
}

void SetSource(cairo_t* cr, Rgba c) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

}  // namespace

bool FontFamilyAvailable(const std::string& face) {
  if (face.empty()) return false;
  PatternHandle pattern(FcPatternCreate());
  if (!pattern) return false;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return false;
  FcDefaultSubstitute(pattern.get());
  std::vector<std::string> strong = StrongFamilies(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternHandle match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return false;
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &family) == FcResultMatch; ++i)
    if (AcceptedFamily(face, strong, reinterpret_cast<const char*>(family))) return true;
  return false;
}

Font LoadFont(const std::string& face, double pixelSize, unsigned flags) {
  Font font;
  if (!FontFamilyAvailable(face)) return font;
  double size = std::clamp(std::isfinite(pixelSize) ? pixelSize : 1.0, 1.0, static_cast<double>(kMaxCanvasSide));
  FontDescriptionHandle description(pango_font_description_new());
  pango_font_description_set_family(description.get(), face.c_str());
  pango_font_description_set_absolute_size(description.get(), size * PANGO_SCALE);
  pango_font_description_set_weight(description.get(), (flags & kFontBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description.get(), (flags & kFontItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  FontMapHandle fontMap(pango_cairo_font_map_new());
  if (!fontMap) return font;
  font.description = std::move(description);
  font.fontMap = std::move(fontMap);
  font.flags = flags;
  return font;
}

TextExtent MeasureText(const Font& font, std::string_view utf8) {
  if (!font) return {};
  LayoutHandle layout = MakeLayout(font, utf8, true);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  return {logical.width, logical.height};
}

double VectorTextWidth(const Font& font, std::string_view utf8) {
  if (!font) return 0;
  LayoutHandle layout = MakeLayout(font, utf8, false);
  PangoRectangle logical;
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

bool DrawPlainText(Canvas& canvas, const Font& font, std::string_view utf8, int x, int y, Rgba fore, Rgba back) {
  if (!canvas || !font) return false;
  LayoutHandle layout = MakeLayout(font, utf8, true);
  CairoHandle cr(cairo_create(canvas.surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return false;
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  cairo_rectangle(cr.get(), x, y, logical.width, logical.height);
  SetSource(cr.get(), back);
  cairo_fill(cr.get());
  SetSource(cr.get(), fore);
  ShowLayout(cr.get(), layout.get(), x, y);
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}

bool DrawVectorText(Canvas& canvas, const Font& font, std::string_view utf8, double x, double y, Rgba fore) {
  if (!canvas || !font) return false;
  LayoutHandle layout = MakeLayout(font, utf8, false);
  CairoHandle cr(cairo_create(canvas.surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return false;
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
  SetSource(cr.get(), fore);
  ShowLayout(cr.get(), layout.get(), x, y);
  return cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace tq::platform
