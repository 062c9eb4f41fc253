#include "platform/canvas.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tq::platform {
namespace {

// Cairo keeps coordinates in 24.8 fixed point; far-out values would wrap.
// Anything beyond this lies off every canvas we allow anyway.
constexpr double kCoordinateLimit = 4194304.0;

double ClampCoordinate(double v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }

int ClampByte(int v) { return std::clamp(v, 0, 255); }

CairoHandle Context(Canvas& canvas) {
  CairoHandle cr(cairo_create(canvas.surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return cr;
}

// A context in the coordinates of the whole drawing.
CairoHandle DrawingContext(Canvas& canvas) {
  CairoHandle cr = Context(canvas);
  if (cr) cairo_translate(cr.get(), -canvas.originX, -canvas.originY);
  return cr;
}

void SetSource(cairo_t* cr, Rgba c) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

std::uint32_t Premultiplied(Rgba c) {
  auto mul = [&](int v) { return static_cast<std::uint32_t>((v * c.a + 127) / 255); };
  return (static_cast<std::uint32_t>(c.a) << 24) | (mul(c.r) << 16) | (mul(c.g) << 8) | mul(c.b);
}

// Undoing premultiplied alpha with rounding: kUnpremultiply[a][v] is
// v * 255 / a to the nearest whole value, at most 255. A table, because the
// hand-over of a whole picture's frame would otherwise divide three times a pixel.
const auto kUnpremultiply = [] {
  std::array<std::array<std::uint8_t, 256>, 256> table{};
  for (unsigned a = 1; a < 256; ++a)
    for (unsigned v = 0; v < 256; ++v) table[a][v] = static_cast<std::uint8_t>(std::min(255u, (v * 255 + a / 2) / a));
  return table;
}();

// Cairo stores premultiplied ARGB in native-endian 32-bit words.
Rgba Straight(std::uint32_t p) {
  Rgba c;
  c.a = static_cast<std::uint8_t>(p >> 24);
  if (c.a == 0) return c;
  const auto& un = kUnpremultiply[c.a];
  c.r = un[(p >> 16) & 0xFF];
  c.g = un[(p >> 8) & 0xFF];
  c.b = un[p & 0xFF];
  return c;
}

const char* SkipBlanks(const char* p, const char* end) {
  while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
  return p;
}

// A number with any count of leading signs; each "-" negates.
bool ReadNumber(const char*& p, const char* end, double& value) {
  p = SkipBlanks(p, end);
  bool negative = false;
  while (p < end && (*p == '-' || *p == '+')) {
    if (*p == '-') negative = !negative;
    ++p;
  }
  const char* start = p;
  while (p < end && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '.')) ++p;
  if (p == start) return false;
  std::string digits(start, p);
  char* stop = nullptr;
  double v = std::strtod(digits.c_str(), &stop);
  if (stop != digits.c_str() + digits.size()) return false;
  value = negative ? -v : v;
  return true;
}

}  // namespace

bool CanvasSizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxCanvasSide && height <= kMaxCanvasSide &&
         width * height <= kMaxCanvasPixels;
}

Canvas CreateCanvas(int width, int height) {
  Canvas canvas;
  if (!CanvasSizeAllowed(width, height)) return canvas;
  SurfaceHandle surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return canvas;
  canvas.surface = std::move(surface);  // Cairo clears new image surfaces
  canvas.width = width;
  canvas.height = height;
  return canvas;
}

Canvas CreateCanvasPart(int x, int y, int width, int height) {
  Canvas canvas = CreateCanvas(width, height);
  canvas.originX = x;
  canvas.originY = y;
  return canvas;
}

Canvas CreateFilledCanvas(int width, int height, Rgba colour) {
  Canvas canvas = CreateCanvas(width, height);
  if (!canvas) return canvas;
  CairoHandle cr = Context(canvas);
  if (!cr) return Canvas{};
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  SetSource(cr.get(), colour);
  cairo_paint(cr.get());
  return canvas;
}

void FillRectangle(Canvas& canvas, double x, double y, double width, double height, Rgba colour) {
  if (!canvas) return;
  CairoHandle cr = DrawingContext(canvas);
  if (!cr) return;
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_DEFAULT);
  double x0 = ClampCoordinate(x), y0 = ClampCoordinate(y);
  cairo_rectangle(cr.get(), x0, y0, ClampCoordinate(x + width) - x0, ClampCoordinate(y + height) - y0);
  SetSource(cr.get(), colour);
  cairo_fill(cr.get());
}

