#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tq::cli {

// The program arguments as delivered, without the program name.
using Arguments = std::vector<std::string>;

// The option name of an argument, blanks at both ends removed and upper
// case: the whole text for "-x", the part before the first "=" for "--x=v";
// "" for an argument that is no option or an index past the end.
std::string ParameterName(const Arguments& args, size_t index);
// The value of an argument: the text after the first "=" of a "--x=v"
// argument, else the whole trimmed text; "" past the end.
std::string ParameterValue(const Arguments& args, size_t index);

// A value that begins with a double quote but does not end with one goes on
// over the following arguments, joined by blanks, until the joined text ends
// with one; `index` advances past each argument taken.
std::string ContinueQuoted(const Arguments& args, size_t& index, std::string value);
// Every double quote at both ends removed.
std::string RemoveQuotes(std::string_view value);

// What the option loop leaves besides the settings and the context.
struct ParseOutcome {
  std::string error;  // "" when every argument was accepted
  bool quiet = false;
  bool pause = false;
};
// The option loop: left to right, -i/-o/-c/-d into the conversion context,
// switches and profiles into the settings; stops at the first error.
ParseOutcome ParseOptions(const Arguments& args);

inline constexpr std::string_view kIncorrectParameters = "Incorrect number of parameters";
inline constexpr std::string_view kInvalidProfile = "Invalid profile file";

}  // namespace tq::cli
