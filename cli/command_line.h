#pragma once
#include <optional>

#include "cli/arguments.h"

namespace tq::cli {

// Exit statuses: a calling script learns from them how the run went.
enum ExitStatus : int {
  kExitSuccess = 0,      // converted, help, version, desktop window
  kExitFailure = 1,      // an "Error: " line of the run, or "Conversion stopped"
  kExitParseError = 2,   // the command line was refused
  kExitLockRefused = 3,  // another instance of this version runs (nothing printed)
};

// Console mode. Returns nothing when start-up is to go on into the desktop
// window (no arguments, or no input file and no error); otherwise runs the
// stand-alone command or the conversion and returns the exit status.
std::optional<int> RunCommandLine(const Arguments& args);

}  // namespace tq::cli
