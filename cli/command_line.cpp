#include "cli/command_line.h"

#include "app/build_info.h"
#include "cli/console_run.h"
#include "cli/help.h"
#include "engine/conversion_context.h"
#include "platform/console.h"
#include "platform/text_util.h"
#include "settings/defaults.h"
#include "text/text_table.h"

namespace tq::cli {
namespace {

enum class Command { Help, Version };

struct CommandRow {
  std::string_view name;
  Command command;
};

// Only the first argument can be one of these.
constexpr CommandRow kCommands[] = {
    {"-V", Command::Version}, {"--VERSION", Command::Version}, {"-H", Command::Help},
    {"-?", Command::Help},    {"--HELP", Command::Help},
};

void PrepareConsoleMode() {
  // The format catalogues are built-in tables: nothing to build here.
  engine::ResetConversionState();
  settings::SetDefaultSettings(1);
  text::LoadTextTable();
}

void PrintBanner() {
  platform::PrintLine(app::TitleWithVersion());
  platform::PrintLine(platform::ReplaceAll(app::CompanyNotice(), "©", "(c)"));
  platform::PrintLine(app::WebSite());
  platform::PrintLine(" ");
}

}  // namespace

std::optional<int> RunCommandLine(const Arguments& args) {
  if (args.empty()) return std::nullopt;
  PrepareConsoleMode();

  std::string first = ParameterName(args, 0);
  for (const CommandRow& row : kCommands) {
    if (row.name != first) continue;
    platform::OpenConsole();
    if (row.command == Command::Help) PrintHelp();
    else PrintVersion();
    return kExitSuccess;
  }

  ParseOutcome parsed = ParseOptions(args);
  if (!parsed.error.empty()) {
    platform::OpenConsole();
    platform::SetConsoleTitle(app::TitleWithVersion());
    platform::PrintLine("Error: " + parsed.error);
    if (parsed.pause) platform::WaitForKey();
    return kExitParseError;
  }
  if (engine::g_context.ConsoleMode != 1) return std::nullopt;

  platform::OpenConsole();
  platform::SetConsoleTitle(app::TitleWithVersion());
  if (!parsed.quiet) PrintBanner();
  int status = RunConsoleConversion(parsed.quiet);
  if (parsed.pause) platform::WaitForKey("Press any key to exit.");
  return status;
}

}  // namespace tq::cli
