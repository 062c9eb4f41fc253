#pragma once
#include "platform/fonts.h"

namespace tq::engine {

// Font flags for Font Style (1 bold, 2 italic, 3 both, else regular) and
// Font Effect (1 underline, 2 strike-out, else none), combined.
unsigned WatermarkFontFlags(int style, int effect);

// The font the text watermark draws with. A front end loads it from
// Watermark/Font, Font Size, Font Style and Font Effect before it starts the
// worker and frees it after the worker has ended; false when the face is not
// available ("Invalid watermark font").
bool LoadWatermarkFont();
void FreeWatermarkFont();
bool WatermarkFontLoaded();
// The loaded font; an empty Font when none is loaded.
const platform::Font& WatermarkFont();

}  // namespace tq::engine
