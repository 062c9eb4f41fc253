#pragma once
#include <FreeImage.h>

#include <memory>

namespace tq::engine {

struct PictureUnloader {
  void operator()(FIBITMAP* dib) const {
    if (dib) FreeImage_Unload(dib);
  }
};

// The one owner of a FreeImage picture. A pipeline step takes a Picture and
// returns the one to continue with; an empty Picture means a step failed.
using Picture = std::unique_ptr<FIBITMAP, PictureUnloader>;

inline Picture Adopt(FIBITMAP* dib) { return Picture(dib); }

struct MemoryCloser {
  void operator()(FIMEMORY* m) const {
    if (m) FreeImage_CloseMemory(m);
  }
};
using MemoryStream = std::unique_ptr<FIMEMORY, MemoryCloser>;

}  // namespace tq::engine
