// FreeImage without the codecs that need libraries this program has no other
// use for.
//
// FreeImage registers all of its plugins at start-up, so linking it loads the
// camera RAW, OpenEXR, JPEG-XR, JPEG 2000, WebP and TIFF libraries and what
// they need (24 libraries) although BMP is the program's only output and PCX
// has its own reader. Loading them cost a small conversion half of its time.
// The PNG and JPEG codecs stay: libpng, libjpeg and zlib are in use anyway.
//
// These stand-ins take the place of the other plugins' start-up functions when
// FreeImage is linked from its static library. Each registers its format under
// FreeImage's own name, so every FIF_ number keeps its meaning, but with no
// reader, writer or signature test: loading or saving such a format fails as
// for a format FreeImage does not know.
#include <FreeImage.h>

#define TQ_STAND_IN(init, format, description, extensions)          \
  void init(Plugin* plugin, int) {                                 \
    plugin->format_proc = []() -> const char* { return format; };  \
    plugin->description_proc = []() -> const char* { return description; }; \
    plugin->extension_proc = []() -> const char* { return extensions; };     \
  }

// FreeImage declares these in its own sources, outside any namespace.
TQ_STAND_IN(InitTIFF, "TIFF", "Tagged Image File Format", "tif,tiff")
TQ_STAND_IN(InitG3, "G3", "Raw fax format CCITT G.3", "g3")
TQ_STAND_IN(InitEXR, "EXR", "ILM OpenEXR", "exr")
TQ_STAND_IN(InitJ2K, "J2K", "JPEG-2000 codestream", "j2k,j2c")
TQ_STAND_IN(InitJP2, "JP2", "JPEG-2000 File Format", "jp2")
TQ_STAND_IN(InitRAW, "RAW", "RAW camera image", "raw")
TQ_STAND_IN(InitWEBP, "WebP", "Google WebP image format", "webp")
TQ_STAND_IN(InitJXR, "JPEG-XR", "JPEG XR image format", "jxr,wdp,hdp")
