#include "app/startup.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/build_info.h"
#include "cli/command_line.h"
#include "platform/instance_lock.h"
#include "platform/system.h"
#include "settings/app_settings.h"
#include "settings/config_file.h"
#include "text/text_table.h"

namespace tq::app {

void ShutdownProgram(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  platform::ReleaseInstanceLock(settings::g_settings.InstanceMutex);
  settings::g_settings.InstanceMutex = 0;
  std::exit(status);
}

int RunProgram(int argc, char** argv) {
  // A file-size limit then fails the write instead of killing the process
  // half-way through a save.
  std::signal(SIGXFSZ, SIG_IGN);
  // Global state starts zeroed and the extension lists are built in, so
  // start-up begins with the lock. The name carries the version: two
  // versions may run side by side, two copies of one may not.
  platform::InstanceLock lock = platform::AcquireInstanceLock(TitleWithVersion());
  if (lock.result == platform::LockResult::Refused) ShutdownProgram(cli::kExitLockRefused);
  settings::g_settings.InstanceMutex = lock.handle;

  cli::Arguments args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  if (std::optional<int> status = cli::RunCommandLine(args)) ShutdownProgram(*status);

  // The desktop start-up: its settings are read here and written back at
  // the end, as the window's exit does.
  settings::g_settings.ConfigPath = settings::DefaultConfigPath();
  settings::LoadSettings();
  text::LoadTextTable();

  std::string name = platform::ExecutableName();
  std::fprintf(stderr, "%s: the desktop window is not available in this build; see \"%s --help\" for console use.\n",
               name.c_str(), name.c_str());

  settings::ForgetRecentFoldersIfAsked();
  settings::SaveSettings();
  ShutdownProgram(cli::kExitSuccess);
}

}  // namespace tq::app
