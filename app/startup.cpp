#include "app/startup.h"

#include <cstdio>
#include <cstdlib>

#include "app/build_info.h"
#include "cli/command_line.h"
#include "platform/instance_lock.h"
#include "platform/system.h"
#include "settings/app_settings.h"

namespace tq::app {

void ShutdownProgram(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  platform::ReleaseInstanceLock(settings::g_settings.InstanceMutex);
  settings::g_settings.InstanceMutex = 0;
  std::exit(status);
}

int RunProgram(int argc, char** argv) {
  // Global state starts zeroed and the extension lists are built in, so
  // start-up begins with the lock. The name carries the version: two
  // versions may run side by side, two copies of one may not.
  platform::InstanceLock lock = platform::AcquireInstanceLock(TitleWithVersion());
  if (lock.result == platform::LockResult::Refused) ShutdownProgram(cli::kExitLockRefused);
  settings::g_settings.InstanceMutex = lock.handle;

  cli::Arguments args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  if (std::optional<int> status = cli::RunCommandLine(args)) ShutdownProgram(*status);

  std::string name = platform::ExecutableName();
  std::fprintf(stderr, "%s: the desktop window is not available in this build; see \"%s --help\" for console use.\n",
               name.c_str(), name.c_str());
  ShutdownProgram(cli::kExitSuccess);
}

}  // namespace tq::app
