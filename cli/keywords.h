#pragma once
#include <span>
#include <string>
#include <string_view>

namespace tq::cli {

// One word of a keyword table and the number it stands for.
struct Keyword {
  std::string_view word;  // upper case
  int value;
};

// The keyword tables by number; the numbers are the selectors of
// KeywordValue and KeywordText.
enum KeywordTable : int {
  kDdsLoadMode = 0,
  kRawLoadMode = 1,
  kFrameLoading = 2,
  kToneMapping = 3,
  kCompression = 4,  // shared by the five compression switches
  kColorTable = 5,
  kColorModel = 6,
  kChromaSubsampling = 7,
  kJpegSaveMode = 8,
  kRotationType = 9,
  kSizeUnit = 10,
  kResizeType = 11,
  kResizeAlgorithm = 12,
  kFrameKind = 13,      // debug text only
  kWatermarkKind = 14,  // debug text only
  kFontStyle = 15,
  kFontEffect = 16,
  kTextAlignment = 17,
  kBoundary = 18,
  kPosition = 19,
  kSizeMode = 20,
  kFileTimestamp = 21,
  kKeywordTableCount = 22,
  kNoKeywordTable = -1,
};

// The words of a table in their fixed order; empty for an unknown number.
std::span<const Keyword> KeywordWords(int table);

// The value of the first word equal to `text` upper-cased; 0 when none
// matches or the table is not one a switch reads (13 and 14 are not).
int KeywordValue(int table, std::string_view text);
// The first word of the table with that value, in lower case; "" when none.
std::string KeywordText(int table, int value);

}  // namespace tq::cli