std::optional<std::vector<PathStep>> ParsePathText(std::string_view text) {
  std::vector<PathStep> steps;
  const char* p = text.data();
  const char* end = p + text.size();
  for (p = SkipBlanks(p, end); p < end; p = SkipBlanks(p, end)) {
    PathStep step;
    step.command = *p++;
    switch (step.command) {
      case 'z':
        step.command = 'Z';
        [[fallthrough]];
      case 'Z':
        break;
      case 'M':
      case 'L':
      case 'm':
      case 'l':
        if (!ReadNumber(p, end, step.x) || !ReadNumber(p, end, step.y)) return std::nullopt;
        break;
      default:
        return std::nullopt;
    }
    steps.push_back(step);
  }
  return steps;
}

bool FillPathText(Canvas& canvas, std::string_view pathText, Rgba colour) {
  std::optional<std::vector<PathStep>> steps = ParsePathText(pathText);
  if (!steps || !canvas) return false;
  CairoHandle cr = DrawingContext(canvas);
  if (!cr) return false;
  cairo_t* c = cr.get();
  cairo_set_antialias(c, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_fill_rule(c, CAIRO_FILL_RULE_WINDING);
  // The current point is kept here, unclamped, so relative steps add up as
  // written; only what reaches Cairo is clamped.
  double x = 0, y = 0, startX = 0, startY = 0;
  for (const PathStep& s : *steps) {
    switch (s.command) {
      case 'M':
      case 'm':
        x = s.command == 'M' ? s.x : x + s.x;
        y = s.command == 'M' ? s.y : y + s.y;
        startX = x;
        startY = y;
        cairo_move_to(c, ClampCoordinate(x), ClampCoordinate(y));
        break;
      case 'L':
      case 'l':
        x = s.command == 'L' ? s.x : x + s.x;
        y = s.command == 'L' ? s.y : y + s.y;
        cairo_line_to(c, ClampCoordinate(x), ClampCoordinate(y));
        break;
      default:
        cairo_close_path(c);
        x = startX;
        y = startY;
        break;
    }
  }
  SetSource(c, colour);
  cairo_fill(c);
  return true;
}

void DrawCanvas(Canvas& target, const Canvas& source, int x, int y, int alpha) {
  if (!target || !source) return;
  CairoHandle cr = Context(target);
  if (!cr) return;
  cairo_set_source_surface(cr.get(), source.surface.get(), x, y);
  cairo_paint_with_alpha(cr.get(), ClampByte(alpha) / 255.0);
}

bool DrawPixels(Canvas& canvas, const PixelBuffer& picture, int alpha, PixelFilter filter) {
  if (!canvas || picture.width != canvas.width || picture.height != canvas.height ||
      picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4)
    return false;
  const int scale = ClampByte(alpha);
  cairo_surface_t* surface = canvas.surface.get();
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const std::uint8_t* src = picture.rgba.data();
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < picture.width; ++x, src += 4) {
      Rgba c{src[0], src[1], src[2], src[3]};
      if (filter) c = filter(c);
      c.a = static_cast<std::uint8_t>((src[3] * scale + 127) / 255);
      row[x] = Premultiplied(c);
    }
  }
  cairo_surface_mark_dirty(surface);
  return true;
}

Rgba CanvasPixel(const Canvas& canvas, int x, int y) {
  if (!canvas || x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return {};
  cairo_surface_t* surface = canvas.surface.get();
  cairo_surface_flush(surface);
  const unsigned char* row =
      cairo_image_surface_get_data(surface) + static_cast<size_t>(y) * cairo_image_surface_get_stride(surface);
  return Straight(reinterpret_cast<const std::uint32_t*>(row)[x]);
}

FIBITMAP* CanvasToFreeImage(const Canvas& canvas) {
  if (!canvas) return nullptr;
  FIBITMAP* dib = FreeImage_Allocate(canvas.width, canvas.height, 32, FI_RGBA_RED_MASK,
                                     FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
  if (!dib) return nullptr;
  cairo_surface_t* surface = canvas.surface.get();
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < canvas.height; ++y) {
    const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
    BYTE* dst = FreeImage_GetScanLine(dib, canvas.height - 1 - y);  // FreeImage rows run bottom-up
    for (int x = 0; x < canvas.width; ++x, dst += 4) {
      Rgba c = Straight(src[x]);
      dst[FI_RGBA_RED] = c.r;
      dst[FI_RGBA_GREEN] = c.g;
      dst[FI_RGBA_BLUE] = c.b;
      dst[FI_RGBA_ALPHA] = c.a;
    }
  }
  return dib;
}

}  // namespace tq::platform
