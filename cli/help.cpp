#include "cli/help.h"

#include "app/build_info.h"
#include "platform/console.h"
#include "platform/system.h"
#include "text/text_table.h"

namespace tq::cli {
namespace {

// The description column starts at the 29th character.
constexpr std::string_view kHelp[] = {
    " ",
    "Usage: %s1% -i <filename> [options]",
    " ",
    "  %s1% -i example.%s2%",
    "  %s1% -i c:\\tmp\\example.%s2%",
    "  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted",
    "  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
};

std::string_view RandomInputExtension() {
  int last = static_cast<int>(app::InputExtensions.size()) - 1;
  return app::InputExtensions[static_cast<size_t>(platform::RandomNumber(0, last))];
}

}  // namespace

std::vector<std::string> HelpLines(std::string_view programName) {
  std::vector<std::string> lines;
  for (std::string_view line : kHelp) lines.push_back(text::ExpandParams(line, programName, RandomInputExtension()));
  return lines;
}

void PrintHelp() {
  platform::SetConsoleTitle(app::TitleWithVersion());
  for (const std::string& line : HelpLines(platform::ExecutableName())) platform::PrintLine(line);
}

void PrintVersion() {
  platform::SetConsoleTitle(app::TitleWithVersion());
  platform::PrintLine(app::VersionText(app::ProgramVersion));
}

}  // namespace tq::cli
