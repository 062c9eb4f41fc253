#pragma once
#include <glib-object.h>
#include <pango/pango.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace tq::platform {

// Pango handles, released by their own free functions.
struct GObjectRelease {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using LayoutHandle = std::unique_ptr<PangoLayout, GObjectRelease>;
using FontMapHandle = std::unique_ptr<PangoFontMap, GObjectRelease>;
using PangoContextHandle = std::unique_ptr<PangoContext, GObjectRelease>;
struct FontDescriptionRelease {
  void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using FontDescriptionHandle = std::unique_ptr<PangoFontDescription, FontDescriptionRelease>;

enum FontFlag : unsigned {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

// True when fontconfig's best match for the face name is that family or one
// of its metric-compatible stand-ins (Arial -> Liberation Sans), so text is
// laid out as the face was designed; a name with no such font gives false.
bool FontFamilyAvailable(const std::string& face);

// A face at a pixel size with style flags, ready to measure and draw. It
// keeps its own font map, so the thread that loads it and the worker that
// draws with it never share Pango's per-thread default map.
struct Font {
  FontDescriptionHandle description;
  FontMapHandle fontMap;
  unsigned flags = 0;
  explicit operator bool() const { return description && fontMap; }
};

// Empty Font when the face is not available. The pixel size is clamped to
// 1..kMaxCanvasSide: a glyph taller than the largest canvas cannot be drawn.
Font LoadFont(const std::string& face, double pixelSize, unsigned flags);

struct TextExtent {
  int width = 0;
  int height = 0;
};
// Size of one line with hinted, whole-pixel metrics: the advance width and
// the line height (ascent + descent) of the font.
TextExtent MeasureText(const Font& font, std::string_view utf8);
// Unhinted advance width of one line, as vector text draws it.
double VectorTextWidth(const Font& font, std::string_view utf8);

// Plain text: no antialiasing, with the line's box filled with `back` and the
// glyphs in `fore`, every pixel written with all four channels (no blending).
// (x, y) is the top-left corner of the line's box.
bool DrawPlainText(Canvas& canvas, const Font& font, std::string_view utf8, int x, int y, Rgba fore,
                   Rgba back);
// Antialiased vector text blended over the canvas.
bool DrawVectorText(Canvas& canvas, const Font& font, std::string_view utf8, double x, double y,
                    Rgba fore);

}  // namespace tq::platform
