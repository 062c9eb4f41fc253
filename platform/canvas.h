#pragma once
#include <FreeImage.h>
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tq::platform {

// The Cairo handles, each released by its own destroy function; nothing
// outside these wrappers calls cairo_destroy or cairo_surface_destroy.
struct SurfaceRelease {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
struct CairoRelease {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoHandle = std::unique_ptr<cairo_t, CairoRelease>;

// A colour with straight (not premultiplied) alpha, 0..255 each.
struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Every canvas and decoded picture stays within these bounds, so a huge
// font, text or picture header can never ask for unbounded memory.
// 32767 is also the largest side Cairo's image surfaces accept.
inline constexpr std::int64_t kMaxCanvasSide = 32767;
inline constexpr std::int64_t kMaxCanvasPixels = 64LL * 1024 * 1024;
bool CanvasSizeAllowed(std::int64_t width, std::int64_t height);

// A 32-bit RGBA drawing surface (Cairo ARGB32, premultiplied inside).
// An empty Canvas (operator bool false) stands for a canvas that could not
// be made: refused by the bounds or failed in Cairo.
// A canvas may hold only a part of a larger drawing: the fills and paths
// take coordinates of the whole drawing, and the canvas's pixel (0, 0) is
// the drawing's (originX, originY). Pixel access and DrawCanvas use the
// canvas's own pixels.
struct Canvas {
  SurfaceHandle surface;
  int width = 0;
  int height = 0;
  int originX = 0;
  int originY = 0;
  explicit operator bool() const { return surface != nullptr; }
};

// A transparent canvas; empty when the size is out of bounds or not positive.
Canvas CreateCanvas(int width, int height);
// A transparent canvas for the part of a drawing that starts at (x, y).
Canvas CreateCanvasPart(int x, int y, int width, int height);
// A canvas with every pixel set to `colour` (all four channels).
Canvas CreateFilledCanvas(int width, int height, Rgba colour);

// Antialiased fill of a rectangle with `colour` blended over the canvas.
void FillRectangle(Canvas& canvas, double x, double y, double width, double height, Rgba colour);

// One step of a path text: "M x y" / "L x y" absolute, "m dx dy" / "l dx dy"
// relative, "Z" closes the figure.
struct PathStep {
  char command = 'M';  // 'M', 'L', 'm', 'l' or 'Z'
  double x = 0, y = 0;
  friend bool operator==(const PathStep&, const PathStep&) = default;
};
// Numbers may carry several signs: each "-" negates, so "--5" is 5 (a value
// that is itself negative, written after a "-"). Empty on a malformed text.
std::optional<std::vector<PathStep>> ParsePathText(std::string_view text);
// Antialiased fill of the figure the path text describes; false when the
// text does not parse.
bool FillPathText(Canvas& canvas, std::string_view pathText, Rgba colour);

// Draws `source` onto `target` with its top-left corner at (x, y), blended
// over it and weakened by a constant alpha 0..255.
void DrawCanvas(Canvas& target, const Canvas& source, int x, int y, int alpha);

// A picture as decoded from a file: straight RGBA, rows top-down.
struct PixelBuffer {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;  // the file had an alpha channel (a 32-bit picture)
  std::vector<std::uint8_t> rgba;
};

// Per-pixel colour function applied on the way onto a canvas.
using PixelFilter = Rgba (*)(Rgba);
// Writes the picture into the canvas at (0, 0), all four channels and no
// blending: each pixel takes the picture's colour (through `filter` when
// given) and its alpha scaled by alpha / 255. Sizes must match.
bool DrawPixels(Canvas& canvas, const PixelBuffer& picture, int alpha, PixelFilter filter = nullptr);

// The straight colour of one pixel, (0, 0) top-left; transparent black
// outside the canvas.
Rgba CanvasPixel(const Canvas& canvas, int x, int y);

// A new 32-bit FreeImage picture with the canvas's pixels: premultiplied
// alpha undone with rounding, rows turned to FreeImage's bottom-up order and
// the channels put in FI_RGBA_* order. The caller owns the result; nullptr
// when FreeImage cannot allocate it.
FIBITMAP* CanvasToFreeImage(const Canvas& canvas);

}  // namespace tq::platform
