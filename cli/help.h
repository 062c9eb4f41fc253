#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tq::cli {

// The help text, one entry a line, "%s1%" given as `programName` and each
// example's extension drawn from the input extensions.
std::vector<std::string> HelpLines(std::string_view programName);

// Title, then the help lines or the version line.
void PrintHelp();
void PrintVersion();

}  // namespace tq::cli
