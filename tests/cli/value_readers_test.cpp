#include "cli/value_readers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tq::cli {
namespace {

struct NumCase {
  const char* text;
  std::int32_t value;
};

void PrintTo(const NumCase& c, std::ostream* os) { *os << "\"" << c.text << "\""; }

class ReadNumTest : public ::testing::TestWithParam<NumCase> {};

TEST_P(ReadNumTest, ReadsFromTheStartUpToTheFirstOtherCharacter) {
  EXPECT_EQ(ReadNum(GetParam().text), GetParam().value) << "\"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumTest,
    ::testing::Values(NumCase{"800", 800}, NumCase{"800px", 800}, NumCase{"abc", 0}, NumCase{"", 0},
                      NumCase{"$320", 800}, NumCase{"$fF", 255}, NumCase{"$1G", 1}, NumCase{"$", 0},
                      NumCase{"%101", 5}, NumCase{"%2", 0}, NumCase{"%1012", 5}, NumCase{"-20", -20},
                      NumCase{"+7", 7}, NumCase{" \t42", 42}, NumCase{"-$10", -16}, NumCase{"- 5", 0},
                      NumCase{"12.7", 12}, NumCase{"0x10", 0}, NumCase{"4294967297", 1},
                      NumCase{"4294967295", -1}, NumCase{"2147483648", -2147483647 - 1},
                      NumCase{"$100000005", 5}, NumCase{"-2147483648", -2147483647 - 1}));

struct RealCase {
  const char* text;
  float value;
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << "\"" << c.text << "\""; }

class ReadRealTest : public ::testing::TestWithParam<RealCase> {};

TEST_P(ReadRealTest, ReadsADecimalNumberFromTheStart) {
  EXPECT_EQ(ReadReal(GetParam().text), GetParam().value) << "\"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadRealTest,
                         ::testing::Values(RealCase{"1.5", 1.5f}, RealCase{"0.01", 0.01f}, RealCase{"9.99", 9.99f},
                                           RealCase{"-2.25", -2.25f}, RealCase{"+4.0", 4.0f}, RealCase{".5", 0.5f},
                                           RealCase{"3.", 3.0f}, RealCase{"9.99x", 9.99f}, RealCase{" \t3", 3.0f},
                                           RealCase{"1.2.3", 1.2f}, RealCase{"1e3", 1.0f}, RealCase{"abc", 0.0f},
                                           RealCase{"", 0.0f}, RealCase{".", 0.0f}, RealCase{"-", 0.0f},
                                           RealCase{"nan", 0.0f}, RealCase{"inf", 0.0f}, RealCase{"0x1p3", 0.0f},
                                           RealCase{"1,5", 1.0f}));

TEST(ReadReal, NegativeZeroReadsAsPlainZero) {
  EXPECT_FALSE(std::signbit(ReadReal("-0")));
  EXPECT_FALSE(std::signbit(ReadReal("-abc")));
}

}  // namespace
}  // namespace tq::cli
