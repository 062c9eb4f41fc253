// Random argument lists through the option loop, the switch table, the
// keyword tables and the value readers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/arguments.h"
#include "engine/conversion_context.h"
#include "settings/defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tq;
  // Arguments are separated by NUL bytes, as the kernel delivers them.
  cli::Arguments args;
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  args.push_back(current);
  // Profiles would read the file system; keep the fuzzer on the arguments.
  for (std::string& a : args)
    if (cli::ParameterName({a}, 0) == "--PROFILE") a = "--profile=/nonexistent/profile.ini";

  settings::SetDefaultSettings(1);
  engine::ResetConversionState();
  cli::ParseOutcome outcome = cli::ParseOptions(args);
  (void)outcome;
  for (std::size_t i = 0; i <= args.size(); ++i) {
    (void)cli::ParameterName(args, i);
    (void)cli::ParameterValue(args, i);
  }
  return 0;
}
