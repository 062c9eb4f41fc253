#pragma once
#include "engine/picture.h"

namespace tq::engine {

// The picture steps of the pipeline, in the order ConvertFile calls them.
// Each takes the picture and returns the one to continue with; a step that
// is off, or gets no picture, hands its input on unchanged.
Picture ApplyRotation(Picture picture);
Picture ApplyResize(Picture picture, int width, int height);
void ApplyFlips(FIBITMAP* picture);
Picture ApplyColorCorrection(Picture picture);
Picture ApplyGreyscale(Picture picture);
Picture ApplyThreshold(Picture picture);

// Value in pixels, or percent of the current size rounded half to even;
// any other unit gives 0.
int TargetDimension(int value, int unit, int current);
FREE_IMAGE_FILTER ResizeFilter(int algorithm);
// Six hexadecimal digits RRGGBB; anything not six characters long is black.
RGBQUAD HexToColor(const std::string& hex);

// Replaces the picture by its 24-bit copy; empty when the copy fails.
Picture To24Bits(Picture picture);

}  // namespace tq::engine
