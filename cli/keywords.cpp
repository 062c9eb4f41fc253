#include "cli/keywords.h"

#include <array>

#include "platform/text_util.h"

namespace tq::cli {
namespace {

constexpr Keyword kDds[] = {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}};
constexpr Keyword kRaw[] = {{"AUTO", 0}, {"8", 1}, {"16", 2}, {"24", 3}, {"48HS", 4}, {"48", 5}};
constexpr Keyword kFrames[] = {{"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}};
constexpr Keyword kTone[] = {{"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}};
// The numbers mean different encoder options per format; every word is
// accepted for every compression switch.
constexpr Keyword kCompressionWords[] = {
    {"NONE", 0},      {"RLE", 1},          {"ZIP", 1},       {"PIZ", 2},       {"PXR24", 3},
    {"B44", 4},       {"ZLIB1", 1},        {"ZLIB6", 2},     {"ZLIB9", 3},     {"CCITTFAX3", 1},
    {"CCITTFAX4", 2}, {"PACKBITS", 3},     {"DEFLATE", 4},   {"ADOBEDEFLATE", 5}, {"LZW", 6},
    {"JPEG", 7},      {"LOGLUV", 8}};
constexpr Keyword kColorTableWords[] = {{"AUTO", 0}, {"EXACT", 1}};
constexpr Keyword kColorModelWords[] = {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}};
constexpr Keyword kChroma[] = {{"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}};
constexpr Keyword kJpegSave[] = {{"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}};
constexpr Keyword kRotation[] = {{"SIMPLE", 0}, {"ADVANCED", 1}};
constexpr Keyword kUnit[] = {{"PIXELS", 0}, {"PERCENT", 1}};
constexpr Keyword kResize[] = {{"ALLIMAGES", 0}, {"LARGEIMAGES", 1}};
constexpr Keyword kAlgorithm[] = {{"BOX", 0},        {"BILINEAR", 1}, {"BSPLINE", 2},
                                  {"BICUBIC", 3},    {"CATMULLROM", 4}, {"LANCZOS", 5}};
constexpr Keyword kFrame[] = {{"NONE", 0}, {"SOLID", 1}};
constexpr Keyword kWatermark[] = {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}};
constexpr Keyword kStyle[] = {{"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}};
// "STRIKETHROUGHT" is the word users have always typed; it stays.
constexpr Keyword kEffect[] = {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}};
constexpr Keyword kAlignment[] = {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}};
constexpr Keyword kBoundaryWords[] = {{"IMAGE", 0}, {"FRAME", 1}};
constexpr Keyword kPositionWords[] = {{"TOPLEFT", 0},     {"TOPCENTER", 1},    {"TOPRIGHT", 2},
                                      {"MIDDLELEFT", 3},  {"MIDDLECENTER", 4}, {"MIDDLERIGHT", 5},
                                      {"BOTTOMLEFT", 6},  {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}};
constexpr Keyword kSizeModeWords[] = {{"FIXED", 0}};
constexpr Keyword kTimestamp[] = {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}};

struct TableEntry {
  std::span<const Keyword> words;
  bool readBySwitch;
};

constexpr std::array<TableEntry, kKeywordTableCount> kTables = {{
    {kDds, true},           {kRaw, true},         {kFrames, true},        {kTone, true},
    {kCompressionWords, true}, {kColorTableWords, true}, {kColorModelWords, true}, {kChroma, true},
    {kJpegSave, true},      {kRotation, true},    {kUnit, true},          {kResize, true},
    {kAlgorithm, true},     {kFrame, false},      {kWatermark, false},    {kStyle, true},
    {kEffect, true},        {kAlignment, true},   {kBoundaryWords, true}, {kPositionWords, true},
    {kSizeModeWords, true}, {kTimestamp, true},
}};

}  // namespace

std::span<const Keyword> KeywordWords(int table) {
  if (table < 0 || table >= kKeywordTableCount) return {};
  return kTables[static_cast<size_t>(table)].words;
}

int KeywordValue(int table, std::string_view text) {
  if (table < 0 || table >= kKeywordTableCount || !kTables[static_cast<size_t>(table)].readBySwitch) return 0;
  std::string upper = platform::UpperAscii(text);
  for (const Keyword& k : kTables[static_cast<size_t>(table)].words)
    if (k.word == upper) return k.value;
  return 0;
}

std::string KeywordText(int table, int value) {
  for (const Keyword& k : KeywordWords(table))
    if (k.value == value) return platform::LowerAscii(k.word);
  return {};
}

}  // namespace tq::cli
