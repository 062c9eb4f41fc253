#include "cli/keywords.h"

#include <gtest/gtest.h>

#include "platform/text_util.h"

namespace tq::cli {
namespace {

struct ValueCase {
  int table;
  const char* text;
  int value;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.table << ":" << c.text; }

class KeywordValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(KeywordValueTest, ReadsTheFirstMatchingWordWhateverItsCase) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(KeywordValue(c.table, c.text), c.value) << "table " << c.table << " word " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Words, KeywordValueTest,
    ::testing::Values(ValueCase{kResizeAlgorithm, "lanczos", 5}, ValueCase{kResizeAlgorithm, "BiCubic", 3},
                      ValueCase{kResizeAlgorithm, "LANCZOS3", 0}, ValueCase{kResizeAlgorithm, "", 0},
                      ValueCase{kCompression, "rle", 1}, ValueCase{kCompression, "zlib1", 1},
                      ValueCase{kCompression, "ZIP", 1}, ValueCase{kCompression, "lzw", 6},
                      ValueCase{kCompression, "adobedeflate", 5}, ValueCase{kCompression, "logluv", 8},
                      ValueCase{kColorModel, "lab", 2}, ValueCase{kColorModel, "cmyk", 1},
                      ValueCase{kFontEffect, "strikethrough", 0}, ValueCase{kFontEffect, "StrikeThrought", 2},
                      ValueCase{kFontStyle, "bolditalic", 3}, ValueCase{kSizeMode, "scaled", 0},
                      ValueCase{kSizeMode, "FIXED", 0}, ValueCase{kRawLoadMode, "48hs", 4},
                      ValueCase{kRawLoadMode, "48", 5}, ValueCase{kRawLoadMode, "16", 2},
                      ValueCase{kPosition, "bottomright", 8}, ValueCase{kPosition, "middlecenter", 4},
                      ValueCase{kFileTimestamp, "custom", 2}, ValueCase{kDdsLoadMode, "rgba", 2},
                      ValueCase{kFrameLoading, "random", 4}, ValueCase{kToneMapping, "gd", 4},
                      ValueCase{kChromaSubsampling, "high", 3}, ValueCase{kJpegSaveMode, "progressive", 3},
                      ValueCase{kRotationType, "advanced", 1}, ValueCase{kSizeUnit, "percent", 1},
                      ValueCase{kResizeType, "largeimages", 1}, ValueCase{kTextAlignment, "right", 2},
                      ValueCase{kBoundary, "frame", 1}, ValueCase{kColorTable, "exact", 1},
                      // Frame and watermark kinds are words for debug lines only.
                      ValueCase{kFrameKind, "SOLID", 0}, ValueCase{kWatermarkKind, "IMAGE", 0},
                      ValueCase{kKeywordTableCount, "AUTO", 0}, ValueCase{-1, "AUTO", 0},
                      // Trimming is the switch's business, not the lookup's.
                      ValueCase{kDdsLoadMode, " RGBA", 0}));

struct TextCase {
  int table;
  int value;
  const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.table << ":" << c.value; }

class KeywordTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(KeywordTextTest, GivesTheFirstWordOfTheValueInLowerCase) {
  const TextCase& c = GetParam();
  EXPECT_EQ(KeywordText(c.table, c.value), c.text) << "table " << c.table << " value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, KeywordTextTest,
    ::testing::Values(TextCase{kCompression, 0, "none"}, TextCase{kCompression, 1, "rle"},
                      TextCase{kCompression, 2, "piz"}, TextCase{kCompression, 3, "pxr24"},
                      TextCase{kCompression, 4, "b44"}, TextCase{kCompression, 5, "adobedeflate"},
                      TextCase{kCompression, 6, "lzw"}, TextCase{kCompression, 7, "jpeg"},
                      TextCase{kCompression, 8, "logluv"}, TextCase{kCompression, 9, ""},
                      TextCase{kSizeMode, 0, "fixed"}, TextCase{kSizeMode, 1, ""},
                      TextCase{kFrameKind, 1, "solid"}, TextCase{kWatermarkKind, 2, "image"},
                      TextCase{kWatermarkKind, 0, "none"}, TextCase{kPosition, 8, "bottomright"},
                      TextCase{kResizeAlgorithm, 3, "bicubic"}, TextCase{kFontEffect, 2, "strikethrought"},
                      TextCase{kSizeUnit, 0, "pixels"}, TextCase{kFileTimestamp, 1, "original"},
                      TextCase{kRawLoadMode, 4, "48hs"}, TextCase{kPosition, -1, ""},
                      TextCase{kKeywordTableCount, 0, ""}, TextCase{-1, 0, ""}));

// Every word a switch can read selects the value of its first occurrence, and
// the text of a value reads back to the same value.
TEST(KeywordTables, WordsAndTextsAgreeInEveryReadableTable) {
  for (int table = 0; table < kKeywordTableCount; ++table) {
    if (table == kFrameKind || table == kWatermarkKind) continue;
    auto words = KeywordWords(table);
    ASSERT_FALSE(words.empty()) << table;
    for (size_t i = 0; i < words.size(); ++i) {
      int first = words[i].value;
      for (size_t j = 0; j < i; ++j)
        if (words[j].word == words[i].word) first = words[j].value;
      EXPECT_EQ(KeywordValue(table, platform::LowerAscii(words[i].word)), first) << words[i].word;
      std::string text = KeywordText(table, words[i].value);
      EXPECT_EQ(KeywordValue(table, text), words[i].value) << table << " " << text;
      EXPECT_EQ(platform::UpperAscii(words[i].word), words[i].word);
    }
  }
}

}  // namespace
}  // namespace tq::cli
