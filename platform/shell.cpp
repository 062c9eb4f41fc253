#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tq::platform {

void OpenDocument(const std::string& target) {
  if (target.empty()) return;
  // A name beginning with "-" would read as an option of xdg-open.
  std::string argument = target.front() == '-' ? "./" + target : target;
  char program[] = "xdg-open";
  char* argv[] = {program, argument.data(), nullptr};

  // Twice forked: the opener belongs to init, leaves no zombie behind and
  // never blocks us, whatever it does and however long it runs.
  pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    if (fork() == 0) {
      setsid();
      int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
      }
      execvp(program, argv);
      _exit(127);
    }
    _exit(0);
  }
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace tq::platform
