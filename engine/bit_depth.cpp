#include "engine/bit_depth.h"

#include <string_view>

#include "engine/conversion_context.h"
#include "engine/transforms.h"

namespace tq::engine {
namespace {

bool IsOneOf(std::string_view ext, std::initializer_list<std::string_view> list) {
  for (std::string_view e : list)
    if (e == ext) return true;
  return false;
}

Picture To8Bits(Picture picture, std::string_view ext) {
  if (IsOneOf(ext, {"jpg", "j2k", "jp2", "jxr"})) return Adopt(FreeImage_ConvertTo8Bits(picture.get()));
  if (FreeImage_GetBPP(picture.get()) != 24) picture = To24Bits(std::move(picture));
  if (!picture) return picture;
  return Adopt(FreeImage_ColorQuantizeEx(picture.get(), FIQ_WUQUANT, 256, 0, nullptr));
}

Picture To16Bits(Picture picture, std::string_view ext) {
  if (FreeImage_GetBPP(picture.get()) > 32) picture = To24Bits(std::move(picture));
  if (!picture) return picture;
  if (IsOneOf(ext, {"ico", "tga"})) return Adopt(FreeImage_ConvertTo16Bits555(picture.get()));
  return Adopt(FreeImage_ConvertTo16Bits565(picture.get()));
}

}  // namespace

Picture ConvertBitDepth(Picture picture) {
  if (!picture) return picture;
  int target = g_context.OutputBitDepth;
  if (static_cast<int>(FreeImage_GetBPP(picture.get())) == target) return picture;
  const std::string_view ext = g_context.OutputExtension;
  switch (target) {
    case 1: return Adopt(FreeImage_Dither(picture.get(), FID_FS));
    case 4: return Adopt(FreeImage_ConvertTo4Bits(picture.get()));
    case 8: return To8Bits(std::move(picture), ext);
    case 16: return To16Bits(std::move(picture), ext);
    case 24: return To24Bits(std::move(picture));
    case 32: return Adopt(FreeImage_ConvertTo32Bits(picture.get()));
    case 48: return Adopt(FreeImage_ConvertToRGB16(picture.get()));
    case 96: return Adopt(FreeImage_ConvertToRGBF(picture.get()));
    default: return Picture();
  }
}

}  // namespace tq::engine
