#pragma once
#include <cstdint>
#include <string_view>

namespace tq::cli {

// NUM values: blanks and tabs skipped, an optional sign, then decimal
// digits, "$" and hexadecimal digits, or "%" and binary digits, up to the
// first other character ("800px" reads 800, "abc" 0). The low 32 bits count.
std::int32_t ReadNum(std::string_view text);
// REAL values: blanks and tabs skipped, an optional sign, digits with at
// most one decimal point, up to the first other character; 0 without digits.
float ReadReal(std::string_view text);

}  // namespace tq::cli
